// The engine's UTF-8 texts and paths as the UTF-16 of the wide ("W")
// functions of Windows, and back. For Win32 code only.
#ifndef PACKWRIGHT_PLATFORM_WIDE_WIN32_H_
#define PACKWRIGHT_PLATFORM_WIDE_WIN32_H_

#include <cstddef>
#include <string>

// The UTF-16 of UTF-8 `text`. A byte that is not part of valid UTF-8 stands
// for the character of its number (as Latin-1), so that no byte is lost.
std::wstring Widen(const std::string& text);

// The UTF-8 of the `length` UTF-16 units at `text`; a lone surrogate
// becomes its own three-byte sequence.
std::string Narrow(const wchar_t* text, std::size_t length);
inline std::string Narrow(const std::wstring& text) {
  return Narrow(text.data(), text.size());
}

#endif  // PACKWRIGHT_PLATFORM_WIDE_WIN32_H_
