// Hexadecimal numbers as the registry file, the install record and the
// checksums write them.
#ifndef PACKWRIGHT_PLATFORM_HEX_H_
#define PACKWRIGHT_PLATFORM_HEX_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

// Reads `text` as a hexadecimal number. True when it is 1 to `max_digits`
// (at most 16) digits 0-9, a-f or A-F and nothing else; false for anything
// else (empty, too long, a sign, "0x", a blank), and `*value` is then left
// as it was.
bool ParseHex(std::string_view text, std::size_t max_digits, std::uint64_t* value);

#endif  // PACKWRIGHT_PLATFORM_HEX_H_
