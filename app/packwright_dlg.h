// The main dialog (template IDD_MAIN): an introduction line, the progress
// bar, and the Install and Quit buttons. Install runs the installation on
// the GUI thread; the dialog stays open only when Kestrova is not found.
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
  // Localized texts, the system menu's About item, the icons.
  BOOL OnInitDialog() override;
  // The Install button (and Enter): the install handler.
  void OnOK() override;
  bool DoDataExchange(bool save) override;

  // WM_SYSCOMMAND: ids 0x0010-0x001F open the About box. Returns false to
  // leave the command to the default processing.
  bool OnSysCommand(UINT id);
  // WM_PAINT: draws the icon while minimised; false otherwise.
  bool OnPaint();
  void AddAboutMenuItem();

 private:
  Platform& platform_;
  std::string intro_text_;
  CInstallProgressCtrl progress_;
  CButton quit_button_;
  CButton install_button_;
  HICON icon_;
};

#endif  // PACKWRIGHT_APP_PACKWRIGHT_DLG_H_
