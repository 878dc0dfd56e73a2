// Text-mode reading and writing as the Windows C runtime does it, on every
// platform: Packwright's script and Kestrova's catalogue are Windows files.
#ifndef PACKWRIGHT_PLATFORM_TEXT_FILE_H_
#define PACKWRIGHT_PLATFORM_TEXT_FILE_H_

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "platform/file_system.h"

// Reads an InputFile through a buffer, with CR LF read as LF and a byte 0x1A
// ending the input. A read error also ends the input and is remembered.
class TextReader {
 public:
  explicit TextReader(std::unique_ptr<InputFile> file);

  // Stores the next character in `*c`; false at the end of the input.
  bool Get(char* c);
  // Like Get, but leaves the character to be read again.
  bool Peek(char* c);
  // Stores in `*piece` the next piece of the input, up to the 0x1A that
  // ends it, with line ends left as the file has them: for readers to which
  // CR and LF alike are whitespace. The piece may be empty and stays valid
  // until the next call. False at the end of the input. Not to be mixed
  // with Get or Peek.
  bool ReadPiece(std::string_view* piece);

  // True when a read error ended the input.
  bool failed() const { return failed_; }
  // True when a 0x1A ended the input while anything but whitespace followed
  // it; old editors end a file with 0x1A and perhaps a line break.
  bool CutShortByCtrlZ();

 private:
  bool Fill();
  bool RawGet(char* c);

  std::unique_ptr<InputFile> file_;
  std::string buf_;
  std::size_t pos_ = 0;
  bool at_end_ = false;
  bool failed_ = false;
  bool ctrl_z_ = false;
  bool has_peeked_ = false;
  char peeked_ = 0;
};

// Writes to an OutputFile through a buffer, with every LF written as CR LF.
// Errors are remembered; Finish() reports whether everything reached the
// file (buffer written, flushed to disk and closed).
class TextWriter {
 public:
  explicit TextWriter(std::unique_ptr<OutputFile> file);
  ~TextWriter();

  void Write(std::string_view text);
  // Writes what is buffered, flushes it to disk and closes the file. True
  // only if every write, the flush and the close succeeded.
  bool Finish();

 private:
  static constexpr std::size_t kSize = 64 * 1024;

  // Most writes are a short line that fits in the buffer.
  void Put(const char* data, std::size_t size) {
    if (size > kSize - used_)
      return PutAcross(data, size);
    std::memcpy(buf_.get() + used_, data, size);
    used_ += size;
  }
  void PutAcross(const char* data, std::size_t size);
  void Drain();

  std::unique_ptr<OutputFile> file_;
  std::unique_ptr<char[]> buf_;
  std::size_t used_ = 0;
  bool ok_ = true;
};

// Reads the whole file at `path` in text mode into `*text`. False if it does
// not open or a read error occurs.
bool ReadTextFile(FileSystem& files, const std::string& path, std::string* text);

#endif  // PACKWRIGHT_PLATFORM_TEXT_FILE_H_
