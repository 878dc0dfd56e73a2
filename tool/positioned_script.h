// A second reader of InstSkript.txt that keeps where everything stands:
// the line and column of every section name, entry and the character that
// ended a section, and each entry's text as written. It reads the script by
// the very rules of CInstallScript (a property test and the script fuzzer
// hold the two to the same entries), so what it reports is what Packwright
// will see. Lines and columns count from 1; a column counts bytes.
#ifndef PACKWRIGHT_TOOL_POSITIONED_SCRIPT_H_
#define PACKWRIGHT_TOOL_POSITIONED_SCRIPT_H_

#include <cstddef>
#include <string>
#include <vector>

#include "platform/file_system.h"

struct ScriptPos {
  int line = 0;
  int column = 0;
};

struct ScriptEntry {
  // The text as CInstallScript delivers it: whitespace dropped.
  std::string text;
  // The text between the entry's braces as written.
  std::string raw;
  // The entry's opening brace.
  ScriptPos pos;
};

struct ScriptSection {
  // How the section's list of entries ended.
  enum class End { kClosed, kStray, kUnclosedEntry, kEndOfInput };

  bool found = false;
  ScriptPos name_pos;
  // The character after the name, taken as the block's "{" unseen; '\0'
  // at the end of the input.
  char opening = '\0';
  ScriptPos opening_pos;
  std::vector<ScriptEntry> entries;
  End end = End::kEndOfInput;
  // The character that ended the section (kClosed, kStray) or the brace of
  // the unclosed entry.
  ScriptPos end_pos;
};

struct ScriptWord {
  std::string text;
  ScriptPos pos;
};

class PositionedScript {
 public:
  // Reads the file in text mode, as the engine does. False when it does not
  // open or a read error occurs.
  bool Load(FileSystem& files, const std::string& path);
  // Reads `text`, given as the bytes that text mode delivers.
  void LoadText(const std::string& text);

  // The first section called `name`, as CInstallScript's FindSection and
  // NextEntry find it.
  ScriptSection FindSection(const std::string& name) const;
  // Every top-level word in order: what FindSection compares with a name.
  std::vector<ScriptWord> TopLevelWords() const;

  // The text as read, up to a 0x1A.
  const std::string& text() const { return text_; }
  // True when a 0x1A ended the input before more than whitespace; then
  // ctrl_z_pos() is where it stands.
  bool cut_by_ctrl_z() const { return cut_by_ctrl_z_; }
  ScriptPos ctrl_z_pos() const { return ctrl_z_pos_; }
  // The position of byte `offset` of text().
  ScriptPos PosOf(std::size_t offset) const;

 private:
  struct Significant {
    char c;
    std::size_t offset;
  };
  struct Cursor;

  std::string text_;
  std::vector<Significant> significant_;
  std::vector<std::size_t> line_starts_;
  bool cut_by_ctrl_z_ = false;
  ScriptPos ctrl_z_pos_;
};

#endif  // PACKWRIGHT_TOOL_POSITIONED_SCRIPT_H_
