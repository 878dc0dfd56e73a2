// The POSIX implementations behind SystemPlatform(), and the pieces of them
// that their tests reach directly.
//
// Paths: drive Z: is "/" and every backslash is "/", the way Wine shows a
// Unix file system to Windows programs ("Z:\home\u\Kestrova" is
// /home/u/Kestrova). Paths are resolved lexically first, as Windows does, so
// "Z:\a\missing\..\b" names /a/b. There is no other drive: a path on C: or
// any drive but Z: names nothing. Names are case-sensitive.
//
// Registry: the values live in a text file in the format that the Windows
// registry editor exports (see platform/reg_file.h). The file is the one
// named by the environment variable PACKWRIGHT_REGISTRY, or else
// $HOME/.packwright/registry.reg. It is read afresh by every call and
// rewritten atomically by SetDword. A key opened for more than reading
// fails with kErrorAccessDenied when the file has no write permission bit.
//
// Language: from the first non-empty of LC_ALL, LC_MESSAGES and LANG: "de*"
// is German (0x0407), "fr*" French (0x040C), "pl*" Polish (0x0415), and
// anything else English (0x0409).
//
// Message boxes are written to stderr; a Yes/No/Cancel box reads its answer
// from stdin (see ReadBoxAnswer).
#ifndef PACKWRIGHT_PLATFORM_SYSTEM_POSIX_H_
#define PACKWRIGHT_PLATFORM_SYSTEM_POSIX_H_

#include <cstddef>
#include <cstdio>
#include <string>

#include "platform/platform.h"

FileSystem& PosixFileSystem();
Registry& PosixRegistry();
Shell& PosixShell();

// The running program's path in Windows form ("Z:\..."), read from
// /proc/self/exe with a buffer of `initial_size` bytes that doubles until
// the whole path fits; "" on failure. ModulePath() starts at 256.
std::string ReadModulePath(std::size_t initial_size);

// The registry file as named above; empty when neither variable is set.
std::string RegistryStorePath();

// The button that answers a box of `type` (kMbYesNoCancel, kMbOk, ...).
// A Yes/No/Cancel box with `terminal` set prompts on stderr and reads lines
// from `in` until one starts with a known letter: y, j, o, t for Yes; n for
// No; c, a for Cancel (either case). Without a terminal, or at the end of
// `in`, it gets its default, kIdYes. Every other box gets kIdOk.
int ReadBoxAnswer(unsigned type, std::FILE* in, bool terminal);

#endif  // PACKWRIGHT_PLATFORM_SYSTEM_POSIX_H_
