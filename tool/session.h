// What the tool's commands share: the package and Kestrova folders,
// the answer to the newer-file question, the engine's result texts, and
// the run's exit status as the run tells it.
#ifndef PACKWRIGHT_TOOL_SESSION_H_
#define PACKWRIGHT_TOOL_SESSION_H_

#include <chrono>
#include <string>

#include "engine/installer.h"
#include "engine/run_lock.h"
#include "platform/console.h"
#include "platform/platform.h"
#include "tool/options.h"

struct ToolFolders {
  // The package folder as a full path, without trailing backslash.
  std::string package;
  // The --host folder as a full path ending in a backslash; empty when
  // Kestrova is to come from the registry.
  std::string host;
};

// The folders of `options` as full Windows-style paths of `files`.
ToolFolders ResolveFolders(FileSystem& files, const ToolOptions& options);

// The --newer answer; without one, ask when the input is a terminal and
// keep otherwise.
NewerAnswer EffectiveNewer(const ToolOptions& options, Console& console);

// Points the installer at the --host folder, if one was given, and clears
// its setScan when the registry names another Kestrova, with a note on the
// error stream for a command that `changes` Kestrova. False, with
// IDS_HOST_MISSING written to the error stream and a line saying where the
// tool looked, when Kestrova is not found either way (a --host folder must
// exist).
bool SettleHost(CInstaller& installer, const ToolFolders& folders, Platform& platform,
                Console& console, bool changes = false);

// Writes "packwright-tool: " and `message` to the error stream and, with
// --json, one JSON object holding the error to the output. Returns
// kExitCannotRun.
int CannotRun(Console& console, const ToolOptions& options, const std::string& message);

// The text that the dialog shows after a run: IDS_INSTALL_OK or
// IDS_INSTALL_FAILED in the system's language.
std::string ResultText(Shell& shell, long result);

// Listens to a run for how it ended; the commands' listeners build on it.
class RunListener : public IInstallObserver {
 public:
  void RunEnded(RunOutcome outcome, long result) override {
    outcome_ = outcome;
    result_ = result;
  }

  // 2 when the run found no script, 1 when it failed otherwise (a damaged
  // package included), 0 on success.
  int ExitStatus() const;

 private:
  RunOutcome outcome_ = RunOutcome::kNoHost;
  long result_ = kInstallFailed;
};

// Waits on the console while another run holds Kestrova's lock: says once
// on the error stream that it waits, then tries again every tenth of a
// second for up to 60 seconds.
class ConsoleLockWait : public ILockWait {
 public:
  explicit ConsoleLockWait(Console& console) : console_(console) {}
  bool Wait() override;

 private:
  Console& console_;
  std::chrono::steady_clock::time_point start_;
  bool waiting_ = false;
};

#endif  // PACKWRIGHT_TOOL_SESSION_H_
