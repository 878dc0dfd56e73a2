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
// what the platform sees being copied, so the run is not changed for it: a
// package's file is opened, then written to a temporary beside its
// destination, which then takes the destination's place. The catalogue's
// temporary follows no package file (the catalogue is read in between),
// and the record's backups are no temporaries. Remembers why the last copy
// failed, for the line after the dialog's box.
class ProgressLine : public ForwardingFileSystem {
 public:
  ProgressLine(FileSystem& inner, Console& console, const std::string& package, bool quiet)
      : ForwardingFileSystem(inner),
        console_(console),
        package_(package + "\\"),
        on_terminal_(!quiet && console.IsTerminal(ConsoleStream::kErr)) {}

  // A source that does not read (a folder, a wildcard) fails its copy before
  // the copy is tried; the script is reported on its own.
  std::unique_ptr<InputFile> OpenRead(const std::string& path, std::string* err) override {
    source_ = path.compare(0, package_.size(), package_) == 0 ? path : std::string();
    std::unique_ptr<InputFile> in = ForwardingFileSystem::OpenRead(path, err);
    if (!in && !source_.empty() && path != package_ + kScriptFileName)
      failure_ = "cannot read " + path + ": " + *err;
    return in;
  }

  std::unique_ptr<OutputFile> CreateNew(const std::string& path, std::string* err) override {
    std::size_t n = sizeof(kReplaceTempSuffix) - 1;
    bool temp = path.size() > n && path.compare(path.size() - n, n, kReplaceTempSuffix) == 0;
    installing_ = temp && !source_.empty() ? path : std::string();
    from_ = source_;
    to_ = path.substr(0, path.size() - n);
    source_.clear();
    std::unique_ptr<OutputFile> out = ForwardingFileSystem::CreateNew(path, err);
    if (installing_.empty())
      return out;
    if (!out) {
      Failed(*err);
      return out;
    }
    return std::make_unique<WatchedOutput>(std::move(out), this);
  }

  bool Replace(const std::string& from, const std::string& to, std::string* err) override {
    bool moved = ForwardingFileSystem::Replace(from, to, err);
    if (installing_.empty() || from != installing_)
      return moved;
    if (moved) {
      ++copied_;
      Show(from_.substr(package_.size()));
    } else {
      Failed(*err);
    }
    return moved;
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
  void Failed(const std::string& why) {
    failure_ = "cannot copy " + from_ + " to " + to_ + ": " + why;
  }

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
  std::string package_;
  bool on_terminal_;
  std::size_t width_ = 0;
  int copied_ = 0;
  std::string failure_;
  // The package's file opened last; the temporary of the copy under way,
  // and that copy's source and destination.
  std::string source_;
  std::string installing_;
  std::string from_;
  std::string to_;

  // The temporary of a package's file; a call that fails says so.
  class WatchedOutput : public OutputFile {
   public:
    WatchedOutput(std::unique_ptr<OutputFile> inner, ProgressLine* line)
        : inner_(std::move(inner)), line_(line) {}
    bool Write(const char* data, std::size_t size) override {
      return Said(inner_->Write(data, size));
    }
    bool Flush() override { return Said(inner_->Flush()); }
    bool StampFrom(InputFile& source, std::uint64_t* kept) override {
      return Said(inner_->StampFrom(source, kept));
    }
    bool Close() override { return Said(inner_->Close()); }

   private:
    bool Said(bool ok) {
      if (!ok)
        line_->Failed("the copy could not be written");
      return ok;
    }
    std::unique_ptr<OutputFile> inner_;
    ProgressLine* line_;
  };
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
  int status = ExitStatusOf(result, progress, installer);
  if (status == kExitFailed && installer.damagedFile.empty())
    ExplainTextures(system.files, console, installer.hostDir, folders.package);
  if (status != kExitCannotRun && (!options.quiet || status != kExitOk)) {
    console.Write(ConsoleStream::kOut, std::to_string(files.copied()) + " file(s) copied.\n");
    console.Write(ConsoleStream::kOut, ResultText(shell, result) + "\n");
  }
  return status;
}
