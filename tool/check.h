// The package check: every place where Packwright would do something other
// than what the script's author most likely meant. Each finding has a stable
// code, a severity, the line and column in InstSkript.txt (line 0 for a
// finding about a file rather than a place in the script), and one sentence
// saying what Packwright will do and what to write instead.
#ifndef PACKWRIGHT_TOOL_CHECK_H_
#define PACKWRIGHT_TOOL_CHECK_H_

#include <string>
#include <vector>

#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "tool/options.h"
#include "tool/positioned_script.h"

enum class Severity { kError, kWarning };

struct Finding {
  std::string code;
  Severity severity;
  int line;
  int column;
  std::string message;
};

struct CheckInput {
  // The package folder, full path without trailing backslash.
  std::string package;
  // Kestrova's folder ending in a backslash; empty: the findings that
  // depend on it are not made.
  std::string host;
  // The package's files, relative to its folder, backslash-separated.
  std::vector<std::string> package_files;
  // Whether a seal is checked: not where pack is about to seal afresh.
  bool seal = true;
};

// Every file below the folder `package`, relative to it, backslash-divided.
void ListPackageFiles(const std::string& package, std::vector<std::string>* files);

// The check command (commands.h), with the seal left unchecked unless
// `seal`.
int CheckAndPrint(Platform& system, Console& console, const ToolOptions& options, bool seal);

// Checks the script `script` (already read from the package) and the
// package's files. Findings come in the order of the script.
std::vector<Finding> CheckPackage(FileSystem& files, const PositionedScript& script,
                                  const CheckInput& input);

// The findings about the script's layout: sections, stray text, encoding.
void CheckLayout(const PositionedScript& script, std::vector<Finding>* findings);
// The findings about the entries of Dateinstallation and Texturskript.
void CheckEntries(FileSystem& files, const PositionedScript& script, const CheckInput& input,
                  std::vector<Finding>* findings);

// The finding about the package's seal, if it has one that no longer
// matches (engine/seal.h).
void CheckSeal(FileSystem& files, const CheckInput& input, std::vector<Finding>* findings);

// Adds a finding at `pos`.
void Report(std::vector<Finding>* findings, const char* code, Severity severity, ScriptPos pos,
            const std::string& message);

#endif  // PACKWRIGHT_TOOL_CHECK_H_
