#include "app/install_progress_ctrl.h"

#include "platform/wide_win32.h"

namespace {
// SetPos calls between two repaints of the parent window.
constexpr int kSetPosPerRepaint = 100;
}  // namespace

bool CInstallProgressCtrl::SetRange(int lower, int upper) {
  SetRange32(lower, upper);
  return true;
}

void CInstallProgressCtrl::GetRange(int* lower, int* upper) {
  CProgressCtrl::GetRange(lower, upper);
}

bool CInstallProgressCtrl::SetPos(int pos) {
  // The run holds the GUI thread, so the dialog is never repainted on its
  // own; a long run of positions repaints it now and then.
  if (++repaintCounter > kSetPosPerRepaint) {
    repaintCounter = 0;
    ::InvalidateRect(GetParent(), nullptr, TRUE);
  }
  CProgressCtrl::SetPos(pos);
  return true;
}

int CInstallProgressCtrl::GetPos() {
  return CProgressCtrl::GetPos();
}

int CInstallProgressCtrl::OffsetPos(int delta) {
  return CProgressCtrl::OffsetPos(delta);
}

int CInstallProgressCtrl::SetStep(int step) {
  return CProgressCtrl::SetStep(step);
}

int CInstallProgressCtrl::StepIt() {
  ::SendMessageW(GetParent(), WM_PAINT, 0, 0);
  return CProgressCtrl::StepIt();
}

bool CInstallProgressCtrl::SetStatusText1(const std::string& text) {
  return SetStatusText(statusText1, text);
}

bool CInstallProgressCtrl::SetStatusText2(const std::string& text) {
  return SetStatusText(statusText2, text);
}

bool CInstallProgressCtrl::SetStatusText3(const std::string& text) {
  return SetStatusText(statusText3, text);
}

bool CInstallProgressCtrl::SetStatusText(void* window, const std::string& text) {
  if (window != nullptr)
    ::SetWindowTextW(static_cast<HWND>(window), Widen(text).c_str());
  return true;
}
