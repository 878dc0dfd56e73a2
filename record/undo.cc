#include "record/undo.h"

#include <algorithm>

#include "engine/confine.h"
#include "engine/installer.h"
#include "engine/run_lock.h"
#include "engine/safe_copy.h"
#include "platform/paths.h"
#include "platform/unicode.h"
#include "record/undoer.h"

const char Undoer::kNotReachable[] = "outside Kestrova, or through a link not on record";

namespace {

std::string DirectoryOf(const std::string& path) {
  std::string::size_type slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

Undoer::Undoer(Platform& platform, const std::string& hostDir, const UndoOptions& options,
               const RecordSet& all, const RunRecord& target, UndoReport* report)
    : platform_(platform),
      files_(platform.files),
      host_(hostDir),
      options_(options),
      all_(all),
      target_(target),
      report_(report),
      record_(platform.files, hostDir) {}

void Undoer::Run() {
  report_->undone_folder = target_.folder;
  if (!options_.dry_run) {
    if (!record_.Begin("undo", target_.package, target_.script_sum, platform_.shell.Now(),
                       RecordFolderName(target_.number))) {
      report_->errors.push_back("the undo's record cannot be written: " + record_.folder());
      report_->outcome.status = UndoStatus::kFailed;
      return;
    }
    report_->record_folder = record_.folder();
  }
  for (const std::string& path : target_.passed_over)
    LeaveAlone(path, "not inside Kestrova's folder");
  RemakeFolders();
  // In the reverse order of the run: a catalogue the package shipped as a
  // file was replaced by the file step before the texture step saved it.
  UndoFiles(target_.files.size(), target_.catalogue_at);
  if (!failed_)
    UndoCatalogue();
  UndoFiles(target_.catalogue_at, 0);
  if (!failed_)
    RemoveFolders();
  bool partly = !report_->outcome.left_alone.empty();
  if (!options_.dry_run)
    Finish();
  report_->outcome.status = failed_  ? UndoStatus::kFailed
                            : partly ? UndoStatus::kPartly
                                     : UndoStatus::kUndone;
}

void Undoer::UndoFiles(std::size_t from, std::size_t to) {
  for (std::size_t i = from; i > to && !failed_; --i)
    UndoFile(target_.files[i - 1]);
}

// Makes what the undo wrote durable, sets Scan and ends the record; the
// undo counts only once all of that is done.
void Undoer::Finish() {
  std::string err;
  // A file restored and then removed again is no longer there to sync.
  written_.erase(
      std::remove_if(written_.begin(), written_.end(),
                     [&](const std::string& path) { return gone_.count(FoldCase(path)); }),
      written_.end());
  if (!written_.empty() && !files_.SyncFiles(written_, &err))
    Fail(err);
  if (options_.set_scan)
    UpdateScan(platform_.registry, &record_);
  bool partly = !report_->outcome.left_alone.empty();
  if (!record_.Finish(failed_ ? "failed" : partly ? "partly" : "ok"))
    Fail("the undo's record cannot be written: " + record_.folder());
}

bool Undoer::Overlapped(const std::string& path) const {
  auto latest = all_.latest_install.find(FoldCase(path));
  return latest != all_.latest_install.end() && latest->second > target_.number;
}

bool Undoer::Holds(const std::string& path, const FileSum& sum, std::uint64_t time) {
  FileSum now;
  std::uint64_t now_time = 0;
  if (!ChecksumFile(files_, path, &now, target_.sums) || now != sum)
    return false;
  return time == 0 ||
         (files_.LastWriteTime(path, &now_time) == TimeResult::kOk && now_time == time);
}

bool Undoer::HoldsNow(const std::string& path, const FileSum& sum, std::uint64_t time) {
  auto placed = placed_.find(FoldCase(path));
  return placed != placed_.end() ? placed->second == sum : Holds(path, sum, time);
}

bool Undoer::Present(const std::string& path) {
  std::uint32_t attrs = 0;
  return files_.Exists(path) || files_.GetAttributes(path, &attrs);
}

bool Undoer::Step(const std::string& text) {
  report_->steps.push_back(text);
  return !options_.dry_run;
}

void Undoer::LeaveAlone(const std::string& item, const std::string& why) {
  report_->outcome.left_alone.push_back(item);
  report_->steps.push_back("leave " + item + " (" + why + ")");
}

bool Undoer::Reachable(const std::string& path) {
  std::string real = files_.RealPath(path);
  if (real.empty())
    return false;
  if (RealPathWithin(real, all_.host_real) && !RealPathWithin(real, all_.records_real))
    return true;
  std::string key = FoldCase(path);
  for (const RecordedLink& link : target_.links) {
    std::string prefix = FoldCase(link.path) + "\\";
    if (key.compare(0, prefix.size(), prefix) == 0 && RealPathWithin(real, link.target) &&
        FoldCase(files_.RealPath(link.path)) == FoldCase(link.target))
      return true;
  }
  return false;
}

bool Undoer::IsOwnBackup(const std::string& backup) {
  std::string real = files_.RealPath(backup);
  return !real.empty() && RealPathWithin(real, files_.RealPath(target_.folder));
}

void Undoer::Fail(const std::string& what) {
  failed_ = true;
  report_->errors.push_back(what);
}

void Undoer::UndoFile(const RecordedFile& file) {
  if (!Reachable(file.path))
    return LeaveAlone(file.path, kNotReachable);
  bool with_backup = file.kind == RecordedFile::kReplace || file.kind == RecordedFile::kRemove;
  if (with_backup && Present(file.backup) && !IsOwnBackup(file.backup))
    return LeaveAlone(file.path, kNotReachable);
  // The temporary of a copy that never finished is the run's own half file.
  std::string temp = file.path + kReplaceTempSuffix;
  if (!file.done && file.kind != RecordedFile::kAttributes && Present(temp) &&
      Step("remove " + temp) && !files_.Remove(temp))
    return Fail("cannot remove " + temp);
  if (file.failed)
    return;  // the change was never made
  switch (file.kind) {
    case RecordedFile::kCreate:
      return UndoCreate(file);
    case RecordedFile::kReplace:
      return UndoReplace(file);
    case RecordedFile::kRemove:
      return UndoRemove(file);
    case RecordedFile::kAttributes:
      return UndoAttributes(file);
    case RecordedFile::kTemporary:
      return;
  }
}

void Undoer::UndoCreate(const RecordedFile& file) {
  if (!Present(file.path))
    return;
  bool ours = HoldsNow(file.path, file.sum, file.done ? file.time : 0) && !Overlapped(file.path);
  if (!ours && !options_.force)
    return LeaveAlone(file.path);
  gone_.insert(FoldCase(file.path));
  placed_.erase(FoldCase(file.path));
  if (!Step("remove " + file.path))
    return;
  if (!(record_.Remove(file.path) && record_.Removed(file.path)))
    return Fail("cannot remove " + file.path);
  written_.push_back(record_.LastBackup());
}

void Undoer::UndoReplace(const RecordedFile& file) {
  FileSum old;
  if (!ChecksumFile(files_, file.backup, &old, target_.sums))
    return Fail("cannot read the backup " + file.backup);
  bool exists = Present(file.path);
  if (exists && HoldsNow(file.path, old, 0))
    return RestoreAttributes(file.path, file.attrs);  // as it was before the run
  bool ours =
      exists && HoldsNow(file.path, file.sum, file.done ? file.time : 0) && !Overlapped(file.path);
  bool force = options_.force &&
               !(catalogue_changed_ && FoldCase(file.path) == FoldCase(target_.catalogue.path));
  if (!ours && !force)
    return LeaveAlone(file.path);
  placed_[FoldCase(file.path)] = old;
  if (Step("restore " + file.path))
    Restore(file.path, file.backup, file.attrs);
}

void Undoer::UndoRemove(const RecordedFile& file) {
  if (Present(file.path)) {
    if (HoldsNow(file.path, file.sum, 0))
      return RestoreAttributes(file.path, file.attrs);
    if (!options_.force)
      return LeaveAlone(file.path);
  }
  if (!Present(file.backup)) {
    // The move never happened, or a later hand took the file away.
    if (file.done)
      Fail("the backup is missing: " + file.backup);
    return;
  }
  placed_[FoldCase(file.path)] = file.sum;
  if (Step("restore " + file.path))
    Restore(file.path, file.backup, file.attrs);
}

void Undoer::UndoAttributes(const RecordedFile& file) {
  std::uint32_t now = 0;
  if (!files_.GetAttributes(file.path, &now)) {
    if (files_.Exists(file.path))
      Fail("cannot read the attributes of " + file.path);
    return;
  }
  if (now == file.attrs)
    return;
  // A file whose content this undo left alone keeps its attributes too.
  const std::vector<std::string>& left = report_->outcome.left_alone;
  auto same = [&](const std::string& item) { return LowerAscii(item) == LowerAscii(file.path); };
  if (!options_.force && std::any_of(left.begin(), left.end(), same))
    return;
  if (Overlapped(file.path) && !options_.force)
    return LeaveAlone(file.path);
  if (Step("set the attributes of " + file.path) &&
      !(record_.Attributes(file.path, now) && files_.SetAttributes(file.path, file.attrs) &&
        record_.AttributesSet(file.path)))
    Fail("cannot set the attributes of " + file.path);
}

void Undoer::Restore(const std::string& path, const std::string& backup, std::uint32_t attrs) {
  std::uint32_t now = 0;
  // The copy refuses a read-only destination, as Windows does.
  if (files_.IsReadOnly(path) &&
      !(files_.GetAttributes(path, &now) && record_.Attributes(path, now) &&
        files_.SetNormalAttributes(path) && record_.AttributesSet(path)))
    return Fail("cannot make " + path + " writable");
  if (!EnsureParent(path) || !CopyFileRecorded(files_, &record_, backup, path))
    return Fail("cannot restore " + path + " from " + backup);
  gone_.erase(FoldCase(path));
  written_.push_back(path);
  if (!files_.SetAttributes(path, attrs))
    Fail("cannot set the attributes of " + path);
}

void Undoer::RestoreAttributes(const std::string& path, std::uint32_t attrs) {
  // The copy that put the file back leaves it plain; an undo cut short
  // after it has only the attributes left to do.
  std::uint32_t now = 0;
  if (files_.GetAttributes(path, &now) && now != attrs && Step("set the attributes of " + path) &&
      !files_.SetAttributes(path, attrs))
    Fail("cannot set the attributes of " + path);
}

bool Undoer::EnsureParent(const std::string& path) {
  std::string dir = DirectoryOf(path);
  return Present(dir) || MakeFoldersRecorded(files_, &record_, dir);
}

void Undoer::RemakeFolders() {
  const std::vector<std::string>& removed = target_.folders_removed;
  for (auto dir = removed.rbegin(); dir != removed.rend(); ++dir) {
    if (Present(*dir))
      continue;
    if (!Reachable(*dir)) {
      LeaveAlone(*dir, kNotReachable);
      continue;
    }
    if (!Step("make folder " + *dir))
      continue;
    if (!(record_.MakeFolder(*dir) && files_.MakeDirectory(*dir) == DirResult::kCreated &&
          record_.FolderMade(*dir)))
      return Fail("cannot make the folder " + *dir);
  }
}

void Undoer::RemoveFolders() {
  const std::vector<std::string>& made = target_.folders_made;
  std::vector<std::string> names;
  for (auto dir = made.rbegin(); dir != made.rend(); ++dir) {
    // Only a dry run goes by names: a folder that differs from a removed
    // one in case alone may still be there.
    if (options_.dry_run && gone_.count(FoldCase(*dir)))
      continue;
    if (!Reachable(*dir)) {
      LeaveAlone(*dir, kNotReachable);
      continue;
    }
    if (!files_.ListDirectory(*dir, &names)) {
      if (Present(*dir))
        return Fail("cannot read the folder " + *dir);
      continue;
    }
    // A dry run removes nothing, so what it would have removed counts as gone.
    bool empty = !options_.dry_run
                     ? names.empty()
                     : std::all_of(names.begin(), names.end(), [&](const std::string& name) {
                         return gone_.count(FoldCase(*dir + "\\" + name)) > 0;
                       });
    if (!empty)
      continue;
    gone_.insert(FoldCase(*dir));
    if (!Step("remove folder " + *dir))
      continue;
    if (!files_.RemoveEmptyDirectory(*dir) || !record_.FolderRemoved(*dir))
      return Fail("cannot remove the folder " + *dir);
  }
}

namespace {

// Takes Kestrova's lock for an undo that changes anything; false, with the
// report filled in, when it was not taken.
bool LockForUndo(Platform& platform, const std::string& hostDir, const UndoOptions& options,
                 std::unique_ptr<FileLock>* lock, UndoReport* report) {
  if (options.dry_run)
    return true;
  std::string err;
  switch (LockRuns(platform.files, hostDir, options.wait, lock, &err)) {
    case LockResult::kLocked:
      return true;
    case LockResult::kBusy:
      report->outcome.status = UndoStatus::kBusy;
      return false;
    case LockResult::kFailed:
      break;
  }
  report->outcome.status = UndoStatus::kFailed;
  report->errors.push_back(err);
  return false;
}

UndoReport Undo(Platform& platform, const std::string& hostDir, const RecordSet& all,
                const RunRecord* target, const UndoOptions& options) {
  UndoReport report;
  if (!target || target->undone) {
    report.outcome.status = UndoStatus::kNothingToUndo;
    if (target)
      report.undone_folder = target->folder;
    return report;
  }
  report.undone_folder = target->folder;
  if (target->unreadable || target->pruned) {
    report.errors.push_back(target->folder + (target->unreadable ? ": the record cannot be read"
                                                                 : ": its backups were pruned"));
    return report;
  }
  Undoer(platform, hostDir, options, all, *target, &report).Run();
  return report;
}

}  // namespace

UndoReport UndoLatest(Platform& platform, const std::string& hostDir, const std::string& name,
                      const UndoOptions& options) {
  std::unique_ptr<FileLock> lock;
  UndoReport busy;
  if (!LockForUndo(platform, hostDir, options, &lock, &busy))
    return busy;
  RecordSet all = ReadRecordSet(platform.files, hostDir);
  const RunRecord* target = nullptr;
  for (const RunRecord& record : all.runs) {
    if (!target && record.kind == "install" && !record.undone &&
        FoldCase(record.package) == FoldCase(name))
      target = &record;
  }
  return Undo(platform, hostDir, all, target, options);
}

UndoReport UndoInSet(Platform& platform, const std::string& hostDir, const RecordSet& all,
                     const RunRecord& target, const UndoOptions& options) {
  return Undo(platform, hostDir, all, &target, options);
}

UndoReport UndoRun(Platform& platform, const std::string& hostDir, unsigned number,
                   const UndoOptions& options) {
  std::unique_ptr<FileLock> lock;
  UndoReport busy;
  if (!LockForUndo(platform, hostDir, options, &lock, &busy))
    return busy;
  RecordSet all = ReadRecordSet(platform.files, hostDir);
  const RunRecord* target = nullptr;
  for (const RunRecord& record : all.runs) {
    if (record.number == number)
      target = &record;
  }
  return Undo(platform, hostDir, all, target, options);
}

UndoOutcome UndoLatestInstall(Platform& platform, const std::string& hostDir,
                              const std::string& name, const UndoOptions& options) {
  return UndoLatest(platform, hostDir, name, options).outcome;
}
