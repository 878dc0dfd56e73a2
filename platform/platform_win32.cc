#include "platform/platform.h"

#include "platform/system_win32.h"

Platform& SystemPlatform() {
  static Platform platform{Win32FileSystem(), Win32Registry(), Win32Shell()};
  return platform;
}

std::string Win32ErrorText(const std::string& op, const std::string& paths, unsigned long code) {
  return op + "(" + paths + "): error " + std::to_string(code);
}
