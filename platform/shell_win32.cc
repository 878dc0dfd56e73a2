#include <windows.h>

#include <cstdio>
#include <vector>

#include "platform/system_win32.h"

namespace {

class Win32ShellImpl : public Shell {
 public:
  std::string ModulePath() override { return ModuleFileName(MAX_PATH); }

  std::uint16_t SystemLanguage() override { return GetSystemDefaultLangID(); }

  std::string LoadText(unsigned id) override {
    // With a zero buffer size LoadStringW hands out a pointer to the text in
    // the resource itself, which is not NUL-terminated, and its length.
    const wchar_t* text = nullptr;
    int len = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (len <= 0 || !text)
      return std::string();
    // The system's ANSI code page, not the thread's: the ANSI window and
    // message box functions read the text in that one, and so are paths.
    // The user's locale may differ from the system's (a German user on a
    // Polish Windows), and its code page would garble the letters.
    // No best-fit mapping: a letter the code page lacks ("ł" in 1252) shows
    // as the default character rather than as a different letter ("l").
    const DWORD flags = WC_NO_BEST_FIT_CHARS;
    int size = WideCharToMultiByte(CP_ACP, flags, text, len, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
      return std::string();
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, flags, text, len, &out[0], size, nullptr, nullptr);
    return out;
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
    return MessageBoxA(owner, text.c_str(), caption.c_str(), type);
  }

  void HandlePendingMessages() override {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        // For the loop that owns the program's end.
        PostQuitMessage(static_cast<int>(msg.wParam));
        return;
      }
      HWND active = GetActiveWindow();
      if (active != nullptr && IsDialogMessageA(active, &msg))
        continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
};

}  // namespace

std::string ModuleFileName(std::size_t initial_size) {
  std::vector<char> buf(initial_size > 0 ? initial_size : 1);
  for (;;) {
    DWORD len = GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (len == 0)
      return std::string();
    // A path that fills the buffer may have been cut short; only a shorter
    // one is known to be whole.
    if (len < buf.size())
      return std::string(buf.data(), len);
    buf.resize(buf.size() * 2);
  }
}

Shell& Win32Shell() {
  static Win32ShellImpl shell;
  return shell;
}
