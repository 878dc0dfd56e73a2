#include "app/install_progress_ctrl.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include "app/gui_test_support.h"

namespace {

// A visible top-level window holding one progress bar. It records the
// WM_PAINT messages it receives and the bar's position at each.
class InstallProgressCtrlTest : public testing::Test {
 protected:
  void SetUp() override {
    PW_SKIP_WITHOUT_DISPLAY();
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = &InstallProgressCtrlTest::ParentProc;
    window_class.hInstance = ::GetModuleHandleA(nullptr);
    window_class.lpszClassName = "PwProgressTestParent";
    ::RegisterClassA(&window_class);
    parent_ = ::CreateWindowExA(0, "PwProgressTestParent", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 60,
                                nullptr, nullptr, window_class.hInstance, nullptr);
    ASSERT_NE(parent_, nullptr);
    HWND bar = ::CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 10, 10, 180, 12,
                                 parent_, nullptr, window_class.hInstance, nullptr);
    ASSERT_NE(bar, nullptr);
    progress_.Attach(bar);
    current_ = this;
    ::UpdateWindow(parent_);
  }
  void TearDown() override {
    if (parent_)
      ::DestroyWindow(parent_);
    current_ = nullptr;
  }

  // True when part of the parent window waits to be repainted.
  bool ParentInvalid() { return ::GetUpdateRect(parent_, nullptr, FALSE) != 0; }

  static LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_PAINT && current_ != nullptr)
      current_->paint_positions_.push_back(
          static_cast<int>(::SendMessageA(current_->progress_.m_hWnd, PBM_GETPOS, 0, 0)));
    return ::DefWindowProcA(hwnd, msg, wparam, lparam);
  }

  static InstallProgressCtrlTest* current_;
  HWND parent_ = nullptr;
  CInstallProgressCtrl progress_;
  std::vector<int> paint_positions_;
};

InstallProgressCtrlTest* InstallProgressCtrlTest::current_ = nullptr;

TEST_F(InstallProgressCtrlTest, EveryHundredAndFirstSetPosRepaintsTheParent) {
  for (int round = 0; round < 2; ++round) {
    ::ValidateRect(parent_, nullptr);
    for (int call = 1; call <= 100; ++call) {
      EXPECT_TRUE(progress_.SetPos(call % 5));
      ASSERT_FALSE(ParentInvalid()) << "round " << round << ", call " << call;
    }
    EXPECT_TRUE(progress_.SetPos(4));
    EXPECT_TRUE(ParentInvalid()) << "round " << round;
    EXPECT_EQ(progress_.GetPos(), 4);
  }
}

TEST_F(InstallProgressCtrlTest, OperationsDriveTheBar) {
  // A range beyond 16 bits shows that the 32-bit range message is used.
  EXPECT_TRUE(progress_.SetRange(-5, 70000));
  int lower = 0, upper = 0;
  progress_.GetRange(&lower, &upper);
  EXPECT_EQ(lower, -5);
  EXPECT_EQ(upper, 70000);

  progress_.SetPos(3);
  EXPECT_EQ(progress_.GetPos(), 3);
  EXPECT_EQ(progress_.OffsetPos(10), 3);
  EXPECT_EQ(progress_.GetPos(), 13);
  EXPECT_EQ(progress_.SetStep(7), 10);  // the control's default step
  EXPECT_EQ(progress_.StepIt(), 13);
  EXPECT_EQ(progress_.GetPos(), 20);
}

TEST_F(InstallProgressCtrlTest, StepItPaintsTheParentBeforeStepping) {
  progress_.SetRange(0, 4);
  progress_.SetPos(1);
  progress_.SetStep(1);
  paint_positions_.clear();
  EXPECT_EQ(progress_.StepIt(), 1);
  ASSERT_EQ(paint_positions_.size(), 1u);
  EXPECT_EQ(paint_positions_[0], 1);
  EXPECT_EQ(progress_.GetPos(), 2);
}

}  // namespace
