// A console for tests: output is kept in strings, input comes from a list.
#ifndef PACKWRIGHT_TOOL_TEST_CONSOLE_H_
#define PACKWRIGHT_TOOL_TEST_CONSOLE_H_

#include <deque>
#include <string>

#include "platform/console.h"

class TestConsole : public Console {
 public:
  std::string out;
  std::string err;
  std::deque<std::string> input;
  bool terminal = false;
  int columns = 80;

  bool IsTerminal(ConsoleStream) override { return terminal; }
  bool InputIsTerminal() override { return terminal; }
  int Columns(ConsoleStream) override { return columns; }
  void Write(ConsoleStream stream, const std::string& text) override {
    (stream == ConsoleStream::kOut ? out : err) += text;
  }
  bool ReadLine(std::string* line) override {
    if (input.empty())
      return false;
    *line = input.front();
    input.pop_front();
    return true;
  }
};

#endif  // PACKWRIGHT_TOOL_TEST_CONSOLE_H_
