#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <vector>

#include "platform/console.h"
#include "platform/paths.h"
#include "platform/posix_syscalls.h"
#include "platform/shell.h"
#include "platform/system_posix.h"
#include "platform/win_constants.h"
#include "res/string_table.h"

namespace {

// A LANGID with the default sublanguage (SUBLANG_DEFAULT, 1).
std::uint16_t DefaultLangId(std::uint16_t primary) {
  return static_cast<std::uint16_t>((1 << 10) | primary);
}

bool StartsWith(const char* text, const char* prefix) {
  for (; *prefix; ++prefix, ++text) {
    if (*text != *prefix)
      return false;
  }
  return true;
}

// Reads one line of `in` into `*line`; false at the end of the input.
bool ReadLine(std::FILE* in, std::string* line) {
  line->clear();
  int c;
  while ((c = std::fgetc(in)) != EOF && c != '\n')
    *line += static_cast<char>(c);
  return c != EOF || !line->empty();
}

class ConsoleShell : public Shell {
 public:
  std::string ModulePath() override { return ReadModulePath(256); }

  std::uint16_t SystemLanguage() override {
    const char* locale = "";
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
      const char* value = getenv(name);
      if (value && *value) {
        locale = value;
        break;
      }
    }
    if (StartsWith(locale, "de"))
      return DefaultLangId(kLangGerman);
    if (StartsWith(locale, "fr"))
      return DefaultLangId(kLangFrench);
    if (StartsWith(locale, "pl"))
      return DefaultLangId(kLangPolish);
    return DefaultLangId(kLangEnglish);
  }

  std::string LoadText(unsigned id) override {
    const char* text = BuiltInString(id);
    return text ? text : "";
  }

  std::string Now() override {
    std::time_t now = std::time(nullptr);
    struct tm utc;
    char text[32];
    if (now == static_cast<std::time_t>(-1) || !gmtime_r(&now, &utc) ||
        std::strftime(text, sizeof(text), "%Y-%m-%d %H:%M:%S", &utc) == 0)
      return std::string();
    return text;
  }

  int ShowMessageBox(const std::string& caption, const std::string& text, unsigned type) override {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return ReadBoxAnswer(type, stdin, isatty(STDIN_FILENO) != 0);
  }
};

}  // namespace

std::string ReadModulePath(std::size_t initial_size) {
  std::vector<char> buf(initial_size > 0 ? initial_size : 1);
  for (;;) {
    ssize_t n = g_syscalls.readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0)
      return "";
    // A result that fills the buffer may have been cut short.
    if (static_cast<std::size_t>(n) < buf.size())
      return FromPosixPath(std::string(buf.data(), static_cast<std::size_t>(n)));
    buf.resize(buf.size() * 2);
  }
}

int ReadBoxAnswer(unsigned type, std::FILE* in, bool terminal) {
  if ((type & kMbTypeMask) != kMbYesNoCancel)
    return kIdOk;
  std::string line;
  while (terminal) {
    std::fprintf(stderr, "%s", kAnswerPrompt);
    std::fflush(stderr);
    if (!ReadLine(in, &line))
      break;
    if (int answer = AnswerOfLine(line))
      return answer;
  }
  return kIdYes;
}

Shell& PosixShell() {
  static ConsoleShell shell;
  return shell;
}
