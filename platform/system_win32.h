// The Win32 implementations behind SystemPlatform(). Each is a thin layer
// over the ANSI ("A") functions of kernel32, advapi32 and user32: paths and
// texts are narrow strings of the thread's ANSI code page, and results are
// the system's own codes passed through.
//
// File system: "err" texts name the function and its paths and end in the
// system error code, as in "CopyFile(a, b): error 5".
//
// Registry: the roots kHkeyClassesRoot, kHkeyCurrentUser and
// kHkeyLocalMachine stand for the predefined keys; any other RegKey is an
// HKEY that this layer opened.
//
// Shell: LoadText converts the string-table text (UTF-16) into the thread's
// ANSI code page; a character that the code page lacks becomes the code
// page's default character ("?"), never a look-alike.
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
