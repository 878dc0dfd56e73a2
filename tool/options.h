// The tool's command line:
//   packwright-tool check   PACKAGE_DIR [--host DIR] [--json] [--strict]
//   packwright-tool plan    PACKAGE_DIR [--host DIR] [--newer ask|keep|replace] [--json]
//   packwright-tool install PACKAGE_DIR [--host DIR] [--newer ask|keep|replace] [--no-wait]
//   packwright-tool list    [--host DIR]
//   packwright-tool undo    PACKAGE_NAME|RECORD [--host DIR] [--force] [--dry-run] [--no-wait]
//   packwright-tool undo    --record N [--host DIR] [--force] [--dry-run] [--no-wait]
//   packwright-tool prune   [--host DIR] [--keep N] [--no-wait]
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
  std::string command;
  // The package folder; for undo, the package's name or a record's number.
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
  // undo --record: the record's number; 0 when not given.
  unsigned record = 0;
  // prune --keep: how many of the newest records keep their backups.
  unsigned keep = 10;
};

// Parses the arguments after the program's name. False, with `err` saying
// what is wrong, for an unknown command or option, a missing package folder
// (undo: name or record) or option value, one given to list or prune, a
// --record or --keep that is no number (--record: none above 0), or an
// option that the command does not take.
bool ParseToolOptions(const std::vector<std::string>& args, ToolOptions* options, std::string* err);

// The usage text, one command a line.
extern const char kToolUsage[];

#endif  // PACKWRIGHT_TOOL_OPTIONS_H_
