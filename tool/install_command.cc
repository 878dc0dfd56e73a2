// The unattended install: the dialog's run, with the console for its boxes.
#include "tool/commands.h"
#include "tool/forwarding_file_system.h"
#include "tool/session.h"
#include "tool/tool_shell.h"

namespace {

// Shows the file step's progress on one line of a terminal: the number of
// files copied so far and the current one. The count is what the platform
// sees being copied, so the run is not changed for it.
class ProgressLine : public ForwardingFileSystem {
 public:
  ProgressLine(FileSystem& inner, Console& console, const std::string& package)
      : ForwardingFileSystem(inner),
        console_(console),
        package_(package + "\\"),
        on_terminal_(console.IsTerminal(ConsoleStream::kErr)) {}

  bool Copy(const std::string& from, const std::string& to, std::string* err) override {
    // A package's file is copied to the temporary beside its destination;
    // the other copies are the backups that the run's record keeps.
    std::size_t n = sizeof(kReplaceTempSuffix) - 1;
    bool installs = to.size() > n && to.compare(to.size() - n, n, kReplaceTempSuffix) == 0;
    if (installs)
      Show(from);
    bool copied = ForwardingFileSystem::Copy(from, to, err);
    if (copied && installs)
      ++copied_;
    return copied;
  }

  // Blanks the line, so that other output starts at its beginning.
  void Clear() {
    if (width_ > 0)
      console_.Write(ConsoleStream::kErr, "\r" + std::string(width_, ' ') + "\r");
    width_ = 0;
  }

  int copied() const { return copied_; }

 private:
  void Show(const std::string& from) {
    if (!on_terminal_)
      return;
    std::string name =
        from.compare(0, package_.size(), package_) == 0 ? from.substr(package_.size()) : from;
    std::string line = std::to_string(copied_) + " copied: " + name;
    // Kept short of an 80-column line, so it never wraps.
    if (line.size() > 79)
      line = line.substr(0, 76) + "...";
    Clear();
    console_.Write(ConsoleStream::kErr, line);
    width_ = line.size();
  }

  Console& console_;
  std::string package_;
  bool on_terminal_;
  std::size_t width_ = 0;
  int copied_ = 0;
};

}  // namespace

int RunInstall(Platform& system, Console& console, const ToolOptions& options) {
  ToolFolders folders = ResolveFolders(system.files, options);
  ProgressLine files(system.files, console, folders.package);
  ToolShell shell(system.shell, console, folders.package, EffectiveNewer(options, console), false);
  shell.before_output = [&files] { files.Clear(); };
  Platform platform{files, system.registry, shell};
  CInstaller installer(platform);
  if (!SettleHost(installer, folders, platform, console, true))
    return kExitCannotRun;
  ConsoleLockWait wait(console);
  installer.lockWait = options.no_wait ? nullptr : &wait;
  RunProgress progress;
  long result = installer.Run(&progress);
  files.Clear();
  int status = ExitStatusOf(result, progress);
  if (status != kExitCannotRun) {
    console.Write(ConsoleStream::kOut, std::to_string(files.copied()) + " file(s) copied.\n");
    console.Write(ConsoleStream::kOut, ResultText(shell, result) + "\n");
  }
  return status;
}
