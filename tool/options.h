// The tool's command line:
//   packwright-tool check   PACKAGE_DIR [--host DIR] [--json] [--strict]
//                           [--ignore CODE[,CODE]] [-q]
//   packwright-tool plan    PACKAGE_DIR [--host DIR] [--newer ask|keep|replace] [--json]
//   packwright-tool install PACKAGE_DIR [--host DIR] [--newer ask|keep|replace] [-q] [--no-wait]
//   packwright-tool list    [--host DIR]
//   packwright-tool undo    PACKAGE_NAME|RECORD [--host DIR] [--force] [--dry-run] [--no-wait]
//   packwright-tool undo    --record N [--host DIR] [--force] [--dry-run] [--no-wait]
//   packwright-tool prune   [--host DIR] [--keep N] [--no-wait]
//   packwright-tool pack    PACKAGE_DIR [-o OUT.zip] [--exe PROGRAM] [--host DIR] [--strict]
//   packwright-tool verify  PACKAGE_DIR
//   packwright-tool help    [COMMAND]       (also --help, -h)
//   packwright-tool --version
// An option that takes a value takes it as the next argument or after "=".
// Every command also takes --codepage N: the ANSI code page that the script
// (and a record of an earlier format) is read in.
#ifndef PACKWRIGHT_TOOL_OPTIONS_H_
#define PACKWRIGHT_TOOL_OPTIONS_H_

#include <string>
#include <vector>

// The answer to the newer-file question: kKeep answers Yes, kReplace No, and
// kAsk puts the question on the terminal.
enum class NewerAnswer { kAsk, kKeep, kReplace };

// Exit statuses shared by the commands.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitCannotRun = 2;

struct ToolOptions {
  // One of check, plan, install, list, undo, prune, help, version.
  std::string command;
  // The package folder; for undo, the package's name or a record's number;
  // for help, the command asked about (may be empty).
  std::string package;
  // Kestrova's folder; empty: the one the registry names.
  std::string host;
  NewerAnswer newer = NewerAnswer::kKeep;
  bool newer_given = false;
  bool json = false;
  bool strict = false;
  bool force = false;
  bool dry_run = false;
  // Fail at once, rather than wait, while another run holds Kestrova.
  bool no_wait = false;
  // The script's code page; 0: the system's (POSIX: 1252).
  unsigned code_page = 0;
  // -q: only errors are printed.
  bool quiet = false;
  // check's codes not to report.
  std::vector<std::string> ignore;
  // pack: the zip to write (empty: PACKAGE_NAME.zip in the current folder)
  // and the Packwright.exe to put in (empty: the one beside the tool).
  std::string out;
  std::string exe;
  // undo --record: the record's number; 0 when not given.
  unsigned record = 0;
  // prune --keep: how many of the newest records keep their backups.
  unsigned keep = 10;
};

// Parses the arguments after the program's name. False, with `err` saying
// what is wrong, for an unknown command or option, a missing package folder
// (undo: name or record) or option value, one given to list or prune, a
// --record or --keep that is no number (--record: none above 0), an
// option that the command does not take, or a code page that is not known.
// `options->command` and `json` are set as far as they were read, so that
// the error can be given as asked.
bool ParseToolOptions(const std::vector<std::string>& args, ToolOptions* options, std::string* err);

// The usage text: every command, one a line, and what the options mean.
extern const char kToolUsage[];
// The usage line of `command`; the whole usage for an unknown one.
std::string UsageOf(const std::string& command);
// The version, as CMakeLists.txt gives it.
extern const char kToolVersion[];
// The tool's name and version, as CMakeLists.txt gives it, and a line end.
std::string VersionText();

#endif  // PACKWRIGHT_TOOL_OPTIONS_H_
