// The little JSON the tool writes.
#ifndef PACKWRIGHT_TOOL_JSON_H_
#define PACKWRIGHT_TOOL_JSON_H_

#include <string>

#include "tool/options.h"

// `utf8` as a JSON string literal, quotes included: '"' and '\' escaped,
// control characters as \uXXXX. Valid UTF-8 passes unchanged; a byte that
// starts no valid sequence is taken as code page 1252, so that the literal
// is always valid UTF-8.
std::string JsonQuote(const std::string& utf8);

// The start of the tool's JSON object, without its closing brace: the
// tool's version and the package as the user gave it.
std::string JsonHead(const ToolOptions& options);
// The tool's JSON object when it cannot run: `message` (system text) as
// its error, and exit status 2. With a line end.
std::string JsonCannotRun(const ToolOptions& options, const std::string& message);

#endif  // PACKWRIGHT_TOOL_JSON_H_
