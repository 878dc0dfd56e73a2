#include <windows.h>

#include <cstdio>

#include "platform/console.h"

namespace {

HANDLE StreamHandle(ConsoleStream stream) {
  return GetStdHandle(stream == ConsoleStream::kOut ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

bool IsConsole(HANDLE handle) {
  DWORD mode;
  return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

std::wstring Widen(const std::string& text, UINT code_page) {
  if (text.empty())
    return std::wstring();
  int n = MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0)
    MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
  return wide;
}

std::string Narrow(const std::wstring& wide, UINT code_page) {
  if (wide.empty())
    return std::string();
  int n = WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string text(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0)
    WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()), &text[0], n,
                        nullptr, nullptr);
  return text;
}

// A console shows UTF-16 whatever its own code page; everything else gets
// bytes.
void WriteIn(ConsoleStream stream, const std::string& text, UINT code_page) {
  HANDLE handle = StreamHandle(stream);
  DWORD written;
  if (IsConsole(handle)) {
    std::wstring wide = Widen(text, code_page);
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

  void Write(ConsoleStream stream, const std::string& text) override {
    WriteIn(stream, text, CP_THREAD_ACP);
  }
  void WriteUtf8(ConsoleStream stream, const std::string& text) override {
    WriteIn(stream, text, CP_UTF8);
  }

  bool ReadLine(std::string* line) override { return ReadStandardInputLine(line); }
};

}  // namespace

Console& SystemConsole() {
  static Win32Console console;
  return console;
}

std::string SystemTextToUtf8(const std::string& text) {
  return Narrow(Widen(text, CP_THREAD_ACP), CP_UTF8);
}

std::string ScriptTextToUtf8(const std::string& text) {
  return Narrow(Widen(text, CP_ACP), CP_UTF8);
}

std::string Utf8ToSystemText(const std::string& text) {
  return Narrow(Widen(text, CP_UTF8), CP_THREAD_ACP);
}

bool ListDirectory(const std::string& path, std::vector<DirEntry>* entries) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((path + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE)
    return false;
  entries->clear();
  do {
    std::string name = data.cFileName;
    if (name != "." && name != "..")
      entries->push_back({name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return true;
}
