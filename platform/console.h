// The standard streams of a command-line program, and the few system
// services that only such a program needs.
#ifndef PACKWRIGHT_PLATFORM_CONSOLE_H_
#define PACKWRIGHT_PLATFORM_CONSOLE_H_

#include <string>
#include <vector>

enum class ConsoleStream { kOut, kErr };

class Console {
 public:
  virtual ~Console() = default;

  // True when the stream is a terminal (on Windows, a console window).
  virtual bool IsTerminal(ConsoleStream stream) = 0;
  virtual bool InputIsTerminal() = 0;
  // The width of the terminal that `stream` writes to, in characters; 80
  // when it is no terminal or the width is not known.
  virtual int Columns(ConsoleStream) { return 80; }

  // Writes narrow text of the system's code page, as the engine's texts
  // are (ANSI on Windows, UTF-8 on POSIX). A Windows console is written in
  // UTF-16, so that every letter of the code page shows; a file or pipe
  // gets the bytes as they are.
  virtual void Write(ConsoleStream stream, const std::string& text) = 0;

  // Writes UTF-8 text: a file or pipe gets UTF-8 on every system.
  virtual void WriteUtf8(ConsoleStream stream, const std::string& text) = 0;

  // Reads one line of standard input, without its line end. False at the
  // end of the input.
  virtual bool ReadLine(std::string* line) = 0;
};

// Reads one line of standard input into `*line`, without its LF or CR LF.
// False at the end of the input. The system consoles' ReadLine.
bool ReadStandardInputLine(std::string* line);

// The running program's console. Lives as long as the program.
Console& SystemConsole();

// Narrow text of the system's code page as UTF-8 (unchanged on POSIX).
std::string SystemTextToUtf8(const std::string& text);
// A script's bytes as UTF-8, read in the code page that scripts are
// written in: the system's ANSI code page on Windows, 1252 elsewhere.
std::string ScriptTextToUtf8(const std::string& text);

// UTF-8 as narrow text of the system's code page (unchanged on POSIX); a
// character the code page lacks comes out as the system's stand-in for it.
std::string Utf8ToSystemText(const std::string& text);

struct DirEntry {
  std::string name;
  bool dir = false;
};

// The entries of directory `path` (Windows-style), without "." and "..",
// in no particular order. False when it cannot be listed.
bool ListDirectory(const std::string& path, std::vector<DirEntry>* entries);

#endif  // PACKWRIGHT_PLATFORM_CONSOLE_H_
