#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>
#include <cwchar>

#include "platform/console.h"
#include "platform/wide_win32.h"

namespace {

HANDLE StreamHandle(ConsoleStream stream) {
  return GetStdHandle(stream == ConsoleStream::kOut ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

bool IsConsole(HANDLE handle) {
  DWORD mode;
  return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

// A console shows UTF-16 whatever its own code page; everything else gets
// bytes.
void WriteIn(ConsoleStream stream, const std::string& text) {
  HANDLE handle = StreamHandle(stream);
  DWORD written;
  if (IsConsole(handle)) {
    std::wstring wide = Widen(text);
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
  } else if (handle != INVALID_HANDLE_VALUE && handle != nullptr) {
    WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  }
}

class Win32Console : public Console {
 public:
  bool IsTerminal(ConsoleStream stream) override { return IsConsole(StreamHandle(stream)); }
  bool InputIsTerminal() override { return IsConsole(GetStdHandle(STD_INPUT_HANDLE)); }
  int Columns(ConsoleStream stream) override {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(StreamHandle(stream), &info))
      return info.srWindow.Right - info.srWindow.Left + 1;
    return 80;
  }

  void Write(ConsoleStream stream, const std::string& text) override { WriteIn(stream, text); }

  bool ReadLine(std::string* line) override { return ReadStandardInputLine(line); }
};

}  // namespace

std::vector<std::string> CommandLineArguments(int /*argc*/, char** /*argv*/) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; wide && i < count; ++i)
    args.push_back(Narrow(wide[i], wcslen(wide[i])));
  if (wide)
    LocalFree(wide);
  return args;
}

Console& SystemConsole() {
  static Win32Console console;
  return console;
}

bool ListDirectory(const std::string& path, std::vector<DirEntry>* entries) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(Widen(path + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE)
    return false;
  entries->clear();
  do {
    std::string name = Narrow(data.cFileName, wcslen(data.cFileName));
    if (name != "." && name != "..")
      entries->push_back({name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return true;
}
