// The Win32 implementations behind SystemPlatform(). Each is a thin layer
// over the wide ("W") functions of kernel32, advapi32 and user32: paths and
// texts are UTF-8 on this side and UTF-16 on the system's (wide_win32.h),
// so a name that the ANSI code page lacks is never lost, and results are
// the system's own codes passed through.
//
// File system: "err" texts name the function and its paths and end in the
// system error code, as in "CopyFile(a, b): error 5".
//
// Registry: the roots kHkeyClassesRoot, kHkeyCurrentUser and
// kHkeyLocalMachine stand for the predefined keys; any other RegKey is an
// HKEY that this layer opened. String values (REG_SZ, REG_EXPAND_SZ,
// REG_MULTI_SZ) come back as UTF-8, their size counted in its bytes.
//
// Shell: LoadText gives the string-table text (UTF-16) as UTF-8, and the
// message box shows it through MessageBoxW.
#ifndef PACKWRIGHT_PLATFORM_SYSTEM_WIN32_H_
#define PACKWRIGHT_PLATFORM_SYSTEM_WIN32_H_

#include <cstddef>
#include <string>

#include "platform/platform.h"

FileSystem& Win32FileSystem();
Registry& Win32Registry();
Shell& Win32Shell();

// The full path of the running program, asked for with a buffer of
// `initial_size` characters that doubles until the path fits; "" on
// failure. ModulePath() starts at MAX_PATH.
std::string ModuleFileName(std::size_t initial_size);

// "Op(path): error N", the form of every error text of this layer.
std::string Win32ErrorText(const std::string& op, const std::string& paths, unsigned long code);

#endif  // PACKWRIGHT_PLATFORM_SYSTEM_WIN32_H_
