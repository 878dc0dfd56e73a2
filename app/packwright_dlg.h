// The main dialog (template IDD_MAIN): an introduction line, the progress
// bar, and the Install and Quit buttons, and in the system menu About and
// Uninstall. Install runs the installation on the GUI thread, which handles
// the dialog's messages between the run's entries: while it runs, Install,
// Quit and closing are disabled, and About and Uninstall do nothing. The
// dialog closes after the run unless Kestrova is not found, and stays open
// after an uninstall. While another install or undo holds Kestrova, either
// waits up to 10 seconds for it, handling the dialog's messages meanwhile,
// and then shows IDS_INSTALL_BUSY; the dialog stays open then, to be tried
// again.
#ifndef PACKWRIGHT_APP_PACKWRIGHT_DLG_H_
#define PACKWRIGHT_APP_PACKWRIGHT_DLG_H_

#include <string>

#include "app/install_progress_ctrl.h"
#include "app/wnd.h"
#include "platform/platform.h"

class CPackwrightDlg : public CDialog {
 public:
  // Loads the icon IDR_MAINFRAME. The installer and every text use
  // `platform`.
  explicit CPackwrightDlg(Platform& platform, HWND parent = nullptr);

  // The intro text as last exchanged with the control (at most 1024
  // characters).
  const std::string& intro_text() const { return intro_text_; }

 protected:
  INT_PTR WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) override;
  // Localized texts, the system menu's items, the icons.
  BOOL OnInitDialog() override;
  // The Install button (and Enter): the install handler.
  void OnOK() override;
  // Quit, Escape and closing the window: nothing while a run goes on.
  void OnCancel() override;
  bool DoDataExchange(bool save) override;

  // WM_SYSCOMMAND: ids 0x0010-0x001F open the About box, 0x0020-0x002F
  // uninstall the package (app/uninstall.h); the dialog stays open either
  // way. Returns false to leave any other command to the default
  // processing.
  bool OnSysCommand(UINT id);
  // WM_PAINT: draws the icon while minimised; false otherwise.
  bool OnPaint();
  // Appends a separator, About and Uninstall to the system menu; an item
  // whose text is empty is left out.
  void AddSystemMenuItems();
  // Enables or disables what would end or disturb a run: Install, Quit and
  // the system menu's Close.
  void EnableControls(bool enable);

 private:
  Platform& platform_;
  std::string intro_text_;
  CInstallProgressCtrl progress_;
  CButton quit_button_;
  CButton install_button_;
  HICON icon_;
  // Set while an install or uninstall runs.
  bool running_ = false;
};

#endif  // PACKWRIGHT_APP_PACKWRIGHT_DLG_H_
