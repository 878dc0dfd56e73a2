#include "platform/code_page.h"
#include "platform/platform.h"
#include "platform/system_posix.h"

Platform& SystemPlatform() {
  static Platform platform{PosixFileSystem(), PosixRegistry(), PosixShell()};
  return platform;
}

std::string SystemAnsiToUtf8(const std::string& text) {
  // Linux has no ANSI code page; scripts come from Windows systems in
  // Western Europe most often.
  return CodePageToUtf8(1252, text);
}
