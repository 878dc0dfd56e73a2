#include "engine/install_script.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/fake_platform.h"
#include "platform/text_file.h"

namespace {

const char kPath[] = "C:\\Paket\\InstSkript.txt";

// What a step sees of one section: whether it was found and its entries.
struct Section {
  bool found = false;
  std::vector<std::string> entries;
  bool operator==(const Section& o) const { return found == o.found && entries == o.entries; }
};

Section Read(CInstallScript& script, const std::string& name) {
  Section section;
  section.found = script.FindSection(name);
  std::string text;
  while (section.found && script.NextEntry(&text))
    section.entries.push_back(text);
  return section;
}

Section Found(std::vector<std::string> entries) {
  return Section{true, std::move(entries)};
}
const Section kNotFound;

struct Case {
  const char* what;
  std::string script;
  Section want;
};

class InstallScriptTest : public testing::Test {
 protected:
  // Checks each case's script against section "D".
  void Check(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      fs.AddFile(kPath, c.script);
      ASSERT_TRUE(script.CheckOpen(kPath));
      Section got = Read(script, "D");
      EXPECT_EQ(c.want.found, got.found);
      EXPECT_EQ(c.want.entries, got.entries);
    }
  }

  FakeFileSystem fs;
  CInstallScript script{fs};
};

}  // namespace

TEST_F(InstallScriptTest, ReadsTheDocumentedExample) {
  fs.AddFile(kPath,
             "{Signal masts, version 2}\r\n"
             "Dateinstallation\r\n"
             "{\r\n"
             "{Dateien\\Mast 1.dat >> Resourcen\\Mast1.dat}\r\n"
             "{Dateien\\Mast.bmp>>Resourcen\\Mast.bmp}\r\n"
             "}\r\n"
             "Texturskript\r\n"
             "{\r\n"
             "{x >> a{b} c}\r\n"
             "}\r\n");
  ASSERT_TRUE(script.CheckOpen(kPath));
  EXPECT_EQ(
      Found({"Dateien\\Mast1.dat>>Resourcen\\Mast1.dat", "Dateien\\Mast.bmp>>Resourcen\\Mast.bmp"}),
      Read(script, "Dateinstallation"));
  EXPECT_EQ(Found({"x>>a{b}c"}), Read(script, "Texturskript"));
  // Each search starts again from the top, in whatever order asked.
  EXPECT_EQ(Found({"x>>a{b}c"}), Read(script, "Texturskript"));
  EXPECT_EQ(2u, Read(script, "Dateinstallation").entries.size());
}

TEST_F(InstallScriptTest, NamesAreWholeTopLevelWordsWithoutWhitespace) {
  Check({
      {"case differs", "d{{a}}", kNotFound},
      {"blank inside", "\t D \x0b{{a}}", Found({"a"})},
      {"remark merges", "Remark\nD{{a}}", kNotFound},
      {"remark in braces", "{Remark}\nD{{a}}", Found({"a"})},
      {"two blocks before", "{x}{y}D{{a}}", Found({"a"})},
      {"name inside a block", "{D{{a}}}", kNotFound},
      {"name in block, then real", "{D{{a}}}D{{b}}", Found({"b"})},
      {"stray closing brace", "}D{{a}}", Found({"a"})},
      {"unclosed top-level block", "{Remark\nD{{a}}", kNotFound},
      {"byte-order mark",
       "\xEF\xBB\xBF"
       "D{{a}}",
       kNotFound},
      {"byte-order mark then block", "\xEF\xBB\xBF{}D{{a}}", Found({"a"})},
      {"duplicate section", "D{{a}}D{{b}}", Found({"a"})},
      {"name last in file", "{x}D", Found({})},
      {"name is the whole file", "D", Found({})},
      {"empty script", "", kNotFound},
  });
  fs.AddFile(kPath, "Datein stallation\n{{a}}");
  EXPECT_EQ(Found({"a"}), Read(script, "Dateinstallation"));
  fs.AddFile(kPath, "Dateinst\r\nallation\n{{a}}");
  EXPECT_EQ(Found({"a"}), Read(script, "Dateinstallation"));
}

TEST_F(InstallScriptTest, EntriesDropWhitespaceAndKeepNestedBraces) {
  Check({
      {"blanks and line breaks", "D{{ a b\t\r\n\x0c c }}", Found({"abc"})},
      {"high bytes kept", "D{{\xE4\x9F\xFF}}", Found({"\xE4\x9F\xFF"})},
      {"nested", "D{{x>>a{b}c}{{}}{}}", Found({"x>>a{b}c", "{}", ""})},
      {"crlf", "D\r\n{\r\n{a}\r\n{b}\r\n}\r\n", Found({"a", "b"})},
      {"lone cr", "\rD\r{\r{\ra\rb\r}\r\r\n{c}\r}\r", Found({"ab", "c"})},
  });
}

TEST_F(InstallScriptTest, SectionEndsAtWhatIsNotAnEntry) {
  Check({
      {"no enclosing block", "D{a>>b}{c>>d}", Found({})},
      {"text between entries", "D{{a}x{b}}", Found({"a"})},
      {"unclosed last entry", "D{{a}{b", Found({"a"})},
      {"unclosed nested entry", "D{{a}{b{c}", Found({"a"})},
      {"unclosed section", "D{{a}{b}", Found({"a", "b"})},
      {"ctrl-z inside", "D{{a}\x1a{b}}", Found({"a"})},
      {"ctrl-z before",
       "\x1a"
       "D{{a}}",
       kNotFound},
  });
}

TEST_F(InstallScriptTest, MissingOrUnreadableScriptIsNotFound) {
  EXPECT_FALSE(script.CheckOpen(kPath));
  EXPECT_FALSE(script.FindSection("D"));
  fs.AddFile(kPath, "D{{a}}");
  fs.FailMatching("Read", "InstSkript");
  EXPECT_TRUE(script.CheckOpen(kPath));
  EXPECT_FALSE(script.FindSection("D"));
}

TEST_F(InstallScriptTest, LeavesNoFileOpenBetweenSteps) {
  fs.AddFile(kPath, "D{{a}}");
  ASSERT_TRUE(script.CheckOpen(kPath));
  EXPECT_EQ(0, fs.open_files());
  ASSERT_TRUE(script.FindSection("D"));
  EXPECT_EQ(1, fs.open_files());
  EXPECT_TRUE(script.Close());
  EXPECT_EQ(0, fs.open_files());
  {
    CInstallScript other(fs);
    other.CheckOpen(kPath);
    other.FindSection("D");
  }
  EXPECT_EQ(0, fs.open_files());
}

namespace {

// Pieces that script writers' mistakes are made of: braces, both names and
// near misses, separators, whitespace of every kind, Ctrl-Z, a BOM.
// clang-format off
const char* const kPieces[] = {
    "{", "}", "Dateinstallation", "Texturskript", "dateinstallation", "a.dat", ">>", "M\\x",
    " ", "\t", "\n", "\r\n", "\r", "\v", "\x1A", "\xEF\xBB\xBF", "Text ur", "\xC3\xA4",
    "Dateinstallation{", "Texturskript\n{", "{a.dat >> M\\x}", "{t>>Textur{name(t)id(5)}}",
    "{a.dat >> M\\y}\n", "{x{y}z}", "}\n", "{}"};
// clang-format on

std::string Generate(std::mt19937& random) {
  std::uniform_int_distribution<std::size_t> length(0, 30);
  std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
  std::string script = random() % 4 ? "" : "\xEF\xBB\xBF";
  for (std::size_t n = length(random); n > 0; --n)
    script += kPieces[piece(random)];
  return script;
}

// The text's lines as an editor shows them: CR, LF and CR LF end a line,
// and a leading BOM takes no column.
std::vector<std::string> EditorLines(std::string text) {
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
    text.erase(0, 3);
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      i += text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
      lines.emplace_back();
    } else {
      lines.back() += text[i];
    }
  }
  return lines;
}

char At(const std::vector<std::string>& lines, ScriptPos pos) {
  if (pos.line < 1 || static_cast<std::size_t>(pos.line) > lines.size() || pos.column < 1 ||
      static_cast<std::size_t>(pos.column) > lines[pos.line - 1].size())
    return '\0';
  return lines[pos.line - 1][pos.column - 1];
}

}  // namespace

// The positions are worth having only if an editor finds there what the
// reader read: each name's first letter and each entry's brace, over many
// generated scripts; and an entry's raw text is its text with whitespace.
TEST_F(InstallScriptTest, PositionsPointWhereAnEditorShowsTheText) {
  std::mt19937 random(11);
  int entries = 0;
  for (int i = 0; i < 3000; ++i) {
    std::string bytes = Generate(random);
    fs.AddFile(kPath, bytes);
    std::string text;
    ASSERT_TRUE(ReadTextFile(fs, kPath, &text));
    std::vector<std::string> lines = EditorLines(text);
    ASSERT_TRUE(script.CheckOpen(kPath));
    for (const char* name : {"Dateinstallation", "Texturskript"}) {
      if (!script.FindSection(name))
        continue;
      ASSERT_EQ(name[0], At(lines, script.name_pos())) << bytes;
      for (ScriptEntry entry; script.NextEntry(&entry); ++entries) {
        ASSERT_EQ('{', At(lines, entry.pos)) << bytes;
        std::string stripped;
        for (char c : entry.raw)
          stripped += IsScriptBlank(c) ? "" : std::string(1, c);
        ASSERT_EQ(entry.text, stripped) << bytes;
      }
    }
  }
  // Fails if the generator stopped making scripts with entries.
  EXPECT_GT(entries, 100);
}
