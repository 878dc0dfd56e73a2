#include "tool/session.h"

#include <thread>

#include "engine/messages.h"
#include "platform/unicode.h"
#include "tool/json.h"

namespace {

// A folder's full path, its case folded as Windows compares names, without
// trailing backslash.
std::string FolderKey(FileSystem& files, const std::string& dir) {
  std::string key = FoldCase(files.FullPath(dir));
  while (!key.empty() && key.back() == '\\')
    key.pop_back();
  return key;
}

}  // namespace

ToolFolders ResolveFolders(FileSystem& files, const ToolOptions& options) {
  ToolFolders folders;
  folders.package = files.FullPath(options.package);
  while (folders.package.size() > 3 && folders.package.back() == '\\')
    folders.package.pop_back();
  if (!options.host.empty()) {
    folders.host = files.FullPath(options.host);
    if (folders.host.back() != '\\')
      folders.host += '\\';
  }
  return folders;
}

NewerAnswer EffectiveNewer(const ToolOptions& options, Console& console) {
  if (options.newer_given)
    return options.newer;
  return console.InputIsTerminal() ? NewerAnswer::kAsk : NewerAnswer::kKeep;
}

bool SettleHost(CInstaller& installer, const ToolFolders& folders, Platform& platform,
                Console& console, bool changes) {
  std::string registered = installer.hostDir;
  if (!folders.host.empty()) {
    const std::string& host = folders.host;
    std::string dir = host.size() > 3 ? host.substr(0, host.size() - 1) : host;
    installer.hostDir = platform.files.Exists(dir) ? host : std::string();
  }
  if (installer.IsHostFound()) {
    installer.setScan = registered.empty() || FolderKey(platform.files, registered) ==
                                                  FolderKey(platform.files, installer.hostDir);
    if (!installer.setScan && changes)
      console.Write(ConsoleStream::kErr,
                    "packwright-tool: Scan is left alone: the registry names "
                    "another Kestrova, " +
                        registered + "\n");
    return true;
  }
  console.Write(ConsoleStream::kErr, LoadMessage(platform.shell, IDS_HOST_MISSING) + "\n");
  console.Write(ConsoleStream::kErr,
                folders.host.empty()
                    ? "packwright-tool: the registry names no Kestrova folder (HKEY_CLASSES_ROOT\\"
                      "Software\\Brindlewood\\KSVX, value AppPath); give one with --host\n"
                    : "packwright-tool: no folder " + folders.host + "\n");
  return false;
}

int CannotRun(Console& console, const ToolOptions& options, const std::string& message) {
  console.Write(ConsoleStream::kErr, "packwright-tool: " + message + "\n");
  if (options.json)
    console.WriteUtf8(ConsoleStream::kOut, JsonCannotRun(options, message));
  return kExitCannotRun;
}

std::string ResultText(Shell& shell, long result) {
  return LoadMessage(shell, result < 0 ? IDS_INSTALL_FAILED : IDS_INSTALL_OK);
}

bool ConsoleLockWait::Wait() {
  auto now = std::chrono::steady_clock::now();
  if (!waiting_) {
    waiting_ = true;
    start_ = now;
    console_.Write(ConsoleStream::kErr,
                   "packwright-tool: another install or undo is running in this Kestrova; "
                   "waiting up to 60 seconds for it to end...\n");
  }
  if (now - start_ >= std::chrono::seconds(60))
    return false;
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  return true;
}

int RunListener::ExitStatus() const {
  if (outcome_ == RunOutcome::kScriptMissing)
    return kExitCannotRun;
  return result_ < 0 ? kExitFailed : kExitOk;
}
