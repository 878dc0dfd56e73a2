#include "platform/test_dir.h"

const char kTestFindableChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-";

std::string TestFindCommand(const std::string& text) {
  // Not -xdev: /tmp may be a file system of its own, and an escape could
  // land there.
  return "/usr/bin/find / \\( -path /proc -o -path /sys -o -path /dev \\) -prune -o -name '*" +
         text + "*' -print 2>/dev/null";
}

void TestSplitLines(const std::string& output, std::vector<std::string>* lines) {
  lines->clear();
  std::string::size_type start = 0;
  for (std::string::size_type end; (end = output.find('\n', start)) != std::string::npos;
       start = end + 1)
    lines->push_back(output.substr(start, end - start));
}
