#include "app/wnd.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "platform/wide_win32.h"

void CWnd::SetWindowText(const std::string& text) {
  // Texts are UTF-8; the wide version shows every letter of them.
  ::SetWindowTextW(m_hWnd, Widen(text).c_str());
}

std::string CWnd::GetWindowText(int max_chars) const {
  std::vector<wchar_t> buffer(max_chars + 1, L'\0');
  int length = ::GetWindowTextW(m_hWnd, buffer.data(), max_chars + 1);
  return Narrow(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
}

LRESULT CWnd::SendMessage(UINT msg, WPARAM wparam, LPARAM lparam) const {
  return ::SendMessageW(m_hWnd, msg, wparam, lparam);
}

HWND CWnd::GetParent() const {
  return ::GetParent(m_hWnd);
}

void CProgressCtrl::SetRange32(int lower, int upper) {
  SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(lower), static_cast<LPARAM>(upper));
}

void CProgressCtrl::GetRange(int* lower, int* upper) const {
  PBRANGE range = {};
  SendMessage(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
  *lower = range.iLow;
  *upper = range.iHigh;
}

int CProgressCtrl::SetPos(int pos) {
  return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(pos)));
}

int CProgressCtrl::GetPos() const {
  return static_cast<int>(SendMessage(PBM_GETPOS));
}

int CProgressCtrl::OffsetPos(int delta) {
  return static_cast<int>(SendMessage(PBM_DELTAPOS, static_cast<WPARAM>(delta)));
}

int CProgressCtrl::SetStep(int step) {
  return static_cast<int>(SendMessage(PBM_SETSTEP, static_cast<WPARAM>(step)));
}

int CProgressCtrl::StepIt() {
  return static_cast<int>(SendMessage(PBM_STEPIT));
}

CDialog::CDialog(UINT template_id, HWND parent) : template_id_(template_id), parent_(parent) {}

INT_PTR CDialog::DoModal() {
  return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(template_id_), parent_,
                           &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

void CDialog::EndDialog(INT_PTR result) {
  ::EndDialog(m_hWnd, result);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  CDialog* dialog;
  if (msg == WM_INITDIALOG) {
    dialog = reinterpret_cast<CDialog*>(lparam);
    ::SetWindowLongPtrW(hwnd, DWLP_USER, lparam);
    dialog->m_hWnd = hwnd;
  } else {
    dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  // Messages sent before WM_INITDIALOG (WM_SETFONT) find no object yet.
  if (dialog == nullptr)
    return FALSE;
  INT_PTR result = dialog->WindowProc(msg, wparam, lparam);
  if (msg == WM_INITDIALOG)
    dialog->CenterWindow();
  return result;
}

void CDialog::CenterWindow() {
  RECT work;
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  RECT area = work;
  HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
  if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner))
    ::GetWindowRect(owner, &area);
  RECT self;
  ::GetWindowRect(m_hWnd, &self);
  int width = self.right - self.left;
  int height = self.bottom - self.top;
  int x = area.left + (area.right - area.left - width) / 2;
  int y = area.top + (area.bottom - area.top - height) / 2;
  x = std::max<int>(work.left, std::min<int>(x, work.right - width));
  y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
  ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CDialog::WindowProc(UINT msg, WPARAM wparam, LPARAM /*lparam*/) {
  switch (msg) {
    case WM_INITDIALOG:
      return OnInitDialog();
    case WM_COMMAND:
      return OnCommand(LOWORD(wparam), HIWORD(wparam));
    default:
      return FALSE;
  }
}

BOOL CDialog::OnInitDialog() {
  UpdateData(false);
  return TRUE;
}

BOOL CDialog::OnCommand(WORD id, WORD /*code*/) {
  switch (id) {
    case IDOK:
      OnOK();
      return TRUE;
    case IDCANCEL:
      OnCancel();
      return TRUE;
    default:
      return FALSE;
  }
}

void CDialog::OnOK() {
  if (UpdateData(true))
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
  EndDialog(IDCANCEL);
}

bool CDialog::DoDataExchange(bool /*save*/) {
  return true;
}

namespace {
CWinApp* g_app = nullptr;
}  // namespace

CWinApp::CWinApp(const char* app_name) : m_pszAppName(app_name) {
  g_app = this;
}

int CWinApp::Run() {
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

CWinApp* AfxGetApp() {
  return g_app;
}
