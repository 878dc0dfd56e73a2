#include "record/record_reader.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <map>
#include <memory>

#include "engine/confine.h"
#include "engine/install_record.h"
#include "platform/code_page.h"
#include "platform/paths.h"
#include "platform/unicode.h"

namespace {

// The longest line a record may hold; a longer one makes the record
// unreadable, so that a damaged record costs bounded memory.
const std::size_t kMaxLineLength = 64 * 1024;

// A decimal number that fits 64 bits, digits only.
bool ParseNumber(const std::string& text, std::uint64_t* value) {
  const char* end = text.data() + text.size();
  std::uint64_t parsed = 0;
  if (text.empty() || text[0] < '0' || text[0] > '9')
    return false;
  std::from_chars_result result = std::from_chars(text.data(), end, parsed);
  if (result.ec != std::errc() || result.ptr != end)
    return false;
  *value = parsed;
  return true;
}

bool HasControlByte(const std::string& text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

bool ParseFileSum(const std::string& size, const std::string& sum, FileSum* out) {
  return ParseNumber(size, &out->size) && ParseSum(sum, &out->sum);
}

// The fields of a line of format 1 in UTF-8. Its paths are in the code
// page of the system that wrote it: the ANSI code page on Windows, and on
// POSIX the script's bytes beside UTF-8 folder names. Text that is valid
// UTF-8 already is taken as such; real ANSI names almost never are.
void FieldsToUtf8(std::vector<std::string>* fields) {
  for (std::string& field : *fields) {
    if (!IsUtf8(field))
      field = AnsiToUtf8(field);
  }
}

}  // namespace

bool ReadWholeFile(FileSystem& files, const std::string& path, std::string* data) {
  std::string err;
  std::unique_ptr<InputFile> in = files.OpenRead(path, &err);
  if (!in)
    return false;
  char buf[16384];
  long n;
  while ((n = in->Read(buf, sizeof(buf))) > 0)
    data->append(buf, static_cast<std::size_t>(n));
  return n == 0;
}

namespace {

// Reads one line into the record; the fields are unescaped, `host` the
// directory that relative paths lie in.
class LineReader {
 public:
  LineReader(FileSystem& files, const std::string& host, RunRecord* record)
      : files_(files), host_(host), r_(record) {}

  // True when an undoes line named no record, or a hash line a hash this
  // reader does not know: the header does not read.
  bool bad_header() const { return bad_header_; }

  void Read(const std::vector<std::string>& f) {
    const std::string& key = f[0];
    if (f.size() == 2 && key == "hash") {
      bad_header_ |= f[1] != "xxh64";
      r_->sums = SumKind::kXxh64;
    } else if (f.size() == 3 && key == "package") {
      r_->package = f[1];
      r_->script_sum = f[2];
    } else if (f.size() == 2 && (key == "time" || key == "kind" || key == "end")) {
      (key == "time" ? r_->time : key == "kind" ? r_->kind : r_->end) = f[1];
    } else if (f.size() == 2 && key == "undoes") {
      if (!ParseRecordNumber(f[1], &r_->undoes))
        bad_header_ = true;
    } else if (f.size() == 1 && key == "pruned") {
      r_->pruned = true;
    } else if (f.size() == 2 && key == "destination") {
      std::string path = Full(f[1]);
      if (!path.empty())
        r_->destinations.push_back(path);
    } else if (f.size() == 2 && (key == "make-folder" || key == "folder-removed")) {
      // A level whose intent was written may have been made before a crash
      // kept its outcome from the record.
      std::string dir = Full(f[1]);
      if (!dir.empty())
        (key == "make-folder" ? r_->folders_made : r_->folders_removed).push_back(dir);
      else if (key == "make-folder")
        r_->passed_over.push_back(f[1]);
    } else if (f.size() == 3 && key == "link") {
      std::string link = Full(f[1]);
      if (!link.empty() && !f[2].empty() && !HasControlByte(f[2]))
        r_->links.push_back({link, f[2]});
    } else if (f.size() == 2 && key == "temporary") {
      ReadTemporary(Full(f[1]));
    } else if (!ReadFileLine(f)) {
      ReadCatalogueLine(f);
    }
  }

 private:
  // The full path of a path on record, which names a place inside
  // Kestrova's directory as the installer's destinations must; empty for
  // any other (a drive, a share, "..", "/", a control byte, which the
  // system would cut the path at), so that an edited record cannot aim an
  // undo elsewhere.
  std::string Full(const std::string& path) const {
    bool outside = path.empty() || path.find_first_of(":/") != std::string::npos ||
                   path[0] == '\\' || HasControlByte(path) || !StaysInside(files_, host_, path);
    return outside ? std::string() : host_ + path;
  }

  // A backup's full path; empty unless `name` is a plain file name.
  std::string Backup(const std::string& name) const {
    bool plain = !name.empty() && name.find_first_not_of(". ") != std::string::npos &&
                 name.find_first_of(":/\\") == std::string::npos && !HasControlByte(name);
    return plain ? r_->folder + "\\" + name : std::string();
  }

  void ReadTemporary(const std::string& path) {
    if (path.empty())
      return;
    RecordedFile file;
    file.kind = RecordedFile::kTemporary;
    file.path = path;
    temporaries_[path] = r_->files.size();
    r_->files.push_back(file);
  }

  // A copy's create or replace line is the outcome of its temporary line.
  void TemporaryDone(const std::string& path) {
    auto it = temporaries_.find(path);
    if (it == temporaries_.end())
      return;
    r_->files[it->second].done = true;
    temporaries_.erase(it);
  }

  bool ReadFileLine(const std::vector<std::string>& f) {
    const std::string& key = f[0];
    RecordedFile file;
    std::uint64_t attrs = 0;
    if (f.size() == 4 && key == "create" && ParseFileSum(f[2], f[3], &file.sum)) {
      file.kind = RecordedFile::kCreate;
    } else if (f.size() == 6 && (key == "replace" || key == "remove") &&
               ParseNumber(f[3], &attrs) && ParseFileSum(f[4], f[5], &file.sum)) {
      file.kind = key == "replace" ? RecordedFile::kReplace : RecordedFile::kRemove;
      file.backup = Backup(f[2]);
    } else if (f.size() == 3 && key == "attributes" && ParseNumber(f[2], &attrs)) {
      file.kind = RecordedFile::kAttributes;
    } else {
      return ReadOutcome(f);
    }
    file.path = Full(f[1]);
    bool no_backup = file.backup.empty() &&
                     (file.kind == RecordedFile::kReplace || file.kind == RecordedFile::kRemove);
    if (file.path.empty() || no_backup) {
      if (file.kind != RecordedFile::kAttributes)
        r_->passed_over.push_back(f[1]);
      return true;  // not understood: passed over
    }
    file.attrs = static_cast<std::uint32_t>(attrs);
    if (file.kind == RecordedFile::kCreate || file.kind == RecordedFile::kReplace)
      TemporaryDone(file.path);
    open_[file.path] = r_->files.size();
    r_->files.push_back(file);
    return true;
  }

  // An outcome line completes the latest intent on its path.
  bool ReadOutcome(const std::vector<std::string>& f) {
    static const std::map<std::string, RecordedFile::Kind> kOutcomes = {
        {"created", RecordedFile::kCreate},
        {"replaced", RecordedFile::kReplace},
        {"removed", RecordedFile::kRemove},
        {"attributes-set", RecordedFile::kAttributes}};
    auto kind = kOutcomes.find(f[0]);
    if (f.size() == 2 && f[0] == "failed") {
      auto it = open_.find(Full(f[1]));
      if (it != open_.end()) {
        r_->files[it->second].failed = true;
        open_.erase(it);
      }
      return true;
    }
    if (kind == kOutcomes.end() || f.size() < 2)
      return false;
    auto it = open_.find(Full(f[1]));
    if (it == open_.end() || r_->files[it->second].kind != kind->second)
      return true;
    RecordedFile& file = r_->files[it->second];
    file.done = true;
    if (f.size() == 3)
      ParseNumber(f[2], &file.time);
    open_.erase(it);
    return true;
  }

  void ReadCatalogueLine(const std::vector<std::string>& f) {
    RecordedCatalogue& c = r_->catalogue;
    std::uint64_t id = 0;
    if ((f.size() == 5 || f.size() == 6) && f[0] == "catalogue" &&
        ParseFileSum(f[3], f[4], &c.before)) {
      c.path = Full(f[1]);
      c.backup = Backup(f[2]);
      c.temp = f.size() == 6 ? Full(f[5]) : c.path + kReplaceTempSuffix;
      c.present = !c.path.empty() && !c.backup.empty() && !c.temp.empty();
      r_->catalogue_at = r_->files.size();
    } else if (f.size() == 3 && (f[0] == "texture" || f[0] == "texture-removed") &&
               ParseNumber(f[1], &id) && id <= 0xFFFFFFFFu) {
      c.textures.push_back({f[0] == "texture", static_cast<std::uint32_t>(id), f[2]});
    } else if (f.size() == 5 && f[0] == "catalogue-saved" && c.present &&
               ParseFileSum(f[2], f[4], &c.after) && ParseNumber(f[3], &c.time)) {
      c.saved = true;
    }
  }

  FileSystem& files_;
  std::string host_;
  RunRecord* r_;
  std::map<std::string, std::size_t> open_;
  std::map<std::string, std::size_t> temporaries_;
  bool bad_header_ = false;
};

// The lines of a record, each without its line end (LF or CR LF); a last
// line without a line feed is no line.
class RecordLines {
 public:
  explicit RecordLines(InputFile& in) : in_(in) {}

  // False at the end, on a read error or at a line longer than
  // kMaxLineLength; whole() tells the end from the others.
  bool Next(std::string* line) {
    line->clear();
    for (;;) {
      if (pos_ == size_ && !Fill())
        return false;
      const char* start = buf_ + pos_;
      const char* lf = static_cast<const char*>(std::memchr(start, '\n', size_ - pos_));
      std::size_t n = lf ? static_cast<std::size_t>(lf - start) : size_ - pos_;
      if (line->size() + n > kMaxLineLength + 1)
        return Broken();
      line->append(start, n);
      pos_ += n + (lf ? 1 : 0);
      if (!lf)
        continue;
      if (!line->empty() && line->back() == '\r')
        line->pop_back();
      return line->size() <= kMaxLineLength || Broken();
    }
  }

  bool whole() const { return whole_; }

 private:
  bool Fill() {
    long n = in_.Read(buf_, sizeof(buf_));
    if (n <= 0) {
      whole_ = n == 0;
      return false;
    }
    pos_ = 0;
    size_ = static_cast<std::size_t>(n);
    return true;
  }

  bool Broken() {
    whole_ = false;
    return false;
  }

  InputFile& in_;
  char buf_[16384];
  std::size_t pos_ = 0;
  std::size_t size_ = 0;
  bool whole_ = false;
};

}  // namespace

bool ReadRunRecord(FileSystem& files, const std::string& hostDir, unsigned number,
                   RunRecord* record) {
  *record = RunRecord();
  record->number = number;
  record->folder = hostDir + kRecordsFolder + "\\" + RecordFolderName(number);
  std::string err;
  std::unique_ptr<InputFile> in = files.OpenRead(record->folder + "\\" + kRecordFileName, &err);
  if (!in)
    return false;
  LineReader reader(files, hostDir, record);
  RecordLines lines(*in);
  std::string line;
  std::vector<std::string> fields;
  bool first = true;
  bool version1 = false;
  while (lines.Next(&line)) {
    if (first) {
      version1 = line == kRecordVersion1Line;
      if (!version1 && line != kRecordVersionLine)
        return false;
      if (version1)
        record->sums = SumKind::kFnv1a;
    } else if (SplitRecordLine(line, &fields)) {
      if (version1)
        FieldsToUtf8(&fields);
      reader.Read(fields);
    }
    first = false;
  }
  if (!record->catalogue.present)
    record->catalogue_at = record->files.size();
  return lines.whole() && !first && !reader.bad_header();
}

std::vector<RunRecord> ReadRecords(FileSystem& files, const std::string& hostDir) {
  std::vector<std::string> names;
  std::vector<RunRecord> records;
  std::string folder = hostDir + kRecordsFolder;
  if (!files.ListDirectory(folder, &names) || IsLink(files, folder))
    return records;
  std::string real = FoldCase(files.RealPath(folder)) + "\\";
  for (const std::string& name : names) {
    unsigned number = 0;
    RunRecord record;
    if (!ParseRecordNumber(name, &number) || number == 0 || RecordFolderName(number) != name)
      continue;
    // A record's folder that is a link leads elsewhere.
    if (FoldCase(files.RealPath(folder + "\\" + name)) != real + name)
      continue;
    if (!ReadRunRecord(files, hostDir, number, &record)) {
      RunRecord unreadable;
      unreadable.number = number;
      unreadable.folder = record.folder;
      unreadable.unreadable = true;
      record = unreadable;
    }
    records.push_back(record);
  }
  std::sort(records.begin(), records.end(),
            [](const RunRecord& a, const RunRecord& b) { return a.number > b.number; });
  // Newest first, so each undo's own state is settled before the record it
  // reverses is looked at.
  std::map<unsigned, bool> undone;
  for (RunRecord& record : records) {
    record.undone = undone[record.number];
    if (record.kind == "undo" && record.end == "ok" && !record.undone)
      undone[record.undoes] = true;
  }
  return records;
}

RecordSet ReadRecordSet(FileSystem& files, const std::string& hostDir) {
  RecordSet set;
  set.runs = ReadRecords(files, hostDir);
  set.host_real = files.RealPath(hostDir);
  set.records_real = files.RealPath(hostDir + kRecordsFolder);
  for (std::size_t i = 0; i < set.runs.size(); ++i) {
    const RunRecord& run = set.runs[i];
    set.at[run.number] = i;
    if (run.kind == "undo" && (run.end == "ok" || run.end == "partly"))
      set.undone_installs.insert(run.undoes);
  }
  for (auto run = set.runs.begin(); run != set.runs.end(); ++run) {
    if (run->kind != "install")
      continue;
    for (const RecordedFile& file : run->files) {
      if (file.kind == RecordedFile::kTemporary)
        continue;
      std::string key = FoldCase(file.path);
      bool writes = file.kind == RecordedFile::kCreate || file.kind == RecordedFile::kReplace;
      std::vector<unsigned>& writers = set.writers[key];
      if (writes && file.done)
        writers.push_back(run->number);
      if (!run->undone) {
        unsigned& latest = set.latest_install[key];
        latest = std::max(latest, run->number);
      }
    }
  }
  for (auto& [path, numbers] : set.writers) {
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  }
  return set;
}
