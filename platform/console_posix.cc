#include <dirent.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "platform/code_page.h"
#include "platform/console.h"
#include "platform/paths.h"
#include "platform/posix_syscalls.h"

namespace {

std::FILE* StreamFile(ConsoleStream stream) {
  return stream == ConsoleStream::kOut ? stdout : stderr;
}

class PosixConsole : public Console {
 public:
  bool IsTerminal(ConsoleStream stream) override { return isatty(fileno(StreamFile(stream))) != 0; }
  bool InputIsTerminal() override { return isatty(STDIN_FILENO) != 0; }
  int Columns(ConsoleStream stream) override {
    struct winsize size;
    if (ioctl(fileno(StreamFile(stream)), TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
      return size.ws_col;
    return 80;
  }

  void Write(ConsoleStream stream, const std::string& text) override {
    // Errors in the error stream's own output cannot be reported anywhere.
    std::fwrite(text.data(), 1, text.size(), StreamFile(stream));
    std::fflush(StreamFile(stream));
  }
  void WriteUtf8(ConsoleStream stream, const std::string& text) override { Write(stream, text); }

  bool ReadLine(std::string* line) override { return ReadStandardInputLine(line); }
};

}  // namespace

Console& SystemConsole() {
  static PosixConsole console;
  return console;
}

std::string SystemTextToUtf8(const std::string& text) {
  return text;
}

std::string ScriptTextToUtf8(const std::string& text) {
  return Cp1252ToUtf8(text);
}

std::string Utf8ToSystemText(const std::string& text) {
  return text;
}

bool ListDirectory(const std::string& path, std::vector<DirEntry>* entries) {
  std::string native = ToPosixPath(path);
  DIR* d = g_syscalls.opendir(native.c_str());
  if (!d)
    return false;
  entries->clear();
  while (struct dirent* entry = g_syscalls.readdir(d)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..")
      continue;
    struct stat st;
    bool dir = g_syscalls.stat((native + "/" + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    entries->push_back({name, dir});
  }
  g_syscalls.closedir(d);
  return true;
}
