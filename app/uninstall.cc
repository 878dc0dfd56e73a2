#include "app/uninstall.h"

#include "engine/installer.h"
#include "engine/messages.h"
#include "platform/paths.h"
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

}  // namespace

std::string PackageName(const std::string& module_path) {
  std::string::size_type slash = module_path.rfind('\\');
  if (slash == std::string::npos)
    return "";
  std::string folder = module_path.substr(0, slash);
  std::string name = folder.substr(folder.rfind('\\') + 1);
  // "C:" is a drive, not a folder.
  return !name.empty() && name.back() == ':' ? "" : name;
}

std::string LeftAloneList(const std::vector<std::string>& items, const std::string& host_dir) {
  std::string list;
  std::string host = LowerAscii(host_dir);
  for (std::size_t i = 0; i < items.size() && i < kMaxListedItems; ++i) {
    // Kestrova's directory is the same for every path, and long enough to
    // wrap each one in the box.
    bool inside = !host.empty() && LowerAscii(items[i].substr(0, host.size())) == host;
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
  std::string name = PackageName(platform.shell.ModulePath());
  UndoOutcome outcome;
  outcome.status = UndoStatus::kNothingToUndo;
  if (!name.empty()) {
    if (ShowMessage(platform.shell, IDS_UNDO_CONFIRM, kMbYesNo, {name}) != kIdYes)
      return;
    UndoOptions options;
    options.wait = wait;
    outcome = undo(platform, installer.hostDir, name, options);
  }
  ShowOutcome(platform.shell, name, installer.hostDir, outcome);
}
