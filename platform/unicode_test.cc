#include "platform/unicode.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"

namespace {

TEST(UnicodeTest, FoldCaseMatchesWhatWindowsTakesForOneName) {
  const struct {
    const char* text;
    const char* folded;
  } kCases[] = {
      {"Modelle\\NEU.KSM", "modelle\\neu.ksm"},
      {"BR\xC3\x9C"
       "CKE \xC3\x84\xC3\x96",
       "br\xC3\xBC"
       "cke \xC3\xA4\xC3\xB6"},  // ÜÄÖ
      {"\xC5\x81\xC3\x93"
       "D\xC5\xB9",
       "\xC5\x82\xC3\xB3"
       "d\xC5\xBA"},                                                             // ŁÓDŹ
      {"\xC5\xA0\xC5\x92\xC5\xBD\xC5\xB8", "\xC5\xA1\xC5\x93\xC5\xBE\xC3\xBF"},  // ŠŒŽŸ
      {"\xD0\x9F\xD0\xB0\xD0\x9A\xD0\x95\xD0\xA2", "\xD0\xBF\xD0\xB0\xD0\xBA\xD0\xB5\xD1\x82"},
      {"\xC3\x9F\xC3\x97", "\xC3\x9F\xC3\x97"},  // ß and × have no capital pair
      {"A\xFC"
       "B\xC3",
       "a\xFC"
       "b\xC3"},  // bytes that are not UTF-8 stay
  };
  for (const auto& c : kCases)
    EXPECT_EQ(c.folded, FoldCase(c.text)) << c.text;
}

TEST(UnicodeTest, CodePagesConvertAsWindowsDoes) {
  const struct {
    unsigned code_page;
    const char* text;
    const char* utf8;
  } kCases[] = {
      {1252,
       "Br\xFC"
       "cke\x80\x81",
       "Br\xC3\xBC"
       "cke\xE2\x82\xAC\xC2\x81"},
      {1250,
       "\xA3\xF3"
       "d\x9F",
       "\xC5\x81\xC3\xB3"
       "d\xC5\xBA"},
      {1251, "\xCF\xE0\xEA\xE5\xF2", "\xD0\x9F\xD0\xB0\xD0\xBA\xD0\xB5\xD1\x82"},
      {65001,
       "Br\xC3\xBC"
       "cke",
       "Br\xC3\xBC"
       "cke"},
      {437,
       "Br\x81"
       "cke",
       "Br\x81"
       "cke"},  // unknown: unchanged
  };
  for (const auto& c : kCases)
    EXPECT_EQ(c.utf8, CodePageToUtf8(c.code_page, c.text)) << c.code_page;
  EXPECT_FALSE(SetAnsiCodePage(437));
  ASSERT_TRUE(SetAnsiCodePage(1250));
  EXPECT_EQ("\xC5\x81", AnsiToUtf8("\xA3"));
  ASSERT_TRUE(SetAnsiCodePage(0));
}

TEST(UnicodeTest, LengthsCountUtf16Units) {
  EXPECT_EQ(6u, Utf16Length("Br\xC3\xBC"
                            "cke"));
  EXPECT_EQ(2u, Utf16Length("\xF0\x9F\x9A\x82"));  // a train, beyond U+FFFF
  EXPECT_EQ(2u, Utf16Length("\xFC\xFC"));
  EXPECT_TRUE(
      IsUtf8("Br\xC3\xBC"
             "cke"));
  EXPECT_FALSE(
      IsUtf8("Br\xFC"
             "cke"));
  EXPECT_FALSE(IsUtf8("\xC0\xAF"));  // overlong "/"
}

}  // namespace
