// list, undo and prune: the runs on record in Kestrova's Packwright folder.

#include "engine/install_record.h"
#include "platform/unicode.h"
#include "record/prune.h"
#include "record/record_list.h"
#include "record/undo.h"
#include "tool/commands.h"
#include "tool/session.h"

namespace {

// Kestrova's directory from --host or the registry; empty, with the reason
// written, when it is not found. `set_scan` (if given) says whether it is
// the registry's Kestrova, whose Scan an undo sets.
std::string FindHost(Platform& system, Console& console, const ToolOptions& options,
                     bool* set_scan = nullptr) {
  ToolFolders folders = ResolveFolders(system.files, options);
  CInstaller installer(system);
  if (!SettleHost(installer, folders, system, console, set_scan != nullptr))
    return std::string();
  if (set_scan)
    *set_scan = installer.setScan;
  return installer.hostDir;
}

// A name on record is a package's, even when it spells a number.
bool IsPackageOnRecord(FileSystem& files, const std::string& host, const std::string& name) {
  for (const RunRecord& record : ReadRecords(files, host)) {
    if (record.kind == "install" && FoldCase(record.package) == FoldCase(name))
      return true;
  }
  return false;
}

std::string StateOf(const RecordSummary& summary) {
  if (summary.record.unreadable)
    return "unreadable";
  if (summary.record.pruned && summary.undo.status != UndoStatus::kNothingToUndo)
    return "cannot be undone (its backups were pruned)";
  switch (summary.undo.status) {
    case UndoStatus::kNothingToUndo:
      return "undone";
    case UndoStatus::kUndone:
      return "can be undone";
    case UndoStatus::kPartly:
      return "changed since (" + std::to_string(summary.undo.left_alone.size()) +
             " item(s) would be left alone)";
    case UndoStatus::kFailed:
    case UndoStatus::kBusy:
      break;
  }
  return "cannot be undone";
}

// A record's text as `list` prints it: a control byte (and '%') as the
// record writes it, %XX, so that an edited record can neither forge a line
// nor steer the terminal.
std::string Shown(const std::string& text) {
  return EscapeField(text);
}

std::string LineOf(const RecordSummary& summary) {
  const RunRecord& r = summary.record;
  if (r.unreadable)
    return RecordFolderName(r.number) + "  unreadable record, passed over\n";
  std::string what = r.kind == "undo" ? "undo of " + RecordFolderName(r.undoes)
                                      : std::to_string(summary.files) + " file(s), " +
                                            std::to_string(summary.textures) + " texture(s)";
  std::string end = r.end.empty() ? ", did not end" : r.end == "ok" ? "" : ", " + Shown(r.end);
  return RecordFolderName(r.number) + "  " + Shown(r.package) + " (" + Shown(r.script_sum) + ")  " +
         Shown(r.time) + "  " + what + end + "  " + StateOf(summary) + "\n";
}

int ExitStatusOf(const UndoReport& report) {
  switch (report.outcome.status) {
    case UndoStatus::kUndone:
      return kExitOk;
    case UndoStatus::kNothingToUndo:
      return kExitCannotRun;
    default:
      return kExitFailed;
  }
}

void PrintReport(Console& console, const ToolOptions& options, const UndoReport& report) {
  std::string prefix = options.dry_run ? "would " : "";
  for (const std::string& step : report.steps)
    console.Write(ConsoleStream::kOut, prefix + step + "\n");
  for (const std::string& error : report.errors)
    console.Write(ConsoleStream::kErr, "packwright-tool: " + error + "\n");
  std::string result;
  switch (report.outcome.status) {
    case UndoStatus::kUndone:
      result = options.dry_run ? "It would be undone." : "Undone.";
      break;
    case UndoStatus::kPartly:
      result = std::to_string(report.outcome.left_alone.size()) +
               " item(s) changed since the install " + (options.dry_run ? "would be" : "were") +
               " left alone; --force restores them.";
      break;
    case UndoStatus::kNothingToUndo:
      result = !options.package.empty()
                   ? "Nothing to undo: no install of '" + options.package + "' on record" +
                         (report.undone_folder.empty() ? "." : " that is not undone already.")
               : report.undone_folder.empty()
                   ? "Nothing to undo: there is no record " + RecordFolderName(options.record) + "."
                   : "Nothing to undo: record " + RecordFolderName(options.record) +
                         " is undone already.";
      break;
    case UndoStatus::kFailed:
      result = "The undo failed.";
      break;
    case UndoStatus::kBusy:
      result = "Another install or undo is running in this Kestrova; nothing was undone.";
      break;
  }
  if (!report.record_folder.empty())
    result += " Its record: " + report.record_folder;
  console.Write(ConsoleStream::kOut, result + "\n");
}

}  // namespace

int RunList(Platform& system, Console& console, const ToolOptions& options) {
  std::string host = FindHost(system, console, options);
  if (host.empty())
    return kExitCannotRun;
  std::vector<RecordSummary> list = ListRecords(system, host);
  if (list.empty())
    console.Write(ConsoleStream::kOut, "No install on record.\n");
  for (const RecordSummary& summary : list)
    console.Write(ConsoleStream::kOut, LineOf(summary));
  return kExitOk;
}

int RunUndo(Platform& system, Console& console, const ToolOptions& options) {
  UndoOptions undo;
  std::string host = FindHost(system, console, options, &undo.set_scan);
  if (host.empty())
    return kExitCannotRun;
  undo.force = options.force;
  undo.dry_run = options.dry_run;
  ConsoleLockWait wait(console);
  undo.wait = options.no_wait ? nullptr : &wait;
  // A bare number picks a record only when no package on record has that name.
  unsigned number = options.record;
  if (number == 0 && (!ParseRecordNumber(options.package, &number) ||
                      IsPackageOnRecord(system.files, host, options.package)))
    number = 0;
  UndoReport report = number != 0 ? UndoRun(system, host, number, undo)
                                  : UndoLatest(system, host, options.package, undo);
  PrintReport(console, options, report);
  return ExitStatusOf(report);
}

int RunPrune(Platform& system, Console& console, const ToolOptions& options) {
  std::string host = FindHost(system, console, options);
  if (host.empty())
    return kExitCannotRun;
  ConsoleLockWait wait(console);
  PruneReport report =
      PruneRecords(system.files, host, options.keep, options.no_wait ? nullptr : &wait);
  if (report.busy) {
    console.Write(ConsoleStream::kOut,
                  "Another install or undo is running in this Kestrova; nothing was pruned.\n");
    return kExitFailed;
  }
  for (const auto& pruned : report.pruned)
    console.Write(ConsoleStream::kOut, "dropped the backups of " + pruned.first + " (" +
                                           std::to_string(pruned.second) +
                                           " bytes); it can no longer be undone\n");
  for (const std::string& error : report.errors)
    console.Write(ConsoleStream::kErr, "packwright-tool: " + error + "\n");
  console.Write(ConsoleStream::kOut, "Freed " + std::to_string(report.freed) + " bytes in " +
                                         std::to_string(report.pruned.size()) + " record(s).\n");
  return report.errors.empty() ? kExitOk : kExitFailed;
}
