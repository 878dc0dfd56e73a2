#include "platform/console.h"

#include <cstdio>
#include <cstring>

#include "platform/win_constants.h"

const char kAnswerPrompt[] = "[y/n/c] ";

int AnswerOfLine(const std::string& line) {
  // strchr would find a NUL byte as the end of its set.
  char letter = line.empty() ? '\0' : line[0];
  if (letter == '\0')
    return 0;
  if (std::strchr("yYjJoOtT", letter))
    return kIdYes;
  if (std::strchr("nN", letter))
    return kIdNo;
  if (std::strchr("cCaA", letter))
    return kIdCancel;
  return 0;
}

bool ReadStandardInputLine(std::string* line) {
  line->clear();
  int c;
  while ((c = std::fgetc(stdin)) != EOF && c != '\n')
    *line += static_cast<char>(c);
  if (!line->empty() && line->back() == '\r')
    line->pop_back();
  return c != EOF || !line->empty();
}
