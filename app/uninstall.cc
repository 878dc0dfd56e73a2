#include "app/uninstall.h"

#include "engine/installer.h"
#include "engine/kestrova_names.h"
#include "engine/messages.h"
#include "engine/package_identity.h"
#include "platform/paths.h"
#include "platform/unicode.h"
#include "platform/win_constants.h"
#include "res/resource.h"

namespace {

void ShowOutcome(Shell& shell, const std::string& name, const std::string& host_dir,
                 const UndoOutcome& outcome) {
  switch (outcome.status) {
    case UndoStatus::kUndone:
      ShowMessage(shell, IDS_UNDO_OK, kMbOk | kMbIconInformation, {name});
      break;
    case UndoStatus::kNothingToUndo:
      ShowMessage(shell, IDS_UNDO_NOTHING, kMbOk | kMbIconInformation, {name});
      break;
    case UndoStatus::kPartly:
      ShowMessage(shell, IDS_UNDO_PARTLY, kMbOk,
                  {name, LeftAloneList(outcome.left_alone, host_dir)});
      break;
    case UndoStatus::kFailed:
      ShowMessage(shell, IDS_UNDO_FAILED, kMbOk);
      break;
    case UndoStatus::kBusy:
      ShowMessage(shell, IDS_INSTALL_BUSY, kMbOk);
      break;
  }
}

// One line per install, as the question names them.
std::string InstallsList(Shell& shell, const std::vector<const RunRecord*>& installs) {
  std::string list;
  for (std::size_t i = 0; i < installs.size() && i < kMaxListedItems; ++i) {
    int files = 0;
    for (const RecordedFile& file : installs[i]->files)
      files += file.kind == RecordedFile::kCreate || file.kind == RecordedFile::kReplace;
    list += (i == 0 ? "" : "\n") +
            FormatLocalized(shell, IDS_UNDO_RUN_LINE, {installs[i]->time, std::to_string(files)});
  }
  if (installs.size() > kMaxListedItems)
    list += "\n...";
  return list;
}

}  // namespace

std::string PackageName(const std::string& module_path) {
  if (module_path.find('\\') == std::string::npos)
    return "";
  std::string folder = DirectoryOf(module_path);
  std::string name = folder.substr(folder.rfind('\\') + 1);
  // "C:" is a drive, not a folder.
  return !name.empty() && name.back() == ':' ? "" : name;
}

std::string LeftAloneList(const std::vector<std::string>& items, const std::string& host_dir) {
  std::string list;
  std::string host = FoldCase(host_dir);
  for (std::size_t i = 0; i < items.size() && i < kMaxListedItems; ++i) {
    // Kestrova's directory is the same for every path, and long enough to
    // wrap each one in the box.
    bool inside = !host.empty() && FoldCase(items[i].substr(0, host.size())) == host;
    list += (i == 0 ? "" : "\n") + items[i].substr(inside ? host.size() : 0);
  }
  if (items.size() > kMaxListedItems)
    list += "\n...";
  return list;
}

void UninstallPackage(Platform& platform, UndoFunction undo, ILockWait* wait) {
  CInstaller installer(platform);
  if (!installer.IsHostFound()) {
    ShowMessage(platform.shell, IDS_HOST_MISSING, kMbOk);
    return;
  }
  std::string module = platform.shell.ModulePath();
  std::string name = PackageName(module);
  PackageIdentity identity;
  if (module.find('\\') != std::string::npos)
    ReadPackageIdentity(platform.files, DirectoryOf(module) + "\\" + kScriptFileName,
                        installer.hostDir, &identity);
  std::vector<RunRecord> all = ReadRecords(platform.files, installer.hostDir);
  std::vector<const RunRecord*> installs = InstallsOf(all, identity);
  if (installs.empty()) {
    ShowMessage(platform.shell, IDS_UNDO_NOTHING, kMbOk | kMbIconInformation, {name});
    return;
  }
  if (ShowMessage(platform.shell, IDS_UNDO_CONFIRM_RUNS, kMbYesNo,
                  {name, InstallsList(platform.shell, installs)}) != kIdYes)
    return;
  UndoOptions options;
  options.wait = wait;
  UndoReport report = undo(platform, installer.hostDir, identity, options);
  ShowOutcome(platform.shell, name, installer.hostDir, report.outcome);
}
