#include "record/undo.h"

#include <algorithm>
#include <set>

#include "engine/confine.h"
#include "engine/installer.h"
#include "engine/run_lock.h"
#include "engine/safe_copy.h"
#include "platform/paths.h"
#include "platform/unicode.h"
#include "record/undoer.h"

const char Undoer::kNotReachable[] = "outside Kestrova, or through a link not on record";

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
  RemoveMade(file.path);
}

void Undoer::RemoveMade(const std::string& path) {
  gone_.insert(FoldCase(path));
  placed_.erase(FoldCase(path));
  if (!Step("remove " + path))
    return;
  if (!(record_.Remove(path) && record_.Removed(path)))
    return Fail("cannot remove " + path);
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
  std::string backup = file.backup;
  std::uint32_t attrs = file.attrs;
  unsigned number = target_.number;
  while (const RecordedFile* origin = UndoneOrigin(file.path, number, old, &number)) {
    if (origin->kind == RecordedFile::kCreate)
      return RemoveMade(file.path);
    if (!ChecksumFile(files_, origin->backup, &old, SumsOf(number)))
      return Fail("cannot read the backup " + origin->backup);
    backup = origin->backup;
    attrs = origin->attrs;
  }
  placed_[FoldCase(file.path)] = old;
  if (Step("restore " + file.path))
    Restore(file.path, backup, attrs);
}

const RecordedFile* Undoer::UndoneOrigin(const std::string& path, unsigned before,
                                         const FileSum& sum, unsigned* number) const {
  std::string key = FoldCase(path);
  auto writers = all_.writers.find(key);
  if (writers == all_.writers.end())
    return nullptr;
  auto after = std::lower_bound(writers->second.begin(), writers->second.end(), before);
  if (after == writers->second.begin())
    return nullptr;
  const RunRecord& earlier = all_.runs[all_.at.at(*(after - 1))];
  for (auto file = earlier.files.rbegin(); file != earlier.files.rend(); ++file) {
    bool writes = file->kind == RecordedFile::kCreate || file->kind == RecordedFile::kReplace;
    if (!writes || !file->done || FoldCase(file->path) != key)
      continue;
    if (file->sum != sum || !UndoneSince(earlier.number))
      return nullptr;
    *number = earlier.number;
    return &*file;
  }
  return nullptr;
}

SumKind Undoer::SumsOf(unsigned number) const {
  auto at = all_.at.find(number);
  return at == all_.at.end() ? target_.sums : all_.runs[at->second].sums;
}

bool Undoer::UndoneSince(unsigned number) const {
  return all_.undone_installs.count(number) > 0;
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
  auto same = [&](const std::string& item) { return FoldCase(item) == FoldCase(file.path); };
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
  RemoveEmptyFolders(target_.folders_made);
  // An earlier install's undo left its folders that this run had put files
  // in; once this run's files are gone, they go as that undo would have
  // taken them.
  // Newest first, as a later run's folders may lie in an earlier one's.
  auto below = all_.undone_installs.lower_bound(target_.number);
  for (auto number = std::make_reverse_iterator(below);
       !failed_ && number != all_.undone_installs.rend(); ++number) {
    auto earlier = all_.at.find(*number);
    if (earlier != all_.at.end() && all_.runs[earlier->second].kind == "install")
      RemoveEmptyFolders(all_.runs[earlier->second].folders_made);
  }
}

void Undoer::RemoveEmptyFolders(const std::vector<std::string>& made) {
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

// Adds the report of one undo to that of several.
void JoinReport(const UndoReport& one, UndoReport* total) {
  auto join = [](std::string* joined, const std::string& folder) {
    if (!folder.empty())
      *joined += (joined->empty() ? "" : ", ") + folder;
  };
  join(&total->undone_folder, one.undone_folder);
  join(&total->record_folder, one.record_folder);
  total->steps.insert(total->steps.end(), one.steps.begin(), one.steps.end());
  total->errors.insert(total->errors.end(), one.errors.begin(), one.errors.end());
  std::vector<std::string>& left = total->outcome.left_alone;
  for (const std::string& item : one.outcome.left_alone) {
    if (std::find(left.begin(), left.end(), item) == left.end())
      left.push_back(item);
  }
  // The worst outcome counts: failed, then partly, then undone.
  auto rank = [](UndoStatus status) {
    return status == UndoStatus::kFailed   ? 3
           : status == UndoStatus::kPartly ? 2
           : status == UndoStatus::kUndone ? 1
                                           : 0;
  };
  if (rank(one.outcome.status) > rank(total->outcome.status))
    total->outcome.status = one.outcome.status;
}

}  // namespace

std::vector<const RunRecord*> InstallsOf(const std::vector<RunRecord>& all,
                                         const PackageIdentity& identity) {
  std::set<std::string> ours;
  for (const std::string& path : identity.destinations)
    ours.insert(FoldCase(path));
  auto same_script = [&](const RunRecord& record) {
    return record.kind == "install" && identity.script_sum != "-" &&
           record.script_sum == identity.script_sum;
  };
  // Newest first: an earlier version is older than this script's newest
  // install, so that a later package that happens to write some of the
  // same files is not taken for one.
  auto newest = std::find_if(all.begin(), all.end(), same_script);
  unsigned before = newest == all.end() ? ~0u : newest->number;
  std::vector<const RunRecord*> installs;
  for (const RunRecord& record : all) {
    if (record.kind != "install" || record.undone)
      continue;
    std::vector<std::string> paths = IdentityOf(record).destinations;
    bool earlier = record.number < before && !paths.empty() &&
                   std::all_of(paths.begin(), paths.end(), [&](const std::string& path) {
                     return ours.count(FoldCase(path)) > 0;
                   });
    if (earlier || same_script(record))
      installs.push_back(&record);
  }
  return installs;
}

PackageIdentity IdentityOf(const RunRecord& install) {
  PackageIdentity identity;
  identity.script_sum = install.script_sum;
  identity.destinations = install.destinations;
  if (identity.destinations.empty()) {
    for (const RecordedFile& file : install.files) {
      if (file.kind == RecordedFile::kCreate || file.kind == RecordedFile::kReplace)
        identity.destinations.push_back(file.path);
    }
  }
  return identity;
}

namespace {

// UndoPackage once Kestrova's lock is held (or not needed, for a dry run).
UndoReport UndoPackageLocked(Platform& platform, const std::string& hostDir,
                             const PackageIdentity& identity, const UndoOptions& options) {
  UndoReport total;
  total.outcome.status = UndoStatus::kNothingToUndo;
  std::set<unsigned> tried;
  // Read afresh after each undo, which changes what the next one sees:
  // the record it undid counts as undone then.
  for (;;) {
    RecordSet all = ReadRecordSet(platform.files, hostDir);
    std::vector<const RunRecord*> installs = InstallsOf(all.runs, identity);
    auto next = std::find_if(installs.begin(), installs.end(),
                             [&](const RunRecord* r) { return tried.count(r->number) == 0; });
    if (next == installs.end())
      break;
    tried.insert((*next)->number);
    UndoReport one = Undo(platform, hostDir, all, *next, options);
    JoinReport(one, &total);
    if (one.outcome.status == UndoStatus::kFailed)
      break;
  }
  return total;
}

}  // namespace

UndoReport UndoPackage(Platform& platform, const std::string& hostDir,
                       const PackageIdentity& identity, const UndoOptions& options) {
  std::unique_ptr<FileLock> lock;
  UndoReport busy;
  if (!LockForUndo(platform, hostDir, options, &lock, &busy))
    return busy;
  return UndoPackageLocked(platform, hostDir, identity, options);
}

namespace {

// What `act` makes of every record, read once Kestrova's lock is held.
template <typename Act>
UndoReport WithRecords(Platform& platform, const std::string& hostDir, const UndoOptions& options,
                       Act act) {
  std::unique_ptr<FileLock> lock;
  UndoReport busy;
  if (!LockForUndo(platform, hostDir, options, &lock, &busy))
    return busy;
  return act(ReadRecordSet(platform.files, hostDir));
}

}  // namespace

UndoReport UndoLatest(Platform& platform, const std::string& hostDir, const std::string& name,
                      const UndoOptions& options) {
  return WithRecords(platform, hostDir, options, [&](const RecordSet& all) {
    for (const RunRecord& record : all.runs) {
      if (record.kind != "install" || record.undone || FoldCase(record.package) != FoldCase(name))
        continue;
      PackageIdentity identity = IdentityOf(record);
      // A record that names neither tells of no other install.
      if (identity.script_sum == "-" && identity.destinations.empty())
        return Undo(platform, hostDir, all, &record, options);
      return UndoPackageLocked(platform, hostDir, identity, options);
    }
    UndoReport report;
    report.outcome.status = UndoStatus::kNothingToUndo;
    return report;
  });
}

UndoReport UndoInSet(Platform& platform, const std::string& hostDir, const RecordSet& all,
                     const RunRecord& target, const UndoOptions& options) {
  return Undo(platform, hostDir, all, &target, options);
}

UndoReport UndoRun(Platform& platform, const std::string& hostDir, unsigned number,
                   const UndoOptions& options) {
  return WithRecords(platform, hostDir, options, [&](const RecordSet& all) {
    const RunRecord* target = nullptr;
    for (const RunRecord& record : all.runs) {
      if (record.number == number)
        target = &record;
    }
    return Undo(platform, hostDir, all, target, options);
  });
}
