// The shell that the engine sees when the tool runs it: the system's own,
// except that message boxes go to the console (or, in a dry run, nowhere).
// What the run did the tool learns from the run's events, not from here.
#ifndef PACKWRIGHT_TOOL_TOOL_SHELL_H_
#define PACKWRIGHT_TOOL_TOOL_SHELL_H_

#include <functional>
#include <string>

#include "platform/console.h"
#include "platform/shell.h"
#include "tool/options.h"

class ToolShell : public Shell {
 public:
  // In a dry run nothing is written or read on the console and kAsk
  // answers Yes.
  ToolShell(Shell& system, Console& console, NewerAnswer newer, bool dry_run);

  std::string ModulePath() override;
  std::uint16_t SystemLanguage() override;
  std::string LoadText(unsigned id) override;
  std::string Now() override { return system_.Now(); }
  // Writes `text` to the error stream. A Yes/No/Cancel box offers those
  // buttons on the terminal: answered by the NewerAnswer, or asked for
  // kAsk (Yes at the end of the input); every other box gets OK.
  int ShowMessageBox(const std::string& caption, const std::string& text, unsigned type) override;

  // Called before anything is written to the console, so that a progress
  // line can make room.
  std::function<void()> before_output;

 private:
  int Answer();

  Shell& system_;
  Console& console_;
  NewerAnswer newer_;
  bool dry_run_;
};

#endif  // PACKWRIGHT_TOOL_TOOL_SHELL_H_
