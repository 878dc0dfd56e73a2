// The file installation step: section Dateinstallation of the script lists
// entries "source>>destination", the source relative to the package's
// directory and the destination relative to Kestrova's.
#include "engine/installer.h"

#include <set>
#include <vector>

#include "engine/confine.h"
#include "engine/file_ops.h"
#include "engine/install_record.h"
#include "engine/kestrova_names.h"
#include "engine/messages.h"
#include "platform/code_page.h"
#include "platform/paths.h"
#include "platform/unicode.h"

namespace {

const char kSeparator[] = ">>";

// Asks whether an existing destination newer than the package's file is to be
// kept. True when it is kept; after a Cancel every later one is kept without
// asking.
bool KeepNewer(Shell& shell, CInstaller& installer, const std::string& destination,
               const std::string& source) {
  if (installer.keepNewerSilently)
    return true;
  std::string text = MessageText(shell, IDS_KEEP_NEWER, {destination, source});
  int answer = ShowText(shell, text, kMbYesNoCancel);
  installer.events().Asked(destination, text, answer);
  if (answer == kIdCancel)
    installer.keepNewerSilently = true;
  // Only an explicit No replaces the newer file.
  return answer != kIdNo;
}

// Reports an entry that was not copied, in a box and to the observer.
void ReportCopyFailed(CInstaller& installer, FileEvent failed) {
  installer.Tell(IDS_COPY_FAILED, {failed.source, failed.destination});
  failed.outcome = FileEvent::kFailed;
  installer.events().FileDone(failed);
}

// True when the full path of `destination` is longer than a Windows
// program can open without its long-path form: Kestrova could never load
// the file, so it is refused on every system alike.
bool TooLongForWindows(FileSystem& files, const std::string& destination) {
  return Utf16Length(files.FullPath(destination)) > kMaxPathChars;
}

// What one run of the step remembers between its entries.
struct StepState {
  // Directories made or found already, as the entries spell them.
  std::set<std::string> dirs;
  // Destinations written, to be synced at the end of the step.
  std::vector<std::string> written;
};

bool EnsureDirectory(FileSystem& files, CInstaller& installer, StepState& state,
                     const std::string& dir) {
  if (state.dirs.count(dir))
    return true;
  std::vector<std::string> made;
  bool ok = MakeFoldersRecorded(files, installer.record, dir, &made);
  for (const std::string& level : made)
    installer.events().FolderMade(level);
  if (ok)
    state.dirs.insert(dir);
  return ok;
}

// Resets the attributes of a destination that the entry did not write, so
// that a file left read-only is replaceable next run; with a record, only
// once its old attributes are on it.
void ResetAttributes(FileSystem& files, CInstallRecord* record, const std::string& destination,
                     bool copied) {
  if (copied)
    return;  // the copy left it plain
  if (!record) {
    files.SetNormalAttributes(destination);
    return;
  }
  std::uint32_t old_attrs = 0;
  if (record->broken() || !files.GetAttributes(destination, &old_attrs) ||
      !record->Attributes(destination, old_attrs))
    return;
  if (files.SetNormalAttributes(destination))
    record->AttributesSet(destination);
}

// Installs one entry. False only when a file was to be copied and was not.
// The source is opened once, for its time and its bytes, and the
// destination looked up once.
bool InstallEntry(Platform& platform, CInstaller& installer, StepState& state,
                  const std::string& entry) {
  std::string::size_type separator = entry.find(kSeparator);
  if (separator == std::string::npos)
    return true;
  FileEvent done{FileEvent::kFailed, {}, {}, false, {}};
  // The script's names are in the ANSI code page; paths are Unicode from
  // here on.
  done.source = installer.scriptDir + "\\" + AnsiToUtf8(entry.substr(0, separator));
  std::unique_ptr<InputFile> in = platform.files.OpenRead(done.source, &done.why);
  // What exists but does not open (a folder, a locked file, a wildcard
  // match) is not missing: its copy fails below.
  if (!in && !FileExists(platform.files, done.source)) {
    installer.Tell(IDS_SOURCE_MISSING, {done.source});
    installer.events().SourceMissing(done.source);
    return true;
  }
  done.unreadable = !in;
  if (in)
    done.why.clear();
  std::string tail = AnsiToUtf8(entry.substr(separator + sizeof(kSeparator) - 1));
  done.destination = installer.hostDir + tail;
  // Refused before anything is looked at or touched outside Kestrova's
  // tree, the attribute reset included.
  if (RefusalOf(platform.files, installer.hostDir, tail) != Refusal::kNone ||
      TooLongForWindows(platform.files, done.destination)) {
    ReportCopyFailed(installer, done);
    return false;
  }
  FileStatus status = platform.files.Status(done.destination);
  std::uint64_t source_time = 0;
  TimeResult source_result = in ? in->LastWriteTime(&source_time) : TimeResult::kOpenFailed;
  if (IsNewer(status, source_result, source_time) &&
      KeepNewer(platform.shell, installer, done.destination, done.source)) {
    done.outcome = FileEvent::kKeptNewer;
    installer.events().FileDone(done);
    return true;
  }
  bool copied = in &&
                EnsureDirectory(platform.files, installer, state, DirectoryOf(done.destination)) &&
                CopyOpenFileRecorded(platform.files, installer.record, *in, done.destination,
                                     status, &done.why);
  if (copied) {
    state.written.push_back(done.destination);
    done.outcome = status.exists ? FileEvent::kReplaced : FileEvent::kCreated;
    installer.events().FileDone(done);
  } else {
    ReportCopyFailed(installer, done);
  }
  ResetAttributes(platform.files, installer.record, done.destination, copied);
  return copied;
}

}  // namespace

bool CInstaller::InstallFiles() {
  bool result = true;
  StepState state;
  if (script.FindSection(kFileSection)) {
    std::string entry;
    // A broken record stops the step: no change is made that it cannot name.
    while ((!record || !record->broken()) && script.NextEntry(&entry)) {
      if (!InstallEntry(platform_, *this, state, entry))
        result = false;
      platform_.shell.HandlePendingMessages();
    }
  }
  std::string err;
  if (!state.written.empty() && !platform_.files.SyncFiles(state.written, &err))
    result = false;
  if (record && !record->Flush())
    result = false;
  // A read error passes for the end of the file or of the section; entries
  // after it were never installed, so the step must not report success.
  if (script.ReadFailed())
    result = false;
  // The next step reopens the script; nothing is held open between steps.
  script.Close();
  return result;
}
