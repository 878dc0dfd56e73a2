#include "tool/options.h"

#include "engine/install_record.h"

const char kToolUsage[] =
    "usage: packwright-tool check   PACKAGE_DIR [--host KESTROVA_DIR] [--json] [--strict]\n"
    "       packwright-tool plan    PACKAGE_DIR [--host KESTROVA_DIR] [--newer ask|keep|replace]"
    " [--json]\n"
    "       packwright-tool install PACKAGE_DIR [--host KESTROVA_DIR] [--newer ask|keep|replace]"
    " [--no-wait]\n"
    "       packwright-tool list    [--host KESTROVA_DIR]\n"
    "       packwright-tool undo    PACKAGE_NAME|--record N [--host KESTROVA_DIR] [--force]"
    " [--dry-run] [--no-wait]\n"
    "       packwright-tool prune   [--host KESTROVA_DIR] [--keep N] [--no-wait]\n";

namespace {

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
  if (option == "--host")
    return true;
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
  return option == "--strict" && command == "check";
}

bool ParseOption(const std::vector<std::string>& args, std::size_t* i, ToolOptions* options,
                 std::string* err) {
  const std::string& option = args[*i];
  if (!Takes(options->command, option)) {
    *err = "'" + options->command + "' does not take the option '" + option + "'";
    return false;
  }
  if (option == "--json" || option == "--strict" || option == "--force" || option == "--dry-run" ||
      option == "--no-wait") {
    (option == "--json"      ? options->json
     : option == "--strict"  ? options->strict
     : option == "--force"   ? options->force
     : option == "--no-wait" ? options->no_wait
                             : options->dry_run) = true;
    return true;
  }
  if (++*i == args.size()) {
    *err = "the option '" + option + "' needs a value";
    return false;
  }
  if (option == "--host") {
    options->host = args[*i];
    return true;
  }
  if (option == "--record" || option == "--keep") {
    unsigned* number = option == "--record" ? &options->record : &options->keep;
    if (!ParseRecordNumber(args[*i], number) || (option == "--record" && *number == 0)) {
      *err = option + " takes a number, not '" + args[*i] + "'";
      return false;
    }
    return true;
  }
  options->newer_given = true;
  if (!ParseNewer(args[*i], &options->newer)) {
    *err = "--newer takes ask, keep or replace, not '" + args[*i] + "'";
    return false;
  }
  return true;
}

}  // namespace

bool ParseToolOptions(const std::vector<std::string>& args, ToolOptions* options,
                      std::string* err) {
  if (args.empty()) {
    *err = "no command given";
    return false;
  }
  options->command = args[0];
  const std::string& command = options->command;
  bool takes_package = command != "list" && command != "prune";
  if (command != "check" && command != "plan" && command != "install" && command != "list" &&
      command != "undo" && command != "prune") {
    *err = "unknown command '" + options->command + "'";
    return false;
  }
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i].compare(0, 2, "--") == 0) {
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
