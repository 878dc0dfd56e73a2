#include "engine/messages.h"

#include <set>

#include <gtest/gtest.h>

#include "platform/fake_platform.h"
#include "platform/win_constants.h"
#include "res/string_table.h"

TEST(LocalizedIdTest, PicksLanguageByPrimaryLanguageOnly) {
  struct Case {
    std::uint16_t lang;
    unsigned expected;
  } cases[] = {
      {0x0407, 105},  // German (Germany)
      {0x0C07, 105},  // German (Austria)
      {0x0807, 105},  // German (Switzerland)
      {0x0409, 205},  // English (US)
      {0x040C, 305},  // French (France)
      {0x0C0C, 305},  // French (Canada)
      {0x080C, 305},  // French (Belgium)
      {0x0415, 405},  // Polish
      {0x0413, 205},  // Dutch falls back to English
      {0x0410, 205},  // Italian
      {0x0C0A, 205},  // Spanish
      {0x0000, 205},  // neutral
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.expected, LocalizedId(IDS_INSTALL_FAILED, c.lang)) << std::hex << c.lang;
}

TEST(FormatTextTest, SubstitutesMarkersInOrderAndIgnoresExtraArguments) {
  EXPECT_EQ("copy a to b.", FormatText("copy %s to %s.", {"a", "b", "c"}));
  EXPECT_EQ("no markers", FormatText("no markers", {"a", "b"}));
  EXPECT_EQ("a and ", FormatText("%s and %s", {"a"}));
  EXPECT_EQ("100% %d", FormatText("100%% %d", {}));
  // An argument is never itself taken as a pattern.
  EXPECT_EQ("C:\\100%s", FormatText("%s", {"C:\\100%s"}));
}

TEST(ShowMessageTest, CaptionIsAppNameAndPlainBoxesGetExclamationIcon) {
  FakeShell shell;
  shell.language = 0x0409;
  ShowMessage(shell, IDS_SCRIPT_MISSING, kMbOk);
  shell.answers.push_back(kIdNo);
  EXPECT_EQ(kIdNo, ShowMessage(shell, IDS_KEEP_NEWER, kMbYesNoCancel, {"D:\\x", "C:\\y"}));
  ShowMessage(shell, IDS_INSTALL_OK, kMbOk | kMbIconInformation);
  ASSERT_EQ(3u, shell.boxes.size());
  EXPECT_EQ("Packwright", shell.boxes[0].caption);
  EXPECT_EQ(kMbOk | kMbIconExclamation, shell.boxes[0].type);
  EXPECT_EQ(kMbYesNoCancel | kMbIconExclamation, shell.boxes[1].type);
  EXPECT_EQ(kMbOk | kMbIconInformation, shell.boxes[2].type);
  EXPECT_EQ(
      "The file: \n\nD:\\x\n\nis of a newer version than the one it is to be replaced "
      "with: \n\nC:\\y.\n\nIt is recommended to keep the file.  \n\nShould the "
      "present file be kept?",
      shell.boxes[1].text);
}

TEST(ShowMessageTest, GermanCopyFailureShowsNoPaths) {
  FakeShell shell;
  shell.language = 0x0407;
  ShowMessage(shell, IDS_COPY_FAILED, kMbOk, {"C:\\a", "D:\\b"});
  EXPECT_EQ("Kopieren der Dateien fehlgeschlagen", shell.boxes.at(0).text);
  shell.language = 0x040C;
  ShowMessage(shell, IDS_COPY_FAILED, kMbOk, {"C:\\a", "D:\\b"});
  EXPECT_EQ(
      "Echec de copie du fichier C:\\a vers D:\\b. Une protection contre l'\xC3\xA9"
      "criture est-elle mise place?",
      shell.boxes.at(1).text);
}

TEST(StringTableTest, HoldsEveryMessageInEachOfFourLanguages) {
  std::size_t count = 0;
  const StringTableEntry* table = StringTable(&count);
  std::set<unsigned> ids;
  for (std::size_t i = 0; i < count; ++i) {
    ids.insert(table[i].id);
    EXPECT_NE('\0', table[i].text[0]) << table[i].id;
  }
  ASSERT_EQ(96u, ids.size());
  for (unsigned lang = 100; lang <= 400; lang += 100) {
    for (unsigned k = 1; k <= 23; ++k)
      EXPECT_TRUE(ids.count(lang + k)) << lang + k;
    EXPECT_TRUE(ids.count(lang + 25)) << lang + 25;
  }
  EXPECT_STREQ(
      "Wyj\xC5\x9B"
      "cie",
      BuiltInString(LocalizedId(IDS_QUIT, 0x0415)));
  EXPECT_STREQ("Installer", BuiltInString(LocalizedId(IDS_INSTALL, 0x040C)));
}
