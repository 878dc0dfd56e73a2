#include "engine/install_record.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <set>

#include "engine/confine.h"
#include "engine/file_ops.h"
#include "engine/package_identity.h"
#include "engine/safe_copy.h"
#include "platform/hex.h"
#include "platform/paths.h"
#include "platform/unicode.h"

const char kRecordsFolder[] = "Packwright";
const char kRecordFileName[] = "Record.txt";
const char kRecordVersionLine[] = "packwright-record\t2";
const char kRecordVersion1Line[] = "packwright-record\t1";
const char kRecordHashName[] = "xxh64";

namespace {

// The highest number that a record's folder can have and still be read
// back (ParseRecordNumber takes nine digits).
const unsigned kHighestRecordNumber = 999999999;

// The number of the next run's folder: one above the highest among `names`
// that reads back as a run's folder; past the limit, the lowest that no
// name takes.
unsigned NextNumber(const std::vector<std::string>& names) {
  unsigned highest = 0;
  for (const std::string& name : names) {
    unsigned number = 0;
    if (ParseRecordNumber(name, &number) && RecordFolderName(number) == name)
      highest = std::max(highest, number);
  }
  if (highest < kHighestRecordNumber)
    return highest + 1;
  std::set<std::string> taken(names.begin(), names.end());
  unsigned number = 1;
  while (taken.count(RecordFolderName(number)))
    ++number;
  return number;
}

std::string TimeOf(FileSystem& files, const std::string& path) {
  std::uint64_t time = 0;
  if (files.LastWriteTime(path, &time) != TimeResult::kOk)
    time = 0;
  return std::to_string(time);
}

// Whether the copy replaces a file, or refuses: a read-only destination,
// or one that cannot be examined, as Windows refuses to copy onto one
// (no backup is taken for it), and a folder.
bool Refused(const FileStatus& status) {
  return status.read_only || status.folder;
}

}  // namespace

std::string EscapeField(const std::string& text) {
  std::string out;
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || c == '%') {
      char hex[4];
      std::snprintf(hex, sizeof(hex), "%%%02X", byte);
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

bool UnescapeField(const std::string& text, std::string* out) {
  out->clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      *out += text[i];
      continue;
    }
    std::uint64_t byte = 0;
    if (i + 2 >= text.size() || !ParseHex(std::string_view(text).substr(i + 1, 2), 2, &byte))
      return false;
    *out += static_cast<char>(byte);
    i += 2;
  }
  return true;
}

bool SplitRecordLine(const std::string& line, std::vector<std::string>* fields) {
  fields->clear();
  std::size_t start = 0;
  for (;;) {
    std::size_t tab = line.find('\t', start);
    std::string field;
    if (!UnescapeField(line.substr(start, tab - start), &field))
      return false;
    fields->push_back(field);
    if (tab == std::string::npos)
      return true;
    start = tab + 1;
  }
}

std::string RecordFolderName(unsigned number) {
  char name[16];
  std::snprintf(name, sizeof(name), "%04u", number);
  return name;
}

std::string RunCatalogueTemp(const std::string& path, const std::string& folder) {
  return path + "." + folder + kReplaceTempSuffix;
}

bool ParseRecordNumber(const std::string& text, unsigned* number) {
  if (text.empty() || text.size() > 9 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  std::from_chars(text.data(), text.data() + text.size(), *number);
  return true;
}

CInstallRecord::CInstallRecord(FileSystem& files, const std::string& hostDir)
    : files_(files), host_(hostDir) {}

CInstallRecord::~CInstallRecord() = default;

bool CInstallRecord::Begin(const std::string& kind, const std::string& package,
                           const std::string& scriptSum, const std::string& time,
                           const std::string& undoes) {
  std::string records = host_ + kRecordsFolder;
  std::vector<std::string> names;
  bool records_made = files_.MakeDirectory(records) != DirResult::kFailed;
  if (!records_made || !files_.ListDirectory(records, &names))
    names.clear();
  unsigned number = NextNumber(names);
  folder_ = records + "\\" + RecordFolderName(number);
  // A record reached through a link would be written elsewhere.
  if (IsLink(files_, records))
    return Fail();
  // A folder of that number made meanwhile by another run is not ours.
  DirResult made = files_.MakeDirectory(folder_);
  if (made == DirResult::kFailed)
    unwritable_ = records_made ? records : host_.substr(0, host_.size() - 1);
  std::string err;
  if (made != DirResult::kCreated || IsLink(files_, folder_) ||
      !(out_ = files_.CreateWrite(folder_ + "\\" + kRecordFileName, &err)))
    return Fail();
  if (!Line({kRecordVersionLine}) || !Line({"hash", kRecordHashName}) ||
      !Line({"package", package, scriptSum}) || !Line({"time", time}) || !Line({"kind", kind}))
    return false;
  return undoes.empty() || Line({"undoes", undoes});
}

bool CInstallRecord::Fail() {
  broken_ = true;
  return false;
}

bool CInstallRecord::Line(const std::vector<std::string>& fields, bool outcome) {
  if (broken_ || !out_)
    return Fail();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    // The version line carries its own tab.
    waiting_ += i == 0 ? fields[i] : "\t" + EscapeField(fields[i]);
  }
  waiting_ += '\n';
  if (outcome)
    return true;
  bool written = out_->Write(waiting_.data(), waiting_.size());
  waiting_.clear();
  return written || Fail();
}

std::string CInstallRecord::Relative(const std::string& path) const {
  return RecordPath(files_, host_, path);
}

std::string CInstallRecord::LastBackup() const {
  return backups_ == 0 ? std::string() : folder_ + "\\" + std::to_string(backups_) + ".bak";
}

bool CInstallRecord::FileLine(const char* keyword, const std::string& path, bool outcome) {
  return Line({keyword, Relative(path)}, outcome);
}

bool CInstallRecord::TakeBackup(const std::string& path, bool move, std::string* name) {
  *name = std::to_string(++backups_) + ".bak";
  std::string backup = folder_ + "\\" + *name;
  std::string err;
  if (move)
    return files_.Replace(path, backup, &err);
  return files_.Copy(path, backup, &err) && files_.FlushFile(backup, &err);
}

bool CInstallRecord::Links(const std::string& path) {
  std::string rel = Relative(path);
  if (rel.empty() || rel[0] == '\\' || (rel.size() > 1 && rel[1] == ':'))
    return !broken_;  // outside Kestrova: never undone
  for (std::string::size_type slash = rel.find('\\'); slash != std::string::npos;
       slash = rel.find('\\', slash + 1)) {
    std::string folder = rel.substr(0, slash);
    if (!looked_at_.insert(FoldCase(folder)).second || !IsLink(files_, host_ + folder))
      continue;
    std::string target = files_.RealPath(host_ + folder);
    if (!target.empty() && !Line({"link", folder, target}))
      return false;
  }
  return !broken_;
}

bool CInstallRecord::Destination(const std::string& path) {
  // Waits like an outcome, so that a script's thousands of entries cost no
  // write each: until the first intent nothing has changed that the lines
  // would be needed for.
  return FileLine("destination", path, true);
}

bool CInstallRecord::MakeFolder(const std::string& dir) {
  return Links(dir) && FileLine("make-folder", dir);
}

bool CInstallRecord::FolderMade(const std::string& level) {
  return FileLine("folder-made", level, true);
}

bool CInstallRecord::Create(const std::string& path, const FileSum& written) {
  return Links(path) &&
         Line({"create", Relative(path), std::to_string(written.size), SumText(written.sum)});
}

bool CInstallRecord::Temporary(const std::string& path) {
  return FileLine("temporary", path);
}

bool CInstallRecord::Created(const std::string& path, std::uint64_t time) {
  return Line({"created", Relative(path), std::to_string(time)}, true);
}

bool CInstallRecord::Replace(const std::string& path, const FileSum& written) {
  std::uint32_t attrs = 0;
  std::string name;
  if (broken_ || !Links(path))
    return false;
  // A destination that cannot be examined or backed up (a folder, say) is
  // left alone: the entry fails, the record does not.
  if (!files_.GetAttributes(path, &attrs) || !TakeBackup(path, false, &name)) {
    if (!name.empty())
      files_.Remove(folder_ + "\\" + name);
    Failed(path);
    return false;
  }
  return Line({"replace", Relative(path), name, std::to_string(attrs), std::to_string(written.size),
               SumText(written.sum)}) &&
         Flush();
}

bool CInstallRecord::Replaced(const std::string& path, std::uint64_t time) {
  return Line({"replaced", Relative(path), std::to_string(time)}, true);
}

bool CInstallRecord::Failed(const std::string& path) {
  return FileLine("failed", path, true);
}

bool CInstallRecord::Remove(const std::string& path) {
  std::uint32_t attrs = 0;
  FileSum old;
  if (!Links(path) || !files_.GetAttributes(path, &attrs) || !ChecksumFile(files_, path, &old))
    return Fail();
  std::string name = std::to_string(backups_ + 1) + ".bak";
  if (!Line({"remove", Relative(path), name, std::to_string(attrs), std::to_string(old.size),
             SumText(old.sum)}) ||
      !Flush())
    return false;
  return TakeBackup(path, true, &name) || Fail();
}

bool CInstallRecord::Removed(const std::string& path) {
  return FileLine("removed", path, true);
}

bool CInstallRecord::Attributes(const std::string& path, std::uint32_t old_attrs) {
  return Links(path) && Line({"attributes", Relative(path), std::to_string(old_attrs)});
}

bool CInstallRecord::AttributesSet(const std::string& path) {
  return FileLine("attributes-set", path, true);
}

bool CInstallRecord::FolderRemoved(const std::string& dir) {
  return FileLine("folder-removed", dir, true);
}

bool CInstallRecord::Catalogue(const std::string& path) {
  std::string name;
  FileSum old;
  if (!Links(path) || !TakeBackup(path, false, &name) ||
      !ChecksumFile(files_, folder_ + "\\" + name, &old))
    return Fail();
  return Line({"catalogue", Relative(path), name, std::to_string(old.size), SumText(old.sum),
               Relative(CatalogueTemp(path))});
}

std::string CInstallRecord::CatalogueTemp(const std::string& path) const {
  return RunCatalogueTemp(path, folder_.substr(folder_.rfind('\\') + 1));
}

bool CInstallRecord::Texture(const char* keyword, std::uint32_t id, const std::string& text) {
  return Line({keyword, std::to_string(id), text});
}

bool CInstallRecord::CatalogueSaved(const std::string& path) {
  FileSum saved;
  if (broken_ || !ChecksumFile(files_, path, &saved))
    return Fail();
  return Line({"catalogue-saved", Relative(path), std::to_string(saved.size), TimeOf(files_, path),
               SumText(saved.sum)});
}

bool CInstallRecord::Scan(const char* keyword, const std::string& value) {
  return Line({keyword, value});
}

bool CInstallRecord::Flush() {
  if (broken_ || !out_)
    return Fail();
  if (!waiting_.empty() && !out_->Write(waiting_.data(), waiting_.size()))
    return Fail();
  waiting_.clear();
  return out_->Flush() || Fail();
}

bool CInstallRecord::Finish(const std::string& outcome) {
  if (!Line({"end", outcome}) || !Flush())
    return false;
  bool closed = out_->Close();
  out_.reset();
  return closed || Fail();
}

bool MakeFoldersRecorded(FileSystem& files, CInstallRecord* record, const std::string& dir,
                         std::vector<std::string>* made) {
  if (!record)
    return CreateDirectoryTree(files, dir, made);
  std::vector<std::string> missing;
  std::uint32_t attrs = 0;
  // Two probes, so that one failing call cannot put a folder that was there
  // on record as made (an undo would remove it once empty).
  for (std::string level = dir;
       level.size() > 3 && !files.Exists(level) && !files.GetAttributes(level, &attrs);) {
    missing.push_back(level);
    level = DirectoryOf(level);
  }
  for (auto level = missing.rbegin(); level != missing.rend(); ++level) {
    if (!record->MakeFolder(*level))
      return false;
  }
  std::vector<std::string> levels;
  bool ok = CreateDirectoryTree(files, dir, &levels);
  for (const std::string& level : levels)
    ok = record->FolderMade(level) && ok;
  if (made)
    made->insert(made->end(), levels.begin(), levels.end());
  return ok;
}

bool CopyOpenFileRecorded(FileSystem& files, CInstallRecord* record, InputFile& from,
                          const std::string& to, const FileStatus& status, std::string* why) {
  if (record && record->broken())
    return false;
  if (Refused(status)) {
    if (record)
      record->Failed(to);  // refused by the copy as well; no backup is taken for it
    return false;
  }
  bool replaces = status.exists;
  std::string temp = to + kReplaceTempSuffix;
  std::string err;
  CopyResult copy;
  if (record && !record->Temporary(to))
    return false;
  // A source that does not read would not copy either; it is no record
  // failure.
  if (!WriteTemporary(files, from, temp, replaces, &copy, &err)) {
    if (record)
      record->Failed(to);
    if (why)
      *why = err;
    return false;
  }
  if (record &&
      !(replaces ? record->Replace(to, copy.written) : record->Create(to, copy.written))) {
    DiscardTemporary(files, temp);
    return false;
  }
  if (!PutInPlace(files, temp, to, &err)) {
    if (record)
      record->Failed(to);
    if (why)
      *why = err;
    return false;
  }
  return !record || (replaces ? record->Replaced(to, copy.time) : record->Created(to, copy.time));
}

bool CopyFileRecorded(FileSystem& files, CInstallRecord* record, const std::string& from,
                      const std::string& to) {
  std::string err;
  std::unique_ptr<InputFile> in = files.OpenRead(from, &err);
  return in && CopyOpenFileRecorded(files, record, *in, to, files.Status(to));
}
