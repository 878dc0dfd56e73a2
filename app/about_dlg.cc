#include "app/about_dlg.h"

#include "engine/messages.h"
#include "res/resource.h"

CAboutDlg::CAboutDlg(Shell& shell, HWND parent) : CDialog(IDD_ABOUTBOX, parent), shell_(shell) {}

BOOL CAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  ok_button_.SetWindowText(LoadMessage(shell_, IDS_OK));
  return TRUE;
}

bool CAboutDlg::DoDataExchange(bool /*save*/) {
  ok_button_.Attach(GetDlgItem(IDOK));
  return true;
}
