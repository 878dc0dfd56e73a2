#include "app/packwright_app.h"

#include <commctrl.h>

#include "app/packwright_dlg.h"
#include "engine/messages.h"
#include "platform/platform.h"

// The one application object.
CPackwrightApp theApp;

CPackwrightApp::CPackwrightApp() : CWinApp(kAppName) {}

BOOL CPackwrightApp::InitInstance() {
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&controls);
  CWinApp::InitInstance();
  // Where settings would go; Packwright stores none, so nothing is written.
  SetRegistryKey("Vom lokalen Anwendungs-Assistenten generierte Anwendungen");
  CPackwrightDlg dialog(SystemPlatform());
  m_pMainWnd = &dialog;
  dialog.DoModal();
  m_pMainWnd = nullptr;
  return FALSE;
}
