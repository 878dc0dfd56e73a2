// packwright-tool: check a package, show what an install would do, install
// it unattended, list the installs on record, undo one and prune old backups,
// pack and seal a package and verify a sealed one. See options.h for
// the command line.
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/console.h"
#include "platform/platform.h"
#include "tool/commands.h"
#include "tool/options.h"
#include "tool/session.h"

int main(int argc, char** argv) {
  std::vector<std::string> args = CommandLineArguments(argc, argv);
  Console& console = SystemConsole();
  ToolOptions options;
  std::string err;
  if (!ParseToolOptions(args, &options, &err)) {
    console.Write(ConsoleStream::kErr, kToolUsage);
    return CannotRun(console, options, err);
  }
  if (options.command == "help") {
    console.Write(ConsoleStream::kOut, UsageOf(options.package));
    return kExitOk;
  }
  if (options.command == "version") {
    console.Write(ConsoleStream::kOut, VersionText());
    return kExitOk;
  }
  SetAnsiCodePage(options.code_page);
  Platform& system = SystemPlatform();
  if (options.command == "check")
    return RunCheck(system, console, options);
  if (options.command == "plan")
    return RunPlan(system, console, options);
  if (options.command == "list")
    return RunList(system, console, options);
  if (options.command == "undo")
    return RunUndo(system, console, options);
  if (options.command == "prune")
    return RunPrune(system, console, options);
  if (options.command == "pack")
    return RunPack(system, console, options);
  if (options.command == "verify")
    return RunVerify(system, console, options);
  return RunInstall(system, console, options);
}
