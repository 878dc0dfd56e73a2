// The shell that the engine sees when the tool runs it: the system's own,
// except that the program's path is PACKAGE_DIR\Packwright.exe, so that the
// engine takes PACKAGE_DIR as the package folder, and that message boxes go
// to the console (or, in a dry run, only into a list).
#ifndef PACKWRIGHT_TOOL_TOOL_SHELL_H_
#define PACKWRIGHT_TOOL_TOOL_SHELL_H_

#include <functional>
#include <string>
#include <vector>

#include "platform/console.h"
#include "platform/shell.h"
#include "tool/options.h"

class ToolShell : public Shell {
 public:
  struct Box {
    std::string text;
    unsigned type;
    int answer;
  };

  // `package_dir` is a full Windows-style path without trailing backslash.
  // In a dry run nothing is written or read on the console and kAsk
  // answers Yes.
  ToolShell(Shell& system, Console& console, const std::string& package_dir, NewerAnswer newer,
            bool dry_run);

  std::string ModulePath() override;
  std::uint16_t SystemLanguage() override;
  std::string LoadText(unsigned id) override;
  std::string Now() override { return system_.Now(); }
  // A Yes/No/Cancel box is the newer-file question: answered by the
  // NewerAnswer, asked on the terminal for kAsk (Yes at the end of the
  // input). Every other box is written to the error stream and gets OK.
  int ShowMessageBox(const std::string& caption, const std::string& text, unsigned type) override;

  // Every box shown, in order, with the button that answered it.
  const std::vector<Box>& boxes() const { return boxes_; }

  // Called before anything is written to the console, so that a progress
  // line can make room.
  std::function<void()> before_output;
  // Called after a box that is not a question was written to the console.
  std::function<void()> after_message;
  // Called with each newer-file question and its answer.
  std::function<void(const std::string& question, int answer)> on_question;

 private:
  int Answer(const std::string& question);

  Shell& system_;
  Console& console_;
  std::string module_path_;
  NewerAnswer newer_;
  bool dry_run_;
  std::vector<Box> boxes_;
};

#endif  // PACKWRIGHT_TOOL_TOOL_SHELL_H_
