// A shell whose message boxes are recorded and answered from a script, and
// whose texts come from the portable string table.
#ifndef PACKWRIGHT_PLATFORM_FAKE_SHELL_H_
#define PACKWRIGHT_PLATFORM_FAKE_SHELL_H_

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/shell.h"

class FakeShell : public Shell {
 public:
  struct Box {
    std::string caption;
    std::string text;
    unsigned type;
  };

  std::string module_path = "C:\\Paket\\Packwright.exe";
  std::uint16_t language = 0x0407;
  // Answers for the next boxes, in order. When none is left a box returns
  // kIdOk, or kIdYes for a Yes/No/Cancel question.
  std::deque<int> answers;
  std::vector<Box> boxes;
  std::string now = "2026-12-09 13:35:07";
  // Calls of HandlePendingMessages, and what each call runs (a test's
  // stand-in for a window's handler), when set.
  int pending_calls = 0;
  void (*on_pending)(FakeShell& shell) = nullptr;

  std::string ModulePath() override { return module_path; }
  std::uint16_t SystemLanguage() override { return language; }
  std::string LoadText(unsigned id) override;
  std::string Now() override { return now; }
  int ShowMessageBox(const std::string& caption, const std::string& text, unsigned type) override;
  void HandlePendingMessages() override {
    ++pending_calls;
    if (on_pending)
      on_pending(*this);
  }
};

#endif  // PACKWRIGHT_PLATFORM_FAKE_SHELL_H_
