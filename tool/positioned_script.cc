#include "tool/positioned_script.h"

#include <algorithm>

#include "engine/install_script.h"
#include "platform/text_file.h"

// Walks the significant characters with CInstallScript's primitives: the
// end of the input is noticed only by a read or peek that finds nothing.
struct PositionedScript::Cursor {
  const std::vector<Significant>& chars;
  std::size_t next = 0;
  bool eof = false;

  bool Peek(Significant* out) {
    if (next < chars.size()) {
      *out = chars[next];
      return true;
    }
    eof = true;
    return false;
  }
  bool Read(Significant* out) {
    if (!Peek(out))
      return false;
    ++next;
    return true;
  }
  void SkipBlock() {
    int depth = 0;
    Significant s;
    while (Read(&s)) {
      depth += s.c == '{' ? 1 : s.c == '}' ? -1 : 0;
      if (depth < 1)
        return;
    }
  }
  // The next top-level word; `*at` is its first character's offset.
  std::string ReadWord(std::size_t* at) {
    std::string word;
    if (eof)
      return word;
    Significant s;
    if (Peek(&s) && IsScriptBrace(s.c))
      SkipBlock();
    while (!eof && Peek(&s) && !IsScriptBrace(s.c)) {
      if (word.empty())
        *at = s.offset;
      word.push_back(s.c);
      ++next;
    }
    return word;
  }
};

bool PositionedScript::Load(FileSystem& files, const std::string& path) {
  std::string err;
  std::unique_ptr<InputFile> file = files.OpenRead(path, &err);
  if (!file)
    return false;
  TextReader reader(std::move(file));
  std::string text;
  char c;
  while (reader.Get(&c))
    text.push_back(c);
  if (reader.failed())
    return false;
  LoadText(text);
  cut_by_ctrl_z_ = reader.CutShortByCtrlZ();
  ctrl_z_pos_ = PosOf(text_.size());
  return true;
}

void PositionedScript::LoadText(const std::string& text) {
  text_ = text;
  significant_.clear();
  line_starts_.assign(1, 0);
  for (std::size_t i = 0; i < text_.size(); ++i) {
    if (text_[i] == '\n')
      line_starts_.push_back(i + 1);
    else if (!IsScriptBlank(text_[i]))
      significant_.push_back({text_[i], i});
  }
  cut_by_ctrl_z_ = false;
}

ScriptPos PositionedScript::PosOf(std::size_t offset) const {
  auto after = std::upper_bound(line_starts_.begin(), line_starts_.end(), offset);
  std::size_t line = static_cast<std::size_t>(after - line_starts_.begin());
  return {static_cast<int>(line), static_cast<int>(offset - line_starts_[line - 1] + 1)};
}

std::vector<ScriptWord> PositionedScript::TopLevelWords() const {
  std::vector<ScriptWord> words;
  Cursor cursor{significant_};
  do {
    std::size_t at = 0;
    std::string word = cursor.ReadWord(&at);
    if (!word.empty())
      words.push_back({word, PosOf(at)});
  } while (!cursor.eof);
  return words;
}

ScriptSection PositionedScript::FindSection(const std::string& name) const {
  ScriptSection section;
  Cursor cursor{significant_};
  std::size_t at = 0;
  for (std::string word = cursor.ReadWord(&at); word != name; word = cursor.ReadWord(&at)) {
    if (cursor.eof)
      return section;
  }
  section.found = true;
  section.name_pos = PosOf(at);
  Significant s;
  if (cursor.Read(&s)) {
    section.opening = s.c;
    section.opening_pos = PosOf(s.offset);
  }
  for (;;) {
    if (!cursor.Read(&s)) {
      section.end = ScriptSection::End::kEndOfInput;
      return section;
    }
    if (s.c != '{') {
      section.end = s.c == '}' ? ScriptSection::End::kClosed : ScriptSection::End::kStray;
      section.end_pos = PosOf(s.offset);
      return section;
    }
    ScriptEntry entry;
    entry.pos = PosOf(s.offset);
    std::size_t open = s.offset;
    int depth = 1;
    while (depth > 0 && cursor.Read(&s)) {
      depth += s.c == '{' ? 1 : s.c == '}' ? -1 : 0;
      if (depth > 0)
        entry.text.push_back(s.c);
    }
    if (depth > 0) {
      section.end = ScriptSection::End::kUnclosedEntry;
      section.end_pos = entry.pos;
      return section;
    }
    entry.raw = text_.substr(open + 1, s.offset - open - 1);
    section.entries.push_back(entry);
  }
}
