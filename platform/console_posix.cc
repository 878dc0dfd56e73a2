#include <dirent.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

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

  bool ReadLine(std::string* line) override { return ReadStandardInputLine(line); }
};

}  // namespace

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

Console& SystemConsole() {
  static PosixConsole console;
  return console;
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
