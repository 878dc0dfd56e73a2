// The verify command: the check that an install makes of a sealed package
// before it changes anything, on its own.
#include "engine/messages.h"
#include "engine/seal.h"
#include "tool/commands.h"
#include "tool/session.h"

int RunVerify(Platform& system, Console& console, const ToolOptions& options) {
  ToolFolders folders = ResolveFolders(system.files, options);
  std::string script = folders.package + "\\InstSkript.txt";
  if (!system.files.Exists(script)) {
    console.Write(ConsoleStream::kErr, "packwright-tool: cannot read " + script + "\n");
    return kExitCannotRun;
  }
  SealVerdict verdict = VerifySeal(system.files, folders.package, "InstSkript.txt");
  switch (verdict.state) {
    case SealVerdict::kIntact:
      console.Write(ConsoleStream::kOut, "Intact: every file matches Packwright.sum.\n");
      return kExitOk;
    case SealVerdict::kUnsealed:
      console.Write(ConsoleStream::kOut,
                    "Not sealed: there is no Packwright.sum, and the script does not ask "
                    "for one; nothing to verify.\n");
      return kExitOk;
    case SealVerdict::kDamaged:
      break;
  }
  console.Write(ConsoleStream::kErr,
                FormatLocalized(system.shell, IDS_PACKAGE_DAMAGED, {verdict.file}) + "\n");
  return kExitFailed;
}
