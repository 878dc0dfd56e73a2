// The About box (template IDD_ABOUTBOX): the program's name, version and
// publisher as stored in the template, and a localized OK button.
#ifndef PACKWRIGHT_APP_ABOUT_DLG_H_
#define PACKWRIGHT_APP_ABOUT_DLG_H_

#include "app/wnd.h"
#include "platform/shell.h"

class CAboutDlg : public CDialog {
 public:
  // Texts come from `shell`'s string table in the system's language.
  CAboutDlg(Shell& shell, HWND parent);

 protected:
  BOOL OnInitDialog() override;
  bool DoDataExchange(bool save) override;

 private:
  Shell& shell_;
  CButton ok_button_;
};

#endif  // PACKWRIGHT_APP_ABOUT_DLG_H_
