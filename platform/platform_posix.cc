#include "platform/platform.h"
#include "platform/system_posix.h"

Platform& SystemPlatform() {
  static Platform platform{PosixFileSystem(), PosixRegistry(), PosixShell()};
  return platform;
}
