// The unattended install: the dialog's run, with the console for its boxes.
#include <algorithm>

#include "engine/kestrova_names.h"
#include "tool/catalogue_check.h"
#include "tool/commands.h"
#include "tool/session.h"
#include "tool/tool_shell.h"

namespace {

// Follows the run on the console: after a box of a failed copy, why the
// file system refused it; on a terminal, the number of files copied so far
// and the last one, on one line rewritten in place.
class InstallListener : public RunListener {
 public:
  InstallListener(Console& console, bool quiet)
      : console_(console), on_terminal_(!quiet && console.IsTerminal(ConsoleStream::kErr)) {}

  void RunStarted(const std::string& package, const std::string&) override {
    package_ = package + "\\";
  }

  void FileDone(const FileEvent& event) override {
    if (event.outcome == FileEvent::kCreated || event.outcome == FileEvent::kReplaced) {
      ++copied_;
      Show(event.source.compare(0, package_.size(), package_) == 0
               ? event.source.substr(package_.size())
               : event.source);
    } else if (event.outcome == FileEvent::kFailed && !event.why.empty()) {
      Clear();
      console_.Write(ConsoleStream::kErr, "packwright-tool: " +
                                              (event.unreadable ? "cannot read " + event.source
                                                                : "cannot copy " + event.source +
                                                                      " to " + event.destination) +
                                              ": " + event.why + "\n");
    }
  }

  // Blanks the line, so that other output starts at its beginning.
  void Clear() {
    if (width_ > 0)
      console_.Write(ConsoleStream::kErr, "\r" + std::string(width_, ' ') + "\r");
    width_ = 0;
  }

  int copied() const { return copied_; }

 private:
  void Show(const std::string& name) {
    if (!on_terminal_)
      return;
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
  bool on_terminal_;
  std::string package_;
  std::size_t width_ = 0;
  int copied_ = 0;
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
  InstallListener listener(console, options.quiet);
  ToolShell shell(system.shell, console, EffectiveNewer(options, console), false);
  shell.before_output = [&listener] { listener.Clear(); };
  Platform platform{system.files, system.registry, shell};
  CInstaller installer(platform);
  installer.packageDir = folders.package;
  installer.observer = &listener;
  if (!SettleHost(installer, folders, platform, console, true))
    return kExitCannotRun;
  ConsoleLockWait wait(console);
  installer.lockWait = options.no_wait ? nullptr : &wait;
  long result = installer.Run(nullptr);
  listener.Clear();
  int status = listener.ExitStatus();
  if (status == kExitFailed && installer.damagedFile.empty())
    ExplainTextures(system.files, console, installer.hostDir, folders.package);
  if (status != kExitCannotRun && (!options.quiet || status != kExitOk)) {
    console.Write(ConsoleStream::kOut, std::to_string(listener.copied()) + " file(s) copied.\n");
    console.Write(ConsoleStream::kOut, ResultText(shell, result) + "\n");
  }
  return status;
}
