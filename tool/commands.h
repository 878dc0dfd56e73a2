// The tool's commands. Each runs on the given system platform and
// console and returns the program's exit status: 0, 1 (kExitFailed) or 2
// (kExitCannotRun), as each command defines them.
#ifndef PACKWRIGHT_TOOL_COMMANDS_H_
#define PACKWRIGHT_TOOL_COMMANDS_H_

#include "platform/console.h"
#include "platform/platform.h"
#include "tool/options.h"

// Installs the package as the dialog would: 2 when Kestrova or the script
// is not found, 1 when the run failed, 0 on success. Messages go to the
// error stream, the result to the output; on a terminal the file step's
// progress shows on one rewritten line.
int RunInstall(Platform& system, Console& console, const ToolOptions& options);

// Prints what an install would do, changing nothing (see plan.h).
int RunPlan(Platform& system, Console& console, const ToolOptions& options);

// Prints the script's findings (see check.h): 0 when there is no error
// (with --strict: no finding), 1 otherwise, 2 when the check cannot run.
int RunCheck(Platform& system, Console& console, const ToolOptions& options);

// Lists the runs on record in Kestrova's Packwright folder, newest first:
// 0, or 2 when Kestrova is not found.
int RunList(Platform& system, Console& console, const ToolOptions& options);

// Undoes the latest install of the named package, or the run of record
// --record N (record/undo.h), printing each step: 0 when undone, 1 when
// something was left alone or the undo failed, 2 when Kestrova or the
// record is not found. A bare number that no package on record is named
// picks that record. --dry-run prints the same and changes nothing.
int RunUndo(Platform& system, Console& console, const ToolOptions& options);

// Drops the backups of all but the newest --keep records (record/prune.h),
// saying what it freed: 0, 1 when a backup or a mark could not be
// written or removed, 2 when Kestrova is not found.
int RunPrune(Platform& system, Console& console, const ToolOptions& options);

// Checks the package as `check` does and refuses on an error (--strict: on
// any finding); otherwise writes the reproducible zip of the package,
// sealed (pack.h), listing the files it left out: 0 when written, 1 when
// refused or the zip could not be written, 2 when the script or
// Packwright.exe is not found.
int RunPack(Platform& system, Console& console, const ToolOptions& options);

// Verifies a package against its seal (engine/seal.h): 0 when intact or
// not sealed at all (said so), 1 when damaged, naming the file, 2 when the
// script is not found.
int RunVerify(Platform& system, Console& console, const ToolOptions& options);

#endif  // PACKWRIGHT_TOOL_COMMANDS_H_
