#include "tool/tool_shell.h"

#include "platform/win_constants.h"

namespace {

const char* AnswerName(int answer) {
  return answer == kIdYes ? "yes (keep)" : answer == kIdNo ? "no (replace)" : "cancel";
}

}  // namespace

ToolShell::ToolShell(Shell& system, Console& console, NewerAnswer newer, bool dry_run)
    : system_(system), console_(console), newer_(newer), dry_run_(dry_run) {}

std::string ToolShell::ModulePath() {
  return system_.ModulePath();
}

std::uint16_t ToolShell::SystemLanguage() {
  return system_.SystemLanguage();
}

std::string ToolShell::LoadText(unsigned id) {
  return system_.LoadText(id);
}

int ToolShell::ShowMessageBox(const std::string&, const std::string& text, unsigned type) {
  if (!dry_run_) {
    if (before_output)
      before_output();
    console_.Write(ConsoleStream::kErr, text + "\n");
  }
  return (type & kMbTypeMask) == kMbYesNoCancel ? Answer() : kIdOk;
}

int ToolShell::Answer() {
  if (dry_run_ || newer_ != NewerAnswer::kAsk) {
    int answer = newer_ == NewerAnswer::kReplace ? kIdNo : kIdYes;
    if (!dry_run_)
      console_.Write(ConsoleStream::kErr, std::string("-> ") + AnswerName(answer) + "\n");
    return answer;
  }
  std::string line;
  for (;;) {
    console_.Write(ConsoleStream::kErr, kAnswerPrompt);
    if (!console_.ReadLine(&line))
      return kIdYes;  // The end of the input keeps the file, the safe side.
    if (int answer = AnswerOfLine(line))
      return answer;
  }
}
