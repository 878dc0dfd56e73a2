// UTF-16LE, as the registry editor exports it, to UTF-8 and back. A byte
// sequence that is not valid in the source encoding is carried over rather
// than refused, so that a text read and written back comes out as it was.
#ifndef PACKWRIGHT_PLATFORM_UTF16_H_
#define PACKWRIGHT_PLATFORM_UTF16_H_

#include <cstddef>
#include <string>

// Appends the UTF-8 of the UTF-16LE bytes of `bytes` from `start` on to
// `out`. A lone surrogate becomes its own three-byte sequence. False, with
// `out` untouched, when an odd number of bytes follows `start`.
bool Utf16ToUtf8(const std::string& bytes, std::size_t start, std::string* out);

// The UTF-16LE bytes of UTF-8 `text`. A byte that starts no valid sequence
// stands for itself, read as Latin-1.
std::string Utf8ToUtf16(const std::string& text);

#endif  // PACKWRIGHT_PLATFORM_UTF16_H_
