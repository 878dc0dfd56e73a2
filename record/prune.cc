#include "record/prune.h"

#include <memory>

#include "engine/install_record.h"
#include "engine/run_lock.h"
#include "record/record_reader.h"

namespace {

bool IsBackup(const std::string& name) {
  static const std::string kSuffix = ".bak";
  return name.size() > kSuffix.size() &&
         name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) == 0;
}

std::uint64_t SizeOf(FileSystem& files, const std::string& path) {
  std::string err;
  std::unique_ptr<InputFile> in = files.OpenRead(path, &err);
  std::uint64_t size = 0;
  char buf[65536];
  long n;
  while (in && (n = in->Read(buf, sizeof(buf))) > 0)
    size += static_cast<std::uint64_t>(n);
  return size;
}

// Appends the pruned line through a temporary and a replace, so that the
// record is never seen half written. The torn tail of a run that died is
// dropped: the reader ignores it, and the pruned line must not join it.
bool MarkPruned(FileSystem& files, const std::string& record) {
  std::string data;
  if (!ReadWholeFile(files, record, &data))
    return false;
  data.erase(data.find_last_of('\n') + 1);
  data += "pruned\n";
  std::string temp = record + kReplaceTempSuffix;
  std::string err;
  std::unique_ptr<OutputFile> out = files.CreateWrite(temp, &err);
  bool written = out && out->Write(data.data(), data.size()) && out->Flush() && out->Close();
  out.reset();
  if (written && files.Replace(temp, record, &err))
    return true;
  files.Remove(temp);
  return false;
}

}  // namespace

PruneReport PruneRecords(FileSystem& files, const std::string& hostDir, unsigned keep,
                         ILockWait* wait) {
  PruneReport report;
  std::unique_ptr<FileLock> lock;
  std::string why;
  LockResult locked = LockRuns(files, hostDir, wait, &lock, &why);
  report.busy = locked == LockResult::kBusy;
  if (locked == LockResult::kFailed)
    report.errors.push_back(why);
  if (locked != LockResult::kLocked)
    return report;
  std::vector<std::string> marked;
  std::vector<RunRecord> all = ReadRecords(files, hostDir);
  for (std::size_t i = keep; i < all.size(); ++i) {
    const RunRecord& run = all[i];
    std::vector<std::string> names;
    if (run.unreadable || !files.ListDirectory(run.folder, &names))
      continue;
    std::uint64_t freed = 0;
    bool any = false;
    for (const std::string& name : names) {
      if (!IsBackup(name))
        continue;
      std::string record = run.folder + "\\" + kRecordFileName;
      if (!any && !run.pruned) {
        if (!MarkPruned(files, record)) {
          report.errors.push_back("cannot mark " + run.folder + " as pruned");
          break;
        }
        marked.push_back(record);
      }
      any = true;
      std::string backup = run.folder + "\\" + name;
      std::uint64_t size = SizeOf(files, backup);
      if (files.Remove(backup))
        freed += size;
      else
        report.errors.push_back("cannot remove " + backup);
    }
    if (any) {
      report.pruned.emplace_back(run.folder, freed);
      report.freed += freed;
    }
  }
  std::string err;
  if (!marked.empty() && !files.SyncFiles(marked, &err))
    report.errors.push_back(err);
  return report;
}
