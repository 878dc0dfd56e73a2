// UTF-8 as the engine keeps names and paths: decoding, case folding for
// name comparison, and the length Windows counts a path in.
#ifndef PACKWRIGHT_PLATFORM_UNICODE_H_
#define PACKWRIGHT_PLATFORM_UNICODE_H_

#include <cstddef>
#include <cstdint>
#include <string>

// Decodes the UTF-8 sequence at `i` of `s` into `*cp` and returns its
// length. A byte that starts no valid sequence (a stray continuation byte,
// a cut sequence, an overlong form, a value beyond U+10FFFF) stands for
// itself as Latin-1, with length 1. The three-byte form of a lone UTF-16
// surrogate is taken as that surrogate.
std::size_t DecodeUtf8(const std::string& s, std::size_t i, std::uint32_t* cp);

// Appends the UTF-8 of code point `cp` to `out`.
void AppendUtf8(std::uint32_t cp, std::string* out);

// True when every byte of `text` is part of a valid UTF-8 sequence.
bool IsUtf8(const std::string& text);

// `text` with its capitals made small the way Windows compares file names:
// ASCII, Latin-1, Latin Extended-A (every letter of code pages 1250 and
// 1252), Greek and Cyrillic. Other characters, and bytes that are not
// UTF-8, are left as they are, so two names equal after folding name the
// same file on Windows.
std::string FoldCase(const std::string& text);

// The number of UTF-16 units of UTF-8 `text`: two for a character beyond
// U+FFFF, one for every other character or stray byte. Windows' path
// limits count these.
std::size_t Utf16Length(const std::string& text);

#endif  // PACKWRIGHT_PLATFORM_UNICODE_H_
