#include <windows.h>

#include <cstdio>
#include <vector>

#include "platform/system_win32.h"
#include "platform/wide_win32.h"

namespace {

class Win32ShellImpl : public Shell {
 public:
  std::string ModulePath() override { return ModuleFileName(MAX_PATH); }

  std::uint16_t SystemLanguage() override { return GetSystemDefaultLangID(); }

  std::string LoadText(unsigned id) override {
    // With a zero buffer size LoadStringW hands out a pointer to the text in
    // the resource itself, which is not NUL-terminated, and its length. The
    // text stays Unicode on its way to the screen: no code page of the
    // system or the user can lose a letter of it.
    const wchar_t* text = nullptr;
    int len = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (len <= 0 || !text)
      return std::string();
    return Narrow(text, static_cast<std::size_t>(len));
  }

  std::string Now() override {
    SYSTEMTIME utc;
    GetSystemTime(&utc);
    char text[32];
    std::snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u", utc.wYear, utc.wMonth,
                  utc.wDay, utc.wHour, utc.wMinute, utc.wSecond);
    return text;
  }

  int ShowMessageBox(const std::string& caption, const std::string& text, unsigned type) override {
    // With another program in front, this thread has no active window; the
    // box must still keep the dialog from taking input, hence task-modal.
    HWND owner = GetActiveWindow();
    if (owner == nullptr)
      type |= MB_TASKMODAL;
    return MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(), type);
  }

  void HandlePendingMessages() override {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        // For the loop that owns the program's end.
        PostQuitMessage(static_cast<int>(msg.wParam));
        return;
      }
      HWND active = GetActiveWindow();
      if (active != nullptr && IsDialogMessageW(active, &msg))
        continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
};

}  // namespace

std::string ModuleFileName(std::size_t initial_size) {
  std::vector<wchar_t> buf(initial_size > 0 ? initial_size : 1);
  for (;;) {
    DWORD len = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (len == 0)
      return std::string();
    // A path that fills the buffer may have been cut short; only a shorter
    // one is known to be whole.
    if (len < buf.size())
      return Narrow(buf.data(), len);
    buf.resize(buf.size() * 2);
  }
}

Shell& Win32Shell() {
  static Win32ShellImpl shell;
  return shell;
}
