#include "tool/json.h"

#include <cstdio>

#include "platform/code_page.h"
#include "platform/console.h"

namespace {

// The length of the valid UTF-8 sequence at `i`; 0 if none starts there.
std::size_t SequenceAt(const std::string& text, std::size_t i) {
  unsigned char lead = static_cast<unsigned char>(text[i]);
  if (lead < 0x80)
    return 1;
  std::size_t n = lead >= 0xC2 && lead < 0xE0   ? 2
                  : lead >= 0xE0 && lead < 0xF0 ? 3
                  : lead >= 0xF0 && lead < 0xF5 ? 4
                                                : 0;
  if (n == 0 || i + n > text.size())
    return 0;
  for (std::size_t k = 1; k < n; ++k) {
    if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
      return 0;
  }
  return n;
}

}  // namespace

std::string JsonQuote(const std::string& utf8) {
  std::string out = "\"";
  for (std::size_t i = 0; i < utf8.size();) {
    char c = utf8[i];
    unsigned char byte = static_cast<unsigned char>(c);
    std::size_t n = SequenceAt(utf8, i);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof(escaped), "\\u%04x", byte);
      out += escaped;
    } else if (n == 0) {
      out += AnsiToUtf8(std::string(1, c));
      n = 1;
    } else {
      out.append(utf8, i, n);
    }
    i += n == 0 ? 1 : n;
  }
  return out + "\"";
}

std::string JsonHead(const ToolOptions& options) {
  return "{\"version\": " + JsonQuote(kToolVersion) + ", \"path\": " + JsonQuote(options.package);
}

std::string JsonCannotRun(const ToolOptions& options, const std::string& message) {
  return JsonHead(options) + ", \"error\": " + JsonQuote(message) + ", \"exit_status\": 2}\n";
}
