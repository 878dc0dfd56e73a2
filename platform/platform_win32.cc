#include "platform/platform.h"

#include <windows.h>

#include "platform/code_page.h"
#include "platform/system_win32.h"
#include "platform/wide_win32.h"

Platform& SystemPlatform() {
  static Platform platform{Win32FileSystem(), Win32Registry(), Win32Shell()};
  return platform;
}

std::string Win32ErrorText(const std::string& op, const std::string& paths, unsigned long code) {
  return op + "(" + paths + "): error " + std::to_string(code);
}

std::string SystemAnsiToUtf8(const std::string& text) {
  if (text.empty())
    return text;
  int size = static_cast<int>(text.size());
  int units = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  if (units <= 0)
    return text;
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, &wide[0], units);
  return Narrow(wide);
}
