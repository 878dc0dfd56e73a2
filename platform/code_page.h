// The ANSI code page that a script's text is written in, and its
// conversion to the UTF-8 that the engine's paths are kept in.
#ifndef PACKWRIGHT_PLATFORM_CODE_PAGE_H_
#define PACKWRIGHT_PLATFORM_CODE_PAGE_H_

#include <string>

// Code page 65001: text that is UTF-8 already.
inline constexpr unsigned kCodePageUtf8 = 65001;

// True for the code pages that CodePageToUtf8 knows: the single-byte
// Windows code pages 1250 to 1254 and 1257, and 65001.
bool KnownCodePage(unsigned code_page);

// `text`, written in code page `code_page`, as UTF-8. ASCII stays as it is;
// a byte that the code page leaves undefined becomes the character of the
// same number, as Windows converts it. 65001 gives `text` back unchanged.
// `text` unchanged for a code page that KnownCodePage refuses.
std::string CodePageToUtf8(unsigned code_page, const std::string& text);

// `text` in the ANSI code page as UTF-8: the code page chosen with
// SetAnsiCodePage, or else the system's own (Windows: its ANSI code page;
// POSIX, which has none: 1252).
std::string AnsiToUtf8(const std::string& text);

// The code page that AnsiToUtf8 reads from now on; 0 returns to the
// system's own. False, changing nothing, for one that KnownCodePage refuses.
bool SetAnsiCodePage(unsigned code_page);

// The system's ANSI code page as UTF-8 (each platform's own).
std::string SystemAnsiToUtf8(const std::string& text);

#endif  // PACKWRIGHT_PLATFORM_CODE_PAGE_H_
