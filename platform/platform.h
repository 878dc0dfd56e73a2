// The three faces of the platform, handed together to the engine.
#ifndef PACKWRIGHT_PLATFORM_PLATFORM_H_
#define PACKWRIGHT_PLATFORM_PLATFORM_H_

#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/shell.h"

struct Platform {
  FileSystem& files;
  Registry& registry;
  Shell& shell;
};

// The running system's own implementations (Win32 or POSIX, chosen at build
// time). They live as long as the program.
Platform& SystemPlatform();

#endif  // PACKWRIGHT_PLATFORM_PLATFORM_H_
