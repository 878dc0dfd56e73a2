// The package check: every place where Packwright would do something other
// than what the script's author most likely meant. Each finding has a stable
// code (one of kCheckCodes), a severity, the file it is about, the line and
// column in that file (line 0 for a finding about the file as a whole), and
// one sentence saying what Packwright will do and what to write instead.
#ifndef PACKWRIGHT_TOOL_CHECK_H_
#define PACKWRIGHT_TOOL_CHECK_H_

#include <string>
#include <vector>

#include "engine/install_script.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "tool/options.h"

enum class Severity { kError, kWarning };

// The file a finding is about.
enum class FindingFile { kScript, kPackageFile, kCatalogue };

struct Finding {
  std::string code;
  Severity severity;
  int line;
  int column;
  // Script bytes quoted in it are as the script has them.
  std::string message;
  FindingFile file = FindingFile::kScript;
  // For kPackageFile: the file, relative to the package folder.
  std::string path;
};

// Every code that the check gives, in the guide's order.
extern const char* const kCheckCodes[];
extern const std::size_t kCheckCodeCount;

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

// Reads the package's script and checks it and the package's files into
// `*findings`, in the order of the script, findings about whole files last.
// False, with no findings, when the script cannot be read.
bool CheckPackage(FileSystem& files, const CheckInput& input, std::vector<Finding>* findings);

// A section of the script as CInstallScript reads it, kept whole.
struct ScriptSection {
  bool found = false;
  ScriptPos name_pos;
  char opening = '\0';
  ScriptPos opening_pos;
  std::vector<ScriptEntry> entries;
  SectionEnd end = SectionEnd::kEndOfInput;
  ScriptPos end_pos;
};
ScriptSection ReadSection(CInstallScript& script, const std::string& name);

// Every file below the folder `package`, relative to it, backslash-divided.
void ListPackageFiles(const std::string& package, std::vector<std::string>* files);

// The check command (commands.h), with the seal left unchecked unless
// `seal`.
int CheckAndPrint(Platform& system, Console& console, const ToolOptions& options, bool seal);

// The findings about the script's layout: sections, stray text, encoding.
// `text` is the script as text mode reads it. False when the script is not
// a text of single bytes, so that its entries mean nothing.
bool CheckLayout(CInstallScript& script, const std::string& text, std::vector<Finding>* findings);
// The findings about the entries of the two sections.
void CheckEntries(FileSystem& files, const ScriptSection& file_section,
                  const ScriptSection& texture_section, const CheckInput& input,
                  std::vector<Finding>* findings);

// The finding about the package's seal, if it has one that no longer
// matches (engine/seal.h).
void CheckSeal(FileSystem& files, const CheckInput& input, std::vector<Finding>* findings);

// Adds a finding at `pos` of the script.
void Report(std::vector<Finding>* findings, const char* code, Severity severity, ScriptPos pos,
            const std::string& message);

// `text` with control characters written as \n, \r, \t or \xNN.
std::string Escaped(const std::string& text);

// `text` in single quotes for a message: cut to 40 bytes with "...", and
// control characters written as \n, \r, \t or \xNN, so that a finding stays
// on one line.
std::string Quoted(const std::string& text);

// The Damerau-Levenshtein distance (adjacent swaps counted as one edit, no
// substring edited twice) between `a` and `b`, or `limit` + 1 when it is
// more than `limit`.
std::size_t EditDistance(const std::string& a, const std::string& b, std::size_t limit);

#endif  // PACKWRIGHT_TOOL_CHECK_H_
