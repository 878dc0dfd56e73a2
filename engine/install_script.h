// CInstallScript reads InstSkript.txt: named sections, each a name and a
// brace block of entries, each entry a brace block of text. Every blank, tab
// and line break is dropped wherever it stands; only braces divide the text.
// The reader knows nothing of what an entry means and shows no message.
//
// It keeps where everything stands as it reads, for those who explain a
// script to its author: lines and columns count from 1; CR, LF and CR LF
// each end a line; a column counts bytes, those of a UTF-8 byte-order mark
// at the start of the file excepted.
#ifndef PACKWRIGHT_ENGINE_INSTALL_SCRIPT_H_
#define PACKWRIGHT_ENGINE_INSTALL_SCRIPT_H_

#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/text_file.h"

// The characters the reader drops wherever they stand: blank, tab, line
// break, vertical tab, form feed.
inline bool IsScriptBlank(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

// The only characters that divide the script's text.
inline bool IsScriptBrace(char c) {
  return c == '{' || c == '}';
}

// A place in the script; line 0 is no place.
struct ScriptPos {
  int line = 0;
  int column = 0;
};

// Follows the position through text as text mode delivers it.
class ScriptPosCounter {
 public:
  // The position of the character to come.
  ScriptPos pos() const { return pos_; }
  // Steps over `c`.
  void Advance(char c);

 private:
  ScriptPos pos_{1, 1};
  std::size_t offset_ = 0;
  std::size_t bom_bytes_ = 0;
  char last_ = '\0';
};

// The position of byte `offset` of `text`, read from its start.
ScriptPos PosInText(const std::string& text, std::size_t offset);

struct ScriptEntry {
  // The text as NextEntry delivers it: whitespace dropped.
  std::string text;
  // The text between the entry's braces as written.
  std::string raw;
  // The entry's opening brace.
  ScriptPos pos;
};

struct ScriptWord {
  std::string text;
  ScriptPos pos;
};

// How the current section's list of entries ended.
enum class SectionEnd { kClosed, kStray, kUnclosedEntry, kEndOfInput };

class CInstallScript {
 public:
  explicit CInstallScript(FileSystem& files);
  ~CInstallScript();

  // Remembers `path` and reports whether the file opens for reading. Leaves
  // no file open.
  bool CheckOpen(const std::string& path);

  // Reopens the script from its start and looks for the first top-level word
  // equal to `name` (byte for byte). True when found: the reader then stands
  // just inside the section's block, after the character that follows the
  // name. False when the file does not open or no word matches.
  bool FindSection(const std::string& name);

  // Reads the next entry of the current section into `*text` (whitespace
  // removed, nested braces kept). False when the section has ended, or the
  // entry is not closed before the end of the file; `*text` is then to be
  // ignored.
  bool NextEntry(std::string* text);
  // The same, with the entry's raw text and position.
  bool NextEntry(ScriptEntry* entry);

  // Closes the file, if open. Always true.
  bool Close();

  // True when the last FindSection could not reopen the script, or a read
  // error has ended its input early since; a missing section or NextEntry's
  // false then does not mean the script lacks them.
  bool ReadFailed() const { return reopen_failed_ || (stream && stream->failed()); }

  // What the last successful FindSection passed: where the name stands, the
  // character taken as the block's "{" ('\0' at the end of the input) and
  // where that stands.
  ScriptPos name_pos() const { return name_pos_; }
  char opening() const { return opening_; }
  ScriptPos opening_pos() const { return opening_pos_; }
  // Once NextEntry has returned false: how the section ended, and where (the
  // character that ended it, or the brace of the unclosed entry).
  SectionEnd section_end() const { return end_; }
  ScriptPos end_pos() const { return end_pos_; }

  // Reopens the script and reads every top-level word, in order: what
  // FindSection compares with a name. False when the file does not open or
  // a read error ends it early. Afterwards the reader stands at the end of
  // the input, and CutShortByCtrlZ and pos tell about it.
  bool ReadTopLevelWords(std::vector<ScriptWord>* words);
  // True when a 0x1A ended the input read so far before more than whitespace.
  bool CutShortByCtrlZ() { return stream && stream->CutShortByCtrlZ(); }
  // The position of the next character to be read.
  ScriptPos pos() const { return counter_.pos(); }

 private:
  bool Reopen();
  bool Take(char* c);
  bool ReadSignificant(char* c);
  bool PeekSignificant(char* c);
  bool PeekBrace();
  void SkipBlock();
  std::string ReadToken(ScriptPos* at);
  std::string ReadWord(ScriptPos* at);
  bool ReadEntry(std::string* text, std::string* raw, ScriptPos* pos);

  FileSystem& files_;
  std::unique_ptr<TextReader> stream;
  std::string scriptPath;
  bool eof_ = false;
  bool reopen_failed_ = false;
  ScriptPosCounter counter_;
  // Where Take also puts what it reads, if anywhere.
  std::string* capture_ = nullptr;
  ScriptPos name_pos_;
  char opening_ = '\0';
  ScriptPos opening_pos_;
  SectionEnd end_ = SectionEnd::kEndOfInput;
  ScriptPos end_pos_;
};

#endif  // PACKWRIGHT_ENGINE_INSTALL_SCRIPT_H_
