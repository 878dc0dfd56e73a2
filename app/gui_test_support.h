// Support for tests that need real windows. Under Wine a window can only be
// made with a display (an X server, or Wine's null graphics driver); the
// end-to-end test runs these tests again under Xvfb, so that a run without
// a display skips them instead of failing.
#ifndef PACKWRIGHT_APP_GUI_TEST_SUPPORT_H_
#define PACKWRIGHT_APP_GUI_TEST_SUPPORT_H_

#include <windows.h>

// True when this process can create windows.
inline bool CanCreateWindows() {
  HWND probe = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 ::GetModuleHandleA(nullptr), nullptr);
  if (probe == nullptr)
    return false;
  ::DestroyWindow(probe);
  return true;
}

#define PW_SKIP_WITHOUT_DISPLAY()                                                \
  do {                                                                           \
    if (!CanCreateWindows())                                                     \
      GTEST_SKIP() << "no display: windows cannot be created (the e2e test runs" \
                      " this under Xvfb)";                                       \
  } while (0)

#endif  // PACKWRIGHT_APP_GUI_TEST_SUPPORT_H_
