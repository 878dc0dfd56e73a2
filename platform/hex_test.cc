#include "platform/hex.h"

#include <gtest/gtest.h>

TEST(ParseHexTest, WholeTextOfDigitsInEitherCase) {
  struct Case {
    const char* text;
    std::size_t max_digits;
    bool ok;
    std::uint64_t value;
  };
  const Case kCases[] = {
      {"0", 1, true, 0},   {"aF", 2, true, 0xAF}, {"ffffffffffffffff", 16, true, ~0ULL},
      {"", 2, false, 0},   {"abc", 2, false, 0},  {"10000000000000000", 20, false, 0},
      {"-1", 2, false, 0}, {"+1", 2, false, 0},   {"0x1", 3, false, 0},
      {" 1", 2, false, 0}, {"1 ", 2, false, 0},   {"g", 1, false, 0},
  };
  for (const Case& c : kCases) {
    std::uint64_t value = 7;
    EXPECT_EQ(c.ok, ParseHex(c.text, c.max_digits, &value)) << c.text;
    EXPECT_EQ(c.ok ? c.value : 7, value) << c.text;
  }
}
