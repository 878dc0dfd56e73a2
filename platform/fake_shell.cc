#include "platform/fake_shell.h"

#include "platform/win_constants.h"
#include "res/string_table.h"

std::string FakeShell::LoadText(unsigned id) {
  const char* text = BuiltInString(id);
  return text ? text : "";
}

int FakeShell::ShowMessageBox(const std::string& caption, const std::string& text, unsigned type) {
  boxes.push_back(Box{caption, text, type});
  if (!answers.empty()) {
    int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  return (type & kMbTypeMask) == kMbYesNoCancel ? kIdYes : kIdOk;
}
