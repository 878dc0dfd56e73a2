// The POSIX shell: the program's own path, the language taken from the
// locale variables, and the answers of message boxes.
#include <stdio.h>
#include <stdlib.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/platform.h"
#include "platform/system_posix.h"

namespace {

class LocaleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 3; ++i) {
      const char* value = getenv(kNames[i]);
      had_[i] = value != nullptr;
      saved_[i] = value ? value : "";
    }
  }
  void TearDown() override {
    for (int i = 0; i < 3; ++i) {
      if (had_[i])
        setenv(kNames[i], saved_[i].c_str(), 1);
      else
        unsetenv(kNames[i]);
    }
  }

  std::uint16_t LanguageFor(const char* all, const char* messages, const char* lang) {
    const char* values[] = {all, messages, lang};
    for (int i = 0; i < 3; ++i)
      setenv(kNames[i], values[i], 1);
    return SystemPlatform().shell.SystemLanguage();
  }

  static constexpr const char* kNames[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  bool had_[3] = {};
  std::string saved_[3];
};

TEST_F(LocaleTest, LanguagesByPrefix) {
  EXPECT_EQ(0x0407, LanguageFor("", "", "de_DE.UTF-8"));
  EXPECT_EQ(0x0407, LanguageFor("", "", "de_AT.UTF-8"));
  EXPECT_EQ(0x040C, LanguageFor("", "", "fr_CA.UTF-8"));
  EXPECT_EQ(0x0415, LanguageFor("", "", "pl_PL"));
  EXPECT_EQ(0x0409, LanguageFor("", "", "nl_NL.UTF-8"));
  EXPECT_EQ(0x0409, LanguageFor("", "", "C"));
  EXPECT_EQ(0x0409, LanguageFor("", "", ""));
}

TEST_F(LocaleTest, FirstNonEmptyVariableDecides) {
  EXPECT_EQ(0x040C, LanguageFor("fr_FR.UTF-8", "de_DE.UTF-8", "pl_PL.UTF-8"));
  EXPECT_EQ(0x0407, LanguageFor("", "de_DE.UTF-8", "pl_PL.UTF-8"));
  EXPECT_EQ(0x0409, LanguageFor("C.UTF-8", "de_DE.UTF-8", "pl_PL.UTF-8"));
  unsetenv("LC_ALL");
  unsetenv("LC_MESSAGES");
  EXPECT_EQ(0x0415, SystemPlatform().shell.SystemLanguage());
}

TEST(ModulePathTest, NamesTheRunningProgramInDriveZForm) {
  std::string path = SystemPlatform().shell.ModulePath();
  ASSERT_GT(path.size(), 3u);
  EXPECT_EQ("Z:\\", path.substr(0, 3));
  EXPECT_EQ(std::string::npos, path.find('/'));
  std::string name = path.substr(path.rfind('\\') + 1);
  EXPECT_EQ("packwright_tests", name);
}

TEST(ModulePathTest, TheBufferGrowsUntilThePathFits) {
  std::string full = SystemPlatform().shell.ModulePath();
  EXPECT_EQ(full, ReadModulePath(1));
  EXPECT_EQ(full, ReadModulePath(full.size() - 2));
  EXPECT_EQ(full, ReadModulePath(full.size() - 1));
}

// Runs ReadBoxAnswer on the typed `input`.
int Answer(unsigned type, const std::string& input, bool terminal) {
  std::string buf = input;
  FILE* in = fmemopen(buf.empty() ? nullptr : &buf[0], buf.size(), "r");
  if (!in)
    in = fopen("/dev/null", "r");
  int answer = ReadBoxAnswer(type, in, terminal);
  fclose(in);
  return answer;
}

TEST(BoxAnswerTest, QuestionsReadALineAtATerminal) {
  EXPECT_EQ(kIdYes, Answer(kMbYesNoCancel, "y\n", true));
  EXPECT_EQ(kIdYes, Answer(kMbYesNoCancel, "Ja\n", true));
  EXPECT_EQ(kIdYes, Answer(kMbYesNoCancel, "oui\n", true));
  EXPECT_EQ(kIdYes, Answer(kMbYesNoCancel, "tak\n", true));
  EXPECT_EQ(kIdNo, Answer(kMbYesNoCancel | kMbIconExclamation, "nein\n", true));
  EXPECT_EQ(kIdCancel, Answer(kMbYesNoCancel, "c\n", true));
  EXPECT_EQ(kIdCancel, Answer(kMbYesNoCancel, "Abbrechen\n", true));
  EXPECT_EQ(kIdNo, Answer(kMbYesNoCancel, "\nwhat?\nn\n", true));
}

TEST(BoxAnswerTest, WithoutAnAnswerTheDefaultButtonCounts) {
  EXPECT_EQ(kIdYes, Answer(kMbYesNoCancel, "n\n", false));
  EXPECT_EQ(kIdYes, Answer(kMbYesNoCancel, "", true));
  EXPECT_EQ(kIdYes, Answer(kMbYesNoCancel, "maybe", true));
  EXPECT_EQ(kIdOk, Answer(kMbOk | kMbIconInformation, "n\n", true));
}

}  // namespace
