// What Packwright needs of the running system apart from files and the
// registry: its own location, the system language, the string table and
// message boxes.
#ifndef PACKWRIGHT_PLATFORM_SHELL_H_
#define PACKWRIGHT_PLATFORM_SHELL_H_

#include <cstdint>
#include <string>

class Shell {
 public:
  virtual ~Shell() = default;

  // Full path of the running program in UTF-8, however long
  // ("Z:\pkg\Packwright.exe" on POSIX as well). Empty if it cannot be had.
  virtual std::string ModulePath() = 0;

  // The system default language id (a LANGID: primary language in the low
  // ten bits).
  virtual std::uint16_t SystemLanguage() = 0;

  // Text of string-table entry `id` in UTF-8, on every system; empty if
  // there is none.
  virtual std::string LoadText(unsigned id) = 0;

  // The current time, UTC, as "2026-12-09 13:35:07"; empty if the clock
  // cannot be read.
  virtual std::string Now() = 0;

  // Shows a modal message box and returns the button pressed (kIdOk, ...).
  virtual int ShowMessageBox(const std::string& caption, const std::string& text,
                             unsigned type) = 0;

  // Lets the program's windows handle the messages waiting for them (paint,
  // move, a question whether they still answer), so that a long run on the
  // GUI thread keeps its window alive. Called between a run's entries;
  // where there are no windows there is nothing to do.
  virtual void HandlePendingMessages() {}
};

#endif  // PACKWRIGHT_PLATFORM_SHELL_H_
