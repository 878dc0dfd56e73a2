#include "platform/console.h"

#include <cstdio>

bool ReadStandardInputLine(std::string* line) {
  line->clear();
  int c;
  while ((c = std::fgetc(stdin)) != EOF && c != '\n')
    *line += static_cast<char>(c);
  if (!line->empty() && line->back() == '\r')
    line->pop_back();
  return c != EOF || !line->empty();
}
