// The unattended install: the dialog's run, with the console for its boxes.
#include <algorithm>

#include "engine/kestrova_names.h"
#include "tool/catalogue_check.h"
#include "tool/commands.h"
#include "tool/forwarding_file_system.h"
#include "tool/session.h"
#include "tool/tool_shell.h"

namespace {

// Shows the file step's progress on one line of a terminal, rewritten in
// place: the number of files copied so far and the last one. The count is
// what the platform sees being copied, so the run is not changed for it.
// Remembers why the last copy failed, for the line after the dialog's box.
class ProgressLine : public ForwardingFileSystem {
 public:
  ProgressLine(FileSystem& inner, Console& console, const std::string& package, bool quiet)
      : ForwardingFileSystem(inner),
        console_(console),
        package_(package + "\\"),
        on_terminal_(!quiet && console.IsTerminal(ConsoleStream::kErr)) {}

  bool Copy(const std::string& from, const std::string& to, std::string* err) override {
    // A package's file is copied to the temporary beside its destination;
    // the other copies are the backups that the run's record keeps.
    std::size_t n = sizeof(kReplaceTempSuffix) - 1;
    bool installs = to.size() > n && to.compare(to.size() - n, n, kReplaceTempSuffix) == 0;
    bool copied = ForwardingFileSystem::Copy(from, to, err);
    if (installs && copied) {
      ++copied_;
      Show(from);
    } else if (installs) {
      failure_ = "cannot copy " + from + " to " + to.substr(0, to.size() - n) + ": " + *err;
    }
    return copied;
  }

  // Blanks the line, so that other output starts at its beginning.
  void Clear() {
    if (width_ > 0)
      console_.Write(ConsoleStream::kErr, "\r" + std::string(width_, ' ') + "\r");
    width_ = 0;
  }

  // Why the last copy failed, once; empty when none has since the last call.
  std::string TakeFailure() { return std::move(failure_); }

  int copied() const { return copied_; }

 private:
  void Show(const std::string& from) {
    if (!on_terminal_)
      return;
    std::string name =
        from.compare(0, package_.size(), package_) == 0 ? from.substr(package_.size()) : from;
    std::string line = std::to_string(copied_) + " copied: " + name;
    // One column short of the width, so that the line never wraps and the
    // carriage return finds its start.
    std::size_t room =
        static_cast<std::size_t>(std::max(console_.Columns(ConsoleStream::kErr), 8) - 1);
    if (line.size() > room)
      line = line.substr(0, room - 3) + "...";
    std::size_t width = line.size();
    if (width < width_)
      line += std::string(width_ - width, ' ');
    console_.Write(ConsoleStream::kErr, "\r" + line);
    width_ = std::max(width, width_);
  }

  Console& console_;
  std::string package_;
  bool on_terminal_;
  std::size_t width_ = 0;
  int copied_ = 0;
  std::string failure_;
};

// Says why the texture step failed when the catalogue or the script is the
// reason; the dialog has no message for either.
void ExplainTextures(FileSystem& files, Console& console, const std::string& host,
                     const std::string& package) {
  CTextureCatalogue catalogue(files);
  CatalogueProblem problem;
  std::string why;
  CInstallScript script(files);
  if (!InspectCatalogue(files, host + kCataloguePath, &catalogue, &problem)) {
    std::string where =
        problem.pos.line > 0 ? " (line " + std::to_string(problem.pos.line) + ")" : std::string();
    why = "Kestrova's catalogue " + problem.what + where;
  } else if (script.CheckOpen(package + "\\" + kScriptFileName) &&
             !script.FindSection(kTextureSection)) {
    why = std::string("the script has no section ") + kTextureSection;
  }
  if (!why.empty())
    console.Write(ConsoleStream::kErr,
                  "packwright-tool: the textures were not added: " + why + "\n");
}

}  // namespace

int RunInstall(Platform& system, Console& console, const ToolOptions& options) {
  ToolFolders folders = ResolveFolders(system.files, options);
  ProgressLine files(system.files, console, folders.package, options.quiet);
  ToolShell shell(system.shell, console, folders.package, EffectiveNewer(options, console), false);
  shell.before_output = [&files] { files.Clear(); };
  shell.after_message = [&files, &console] {
    std::string failure = files.TakeFailure();
    if (!failure.empty())
      console.Write(ConsoleStream::kErr, "packwright-tool: " + failure + "\n");
  };
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
  if (status == kExitFailed)
    ExplainTextures(system.files, console, installer.hostDir, folders.package);
  if (status != kExitCannotRun && (!options.quiet || status != kExitOk)) {
    console.Write(ConsoleStream::kOut, std::to_string(files.copied()) + " file(s) copied.\n");
    console.Write(ConsoleStream::kOut, ResultText(shell, result) + "\n");
  }
  return status;
}
