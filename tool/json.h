// The little JSON the tool writes.
#ifndef PACKWRIGHT_TOOL_JSON_H_
#define PACKWRIGHT_TOOL_JSON_H_

#include <string>

// `utf8` as a JSON string literal, quotes included: '"' and '\' escaped,
// control characters as \uXXXX. Bytes of 0x80 and above pass unchanged.
std::string JsonQuote(const std::string& utf8);

#endif  // PACKWRIGHT_TOOL_JSON_H_
