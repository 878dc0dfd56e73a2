// CInstallScript reads InstSkript.txt: named sections, each a name and a
// brace block of entries, each entry a brace block of text. Every blank, tab
// and line break is dropped wherever it stands; only braces divide the text.
// The reader knows nothing of what an entry means and shows no message.
#ifndef PACKWRIGHT_ENGINE_INSTALL_SCRIPT_H_
#define PACKWRIGHT_ENGINE_INSTALL_SCRIPT_H_

#include <memory>
#include <string>

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

  // Closes the file, if open. Always true.
  bool Close();

  // True when the last FindSection could not reopen the script, or a read
  // error has ended its input early since; a missing section or NextEntry's
  // false then does not mean the script lacks them.
  bool ReadFailed() const { return reopen_failed_ || (stream && stream->failed()); }

 private:
  bool ReadSignificant(char* c);
  bool PeekSignificant(char* c);
  bool PeekBrace();
  void SkipBlock();
  std::string ReadToken();
  std::string ReadWord();

  FileSystem& files_;
  std::unique_ptr<TextReader> stream;
  std::string scriptPath;
  bool eof_ = false;
  bool reopen_failed_ = false;
};

#endif  // PACKWRIGHT_ENGINE_INSTALL_SCRIPT_H_
