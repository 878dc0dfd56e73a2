#include "app/packwright_dlg.h"

#include <vector>

#include "app/about_dlg.h"
#include "app/uninstall.h"
#include "engine/installer.h"
#include "engine/messages.h"
#include "engine/run_lock.h"
#include "platform/wide_win32.h"
#include "res/resource.h"

namespace {
// The longest intro text taken back from the dialog.
constexpr int kIntroMaxChars = 1024;
constexpr DWORD kLockWaitMs = 10000;

// Waits for another run's lock, up to kLockWaitMs in all, while the dialog
// keeps handling its messages.
class CDialogLockWait : public ILockWait {
 public:
  explicit CDialogLockWait(Shell& shell) : shell_(shell), start_(::GetTickCount()) {}

  bool Wait() override {
    if (::GetTickCount() - start_ >= kLockWaitMs) {
      gave_up_ = true;
      return false;
    }
    DWORD until = ::GetTickCount() + 100;
    while (static_cast<LONG>(::GetTickCount() - until) < 0) {
      shell_.HandlePendingMessages();
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
  }

  // True once the other run outlasted the wait.
  bool gave_up() const { return gave_up_; }

 private:
  Shell& shell_;
  DWORD start_;
  bool gave_up_ = false;
};
}  // namespace

CPackwrightDlg::CPackwrightDlg(Platform& platform, HWND parent)
    : CDialog(IDD_MAIN, parent),
      platform_(platform),
      icon_(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

INT_PTR CPackwrightDlg::WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_SYSCOMMAND:
      return OnSysCommand(static_cast<UINT>(wparam));
    case WM_PAINT:
      return OnPaint();
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(icon_);
    default:
      return CDialog::WindowProc(msg, wparam, lparam);
  }
}

BOOL CPackwrightDlg::OnInitDialog() {
  // Set before the base initialisation, whose data exchange shows it.
  intro_text_ = LoadMessage(platform_.shell, IDS_INTRO);
  CDialog::OnInitDialog();
  quit_button_.SetWindowText(LoadMessage(platform_.shell, IDS_QUIT));
  install_button_.SetWindowText(LoadMessage(platform_.shell, IDS_INSTALL));
  AddSystemMenuItems();
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  return TRUE;
}

void CPackwrightDlg::AddSystemMenuItems() {
  HMENU menu = ::GetSystemMenu(m_hWnd, FALSE);
  if (menu == nullptr)
    return;
  std::string about = LoadMessage(platform_.shell, IDS_ABOUT_MENU);
  std::string uninstall = LoadMessage(platform_.shell, IDS_UNDO_MENU);
  if (about.empty() && uninstall.empty())
    return;
  ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  if (!about.empty())
    ::AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, Widen(about).c_str());
  if (!uninstall.empty())
    ::AppendMenuW(menu, MF_STRING, IDM_UNINSTALL, Widen(uninstall).c_str());
}

bool CPackwrightDlg::DoDataExchange(bool save) {
  progress_.Attach(GetDlgItem(IDC_PROGRESS));
  quit_button_.Attach(GetDlgItem(IDCANCEL));
  install_button_.Attach(GetDlgItem(IDOK));
  HWND intro = GetDlgItem(IDC_INTRO_TEXT);
  if (save) {
    std::vector<wchar_t> buffer(kIntroMaxChars + 1, L'\0');
    int length = ::GetWindowTextW(intro, buffer.data(), kIntroMaxChars + 1);
    intro_text_ = Narrow(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
  } else {
    ::SetWindowTextW(intro, Widen(intro_text_).c_str());
  }
  return true;
}

void CPackwrightDlg::OnOK() {
  // Enter reaches the dialog through its message handling during a run.
  if (running_)
    return;
  CInstaller installer(platform_);
  if (!installer.IsHostFound()) {
    ShowMessage(platform_.shell, IDS_HOST_MISSING, kMbOk);
    return;
  }
  CDialogLockWait wait(platform_.shell);
  installer.lockWait = &wait;
  running_ = true;
  EnableControls(false);
  long result = installer.Run(&progress_);
  running_ = false;
  if (wait.gave_up()) {
    // The run said that another one holds Kestrova and changed nothing;
    // the player may try again once it has ended.
    progress_.SetPos(0);
    EnableControls(true);
    return;
  }
  if (result >= 0)
    ShowMessage(platform_.shell, IDS_INSTALL_OK, kMbOk | kMbIconInformation);
  else
    ShowMessage(platform_.shell, IDS_INSTALL_FAILED, kMbOk);
  CDialog::OnOK();
}

void CPackwrightDlg::OnCancel() {
  if (!running_)
    CDialog::OnCancel();
}

void CPackwrightDlg::EnableControls(bool enable) {
  ::EnableWindow(install_button_.GetSafeHwnd(), enable);
  ::EnableWindow(quit_button_.GetSafeHwnd(), enable);
  HMENU menu = ::GetSystemMenu(m_hWnd, FALSE);
  if (menu != nullptr)
    ::EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
}

bool CPackwrightDlg::OnSysCommand(UINT id) {
  // The system keeps the low four bits of a command for itself.
  UINT command = id & 0xFFF0;
  if (running_ && (command == IDM_ABOUTBOX || command == IDM_UNINSTALL || command == SC_CLOSE))
    return true;
  switch (command) {
    case IDM_ABOUTBOX: {
      CAboutDlg about(platform_.shell, m_hWnd);
      about.DoModal();
      return true;
    }
    case IDM_UNINSTALL: {
      CDialogLockWait wait(platform_.shell);
      running_ = true;
      EnableControls(false);
      UninstallPackage(platform_, UndoPackage, &wait);
      EnableControls(true);
      running_ = false;
      return true;
    }
    default:
      return false;
  }
}

bool CPackwrightDlg::OnPaint() {
  if (!::IsIconic(m_hWnd))
    return false;
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(m_hWnd, &paint);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc));
  int icon_width = ::GetSystemMetrics(SM_CXICON);
  int icon_height = ::GetSystemMetrics(SM_CYICON);
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  int x = (client.right - client.left - icon_width + 1) / 2;
  int y = (client.bottom - client.top - icon_height + 1) / 2;
  ::DrawIcon(dc, x, y, icon_);
  ::EndPaint(m_hWnd, &paint);
  return true;
}
