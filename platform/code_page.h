// Text of Windows' ANSI code pages as UTF-8.
#ifndef PACKWRIGHT_PLATFORM_CODE_PAGE_H_
#define PACKWRIGHT_PLATFORM_CODE_PAGE_H_

#include <string>

// The UTF-8 of `text` read as code page 1252. The five bytes that 1252
// leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control
// characters of their value, as Windows converts them.
std::string Cp1252ToUtf8(const std::string& text);

#endif  // PACKWRIGHT_PLATFORM_CODE_PAGE_H_
