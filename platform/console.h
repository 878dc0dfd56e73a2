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

  // Writes UTF-8 text, as the engine's texts are. A Windows console is
  // written in UTF-16, so that every letter shows; a file or pipe gets
  // UTF-8 on every system.
  virtual void Write(ConsoleStream stream, const std::string& text) = 0;
  // The same; kept for callers that name the encoding.
  void WriteUtf8(ConsoleStream stream, const std::string& text) { Write(stream, text); }

  // Reads one line of standard input, without its line end. False at the
  // end of the input.
  virtual bool ReadLine(std::string* line) = 0;
};

// Reads one line of standard input into `*line`, without its LF or CR LF.
// False at the end of the input. The system consoles' ReadLine.
bool ReadStandardInputLine(std::string* line);

// The arguments after the program's name, in UTF-8 (Windows: read as
// UTF-16, so that a folder named in letters of no code page arrives whole).
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// The running program's console. Lives as long as the program.
Console& SystemConsole();

struct DirEntry {
  std::string name;
  bool dir = false;
};

// The entries of directory `path` (Windows-style), without "." and "..",
// in no particular order. False when it cannot be listed.
bool ListDirectory(const std::string& path, std::vector<DirEntry>* entries);

#endif  // PACKWRIGHT_PLATFORM_CONSOLE_H_
