// Windows-style path helpers shared by every platform layer.
#ifndef PACKWRIGHT_PLATFORM_PATHS_H_
#define PACKWRIGHT_PLATFORM_PATHS_H_

#include <string>

// Resolves `path` lexically the way Windows does for a full path: "/" is
// read as "\", empty and "." components are dropped, ".." removes the
// component before it but never climbs above the root. A path without a
// drive or leading backslash is taken relative to `cwd` (itself absolute,
// such as "C:\dir"). The result is "X:\a\b" ("X:\" for the root itself).
std::string ResolvePathLexically(const std::string& path, const std::string& cwd);

// The folder that `path` names a file or folder in: its text before the
// last backslash ("C:\a\b.dat" gives "C:\a", "C:\a" gives "C:"). Forward
// slashes do not divide it. Empty when `path` holds no backslash, or only
// one at its start.
std::string DirectoryOf(const std::string& path);

// `text` with the letters A-Z made lower case; Windows compares names this
// way for the ASCII range, and every other byte is left as it is.
std::string LowerAscii(std::string text);

// The POSIX path that Windows path `path` stands for, the way Wine presents
// a Unix file system: drive Z: is "/", and every backslash is "/". A path
// without a drive is taken relative to the current directory, with its
// backslashes turned into slashes.
std::string ToPosixPath(const std::string& path);

// The Windows path for an absolute POSIX path: "/home/x" is "Z:\home\x".
std::string FromPosixPath(const std::string& path);

#endif  // PACKWRIGHT_PLATFORM_PATHS_H_
