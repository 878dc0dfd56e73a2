// Test doubles for the platform, one per face: an in-memory file system and
// registry that behave like Windows and fail chosen calls (FakeFaults), and
// a shell whose message boxes are recorded and answered from a script.
#ifndef PACKWRIGHT_PLATFORM_FAKE_PLATFORM_H_
#define PACKWRIGHT_PLATFORM_FAKE_PLATFORM_H_

#include "platform/fake_file_system.h"
#include "platform/fake_registry.h"
#include "platform/fake_shell.h"
#include "platform/platform.h"

// The three fakes together, ready to hand to the engine as a Platform.
struct FakePlatform {
  FakeFileSystem files;
  FakeRegistry registry;
  FakeShell shell;
  Platform platform{files, registry, shell};
};

#endif  // PACKWRIGHT_PLATFORM_FAKE_PLATFORM_H_
