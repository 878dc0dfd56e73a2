#include "tool/positioned_script.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/install_script.h"
#include "platform/fake_platform.h"

namespace {

const char* const kSections[] = {"Dateinstallation", "Texturskript"};

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
  std::string script;
  for (std::size_t n = length(random); n > 0; --n)
    script += kPieces[piece(random)];
  return script;
}

// Each section's entries as CInstallScript delivers them; "-" when the
// section is not found.
std::vector<std::string> EngineEntries(const std::string& bytes, const std::string& name) {
  FakeFileSystem files;
  files.AddFile("C:\\Paket\\InstSkript.txt", bytes);
  CInstallScript script(files);
  script.CheckOpen("C:\\Paket\\InstSkript.txt");
  if (!script.FindSection(name))
    return {"-"};
  std::vector<std::string> entries;
  std::string entry;
  while (script.NextEntry(&entry))
    entries.push_back(entry);
  return entries;
}

std::vector<std::string> PositionedEntries(const std::string& bytes, const std::string& name) {
  FakeFileSystem files;
  files.AddFile("C:\\Paket\\InstSkript.txt", bytes);
  PositionedScript script;
  EXPECT_TRUE(script.Load(files, "C:\\Paket\\InstSkript.txt"));
  ScriptSection section = script.FindSection(name);
  if (!section.found)
    return {"-"};
  std::vector<std::string> entries;
  for (const ScriptEntry& entry : section.entries)
    entries.push_back(entry.text);
  return entries;
}

// The positions and raw texts are only worth having if the entries are the
// engine's own: held to each other over many generated scripts.
TEST(PositionedScriptTest, SeesTheEntriesThatCInstallScriptDelivers) {
  std::mt19937 random(11);
  int with_entries = 0;
  for (int i = 0; i < 3000; ++i) {
    std::string bytes = Generate(random);
    for (const char* name : kSections) {
      std::vector<std::string> engine = EngineEntries(bytes, name);
      ASSERT_EQ(engine, PositionedEntries(bytes, name)) << bytes;
      with_entries += engine.size() > 0 && engine[0] != "-";
    }
  }
  // Fails if the generator stopped making scripts with entries.
  EXPECT_GT(with_entries, 100);
}

TEST(PositionedScriptTest, KeepsLinesColumnsAndRawText) {
  PositionedScript script;
  script.LoadText("{remark}\nDateinstallation\n{\n  {Mast 1.dat >> M\\a}\n  Note\n}\n");
  ScriptSection section = script.FindSection("Dateinstallation");
  ASSERT_TRUE(section.found);
  EXPECT_EQ(2, section.name_pos.line);
  ASSERT_EQ(1u, section.entries.size());
  EXPECT_EQ("Mast1.dat>>M\\a", section.entries[0].text);
  EXPECT_EQ("Mast 1.dat >> M\\a", section.entries[0].raw);
  EXPECT_EQ(4, section.entries[0].pos.line);
  EXPECT_EQ(3, section.entries[0].pos.column);
  EXPECT_EQ(ScriptSection::End::kStray, section.end);
  EXPECT_EQ(5, section.end_pos.line);
}

}  // namespace
