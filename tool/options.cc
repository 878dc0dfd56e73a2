#include "tool/options.h"

#include <charconv>

#include "engine/install_record.h"
#include "platform/code_page.h"

#ifndef PW_TOOL_VERSION
#define PW_TOOL_VERSION "unknown"
#endif

const char kToolVersion[] = PW_TOOL_VERSION;

const char kToolUsage[] =
    "usage: packwright-tool check   PACKAGE_DIR [--host KESTROVA_DIR] [--json] [--strict]"
    " [--ignore CODE[,CODE]] [-q]\n"
    "       packwright-tool plan    PACKAGE_DIR [--host KESTROVA_DIR] [--newer ask|keep|replace]"
    " [--json]\n"
    "       packwright-tool install PACKAGE_DIR [--host KESTROVA_DIR] [--newer ask|keep|replace]"
    " [-q] [--no-wait]\n"
    "       packwright-tool list    [--host KESTROVA_DIR]\n"
    "       packwright-tool undo    PACKAGE_NAME|--record N [--host KESTROVA_DIR] [--force]"
    " [--dry-run] [--no-wait]\n"
    "       packwright-tool prune   [--host KESTROVA_DIR] [--keep N] [--no-wait]\n"
    "       packwright-tool pack    PACKAGE_DIR [-o OUT.zip] [--exe Packwright.exe]"
    " [--host KESTROVA_DIR] [--strict]\n"
    "       packwright-tool verify  PACKAGE_DIR\n"
    "       packwright-tool help    [COMMAND]\n"
    "       packwright-tool --version\n"
    "options:\n"
    "  --host DIR      Kestrova's folder instead of the one the registry names\n"
    "  --json          print one JSON object (UTF-8)\n"
    "  --strict        check: fail on warnings too\n"
    "  --ignore CODES  check: do not report these codes (comma-separated)\n"
    "  -q              print only errors\n"
    "  --newer ANSWER  a newer file in Kestrova: keep it, replace it, or ask\n"
    "  --force         undo: restore files changed since the install too\n"
    "  --dry-run       undo: print the steps and change nothing\n"
    "  --record N      undo: the run of record N\n"
    "  --keep N        prune: the newest N records keep their backups\n"
    "  --no-wait       fail at once while another install or undo runs\n"
    "  -o OUT.zip      pack: the zip to write\n"
    "  --exe PROGRAM   pack: the Packwright.exe to put in\n"
    "  --codepage N    the script's code page (1250-1254, 1257, 65001); default:\n"
    "                  the system's, 1252 on Linux\n";

namespace {

const char* const kCommands[] = {"check", "plan",  "install", "list",
                                 "undo",  "prune", "pack",    "verify"};

bool IsCommand(const std::string& word) {
  for (const char* command : kCommands) {
    if (word == command)
      return true;
  }
  return false;
}

bool ParseNewer(const std::string& value, NewerAnswer* newer) {
  if (value == "ask")
    *newer = NewerAnswer::kAsk;
  else if (value == "keep")
    *newer = NewerAnswer::kKeep;
  else if (value == "replace")
    *newer = NewerAnswer::kReplace;
  else
    return false;
  return true;
}

bool Takes(const std::string& command, const std::string& option) {
  if (option == "--codepage")
    return true;
  if (option == "--host")
    return command != "verify";
  if (option == "-o" || option == "--exe")
    return command == "pack";
  if (option == "--newer")
    return command == "plan" || command == "install";
  if (option == "--json")
    return command == "check" || command == "plan";
  if (option == "--force" || option == "--dry-run" || option == "--record")
    return command == "undo";
  if (option == "--no-wait")
    return command == "install" || command == "undo" || command == "prune";
  if (option == "--keep")
    return command == "prune";
  if (option == "-q")
    return command == "check" || command == "install";
  if (option == "--strict")
    return command == "check" || command == "pack";
  return option == "--ignore" && command == "check";
}

bool TakesValue(const std::string& option) {
  return option == "--host" || option == "--newer" || option == "--ignore" ||
         option == "--record" || option == "--keep" || option == "-o" || option == "--exe" ||
         option == "--codepage";
}

bool SetFlag(const std::string& option, ToolOptions* options) {
  (option == "--json"      ? options->json
   : option == "--strict"  ? options->strict
   : option == "--force"   ? options->force
   : option == "-q"        ? options->quiet
   : option == "--no-wait" ? options->no_wait
                           : options->dry_run) = true;
  return true;
}

bool SetValue(const std::string& option, const std::string& value, ToolOptions* options,
              std::string* err) {
  if (option == "--host" || option == "-o" || option == "--exe") {
    (option == "--host" ? options->host : option == "-o" ? options->out : options->exe) = value;
  } else if (option == "--codepage") {
    unsigned number = 0;
    auto parsed = std::from_chars(value.data(), value.data() + value.size(), number);
    if (parsed.ec != std::errc() || parsed.ptr != value.data() + value.size() ||
        !KnownCodePage(number)) {
      *err = "--codepage takes 1250 to 1254, 1257 or 65001, not '" + value + "'";
      return false;
    }
    options->code_page = number;
  } else if (option == "--record" || option == "--keep") {
    unsigned* number = option == "--record" ? &options->record : &options->keep;
    if (!ParseRecordNumber(value, number) || (option == "--record" && *number == 0)) {
      *err = option + " takes a number, not '" + value + "'";
      return false;
    }
  } else if (option == "--ignore") {
    for (std::size_t start = 0; start <= value.size();) {
      std::size_t comma = value.find(',', start);
      std::string code = value.substr(start, comma - start);
      if (!code.empty())
        options->ignore.push_back(code);
      start = comma == std::string::npos ? value.size() + 1 : comma + 1;
    }
  } else {
    options->newer_given = true;
    if (!ParseNewer(value, &options->newer)) {
      *err = "--newer takes ask, keep or replace, not '" + value + "'";
      return false;
    }
  }
  return true;
}

bool ParseOption(const std::vector<std::string>& args, std::size_t* i, ToolOptions* options,
                 std::string* err) {
  std::string option = args[*i];
  std::size_t equals = option.find('=');
  bool inline_value = equals != std::string::npos;
  std::string value = inline_value ? option.substr(equals + 1) : std::string();
  option = option.substr(0, equals);
  if (!Takes(options->command, option)) {
    *err = "'" + options->command + "' does not take the option '" + option + "'";
    return false;
  }
  if (!TakesValue(option)) {
    if (inline_value) {
      *err = "the option '" + option + "' takes no value";
      return false;
    }
    return SetFlag(option, options);
  }
  if (!inline_value) {
    if (++*i == args.size()) {
      *err = "the option '" + option + "' needs a value";
      return false;
    }
    value = args[*i];
  }
  return SetValue(option, value, options, err);
}

// The words that ask for help or the version, wherever they stand.
bool ParseHelp(const std::vector<std::string>& args, ToolOptions* options) {
  const std::string& first = args[0];
  if (first == "--version") {
    options->command = "version";
    return true;
  }
  if (first == "help" || first == "--help" || first == "-h") {
    options->command = "help";
    options->package = args.size() > 1 ? args[1] : "";
    return true;
  }
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") {
      options->package = IsCommand(first) ? first : "";
      options->command = "help";
      return true;
    }
  }
  return false;
}

}  // namespace

bool ParseToolOptions(const std::vector<std::string>& args, ToolOptions* options,
                      std::string* err) {
  if (args.empty()) {
    *err = "no command given";
    return false;
  }
  if (ParseHelp(args, options))
    return true;
  options->command = args[0];
  const std::string& command = options->command;
  bool takes_package = command != "list" && command != "prune";
  for (const std::string& arg : args)
    options->json = options->json || arg == "--json";
  if (!IsCommand(command)) {
    *err = "unknown command '" + options->command + "'";
    return false;
  }
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i].compare(0, 2, "--") == 0 || args[i] == "-q" || args[i] == "-o") {
      if (!ParseOption(args, &i, options, err))
        return false;
    } else if (options->package.empty() && takes_package) {
      options->package = args[i];
    } else {
      *err = !takes_package ? "'" + command + "' takes no package, not '" + args[i] + "'"
                            : "only one package may be given, not also '" + args[i] + "'";
      return false;
    }
  }
  if (command == "undo" && options->record != 0 && !options->package.empty()) {
    *err = "undo takes a package name or --record, not both";
    return false;
  }
  if (options->package.empty() && takes_package && options->record == 0) {
    *err = command == "undo" ? "no package name or record given" : "no package folder given";
    return false;
  }
  return true;
}

std::string UsageOf(const std::string& command) {
  std::string usage = kToolUsage;
  std::string key = "packwright-tool " + command + " ";
  std::size_t at = command.empty() ? std::string::npos : usage.find(key);
  if (at == std::string::npos)
    return usage;
  std::size_t end = usage.find('\n', at);
  return "usage: " + usage.substr(at, end - at + 1);
}

std::string VersionText() {
  return std::string("packwright-tool ") + kToolVersion + "\n";
}
