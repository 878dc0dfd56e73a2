// Choosing and summing what goes into a package's zip.
#include <algorithm>
#include <memory>
#include <set>

#include "engine/install_script.h"
#include "engine/kestrova_names.h"
#include "engine/seal.h"
#include "platform/code_page.h"
#include "platform/dos_time.h"
#include "platform/paths.h"
#include "platform/unicode.h"
#include "platform/xxhash64.h"
#include "tool/check.h"
#include "tool/pack.h"
#include "tool/zip_writer.h"

namespace {

const char kProgramName[] = "Packwright.exe";

// The sources of section Dateinstallation as the engine reads them.
bool ScriptSources(FileSystem& files, const std::string& script, std::vector<std::string>* out,
                   std::string* err) {
  CInstallScript reader(files);
  reader.CheckOpen(script);
  std::string text;
  if (reader.FindSection(kFileSection)) {
    while (reader.NextEntry(&text)) {
      std::size_t mark = text.find(">>");
      if (mark != std::string::npos)
        out->push_back(AnsiToUtf8(text.substr(0, mark)));
    }
  }
  bool failed = reader.ReadFailed();
  reader.Close();
  if (failed)
    *err = "cannot read " + script;
  return !failed;
}

// Reads `file.path` once: its seal sum, CRC-32 and last-write time.
bool SumFile(FileSystem& files, PackedFile* file, std::string* err) {
  std::unique_ptr<InputFile> in = files.OpenRead(file->path, err);
  if (!in || files.LastWriteTime(file->path, &file->time) != TimeResult::kOk) {
    *err = "cannot read " + file->path;
    return false;
  }
  Xxh64 hash;
  std::unique_ptr<char[]> buf(new char[256 * 1024]);
  for (long n; (n = in->Read(buf.get(), 256 * 1024)) != 0;) {
    if (n < 0) {
      *err = "cannot read " + file->path;
      return false;
    }
    hash.Update(buf.get(), static_cast<std::size_t>(n));
    file->crc = Crc32(file->crc, buf.get(), static_cast<std::size_t>(n));
    file->sum.size += static_cast<std::uint64_t>(n);
  }
  file->sum.sum = hash.Digest();
  return LocalDosTime(file->time, &file->dos_time) ||
         (*err = "no local time for " + file->path, false);
}

void SetBytes(PackedFile* file, std::string bytes) {
  file->bytes = std::move(bytes);
  file->sum.size = file->bytes.size();
  file->sum.sum = Xxh64::Of(file->bytes.data(), file->bytes.size());
  file->crc = Crc32(0, file->bytes.data(), file->bytes.size());
}

bool ReadAll(FileSystem& files, const std::string& path, std::string* out, std::string* err) {
  std::unique_ptr<InputFile> in = files.OpenRead(path, err);
  char buf[16 * 1024];
  for (long n = 0; in && (n = in->Read(buf, sizeof buf)) > 0;)
    out->append(buf, static_cast<std::size_t>(n));
  return in != nullptr;
}

// The script with the seal's remark on a line of its own at its top, after
// any byte order mark, ended as the script's lines are.
std::string Remarked(const std::string& script) {
  if (HasSealRemark(script))
    return script;
  std::size_t bom = script.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  std::size_t lf = script.find('\n');
  bool crlf = lf == std::string::npos || (lf > 0 && script[lf - 1] == '\r');
  return script.substr(0, bom) + kSealRemark + (crlf ? "\r\n" : "\n") + script.substr(bom);
}

// The files named by the script, and Packwright.exe, summed.
bool AddPackageFiles(FileSystem& files, const std::string& package, const std::string& exe,
                     PackList* list, std::string* err) {
  std::vector<std::string> sources;
  if (!ScriptSources(files, package + "\\" + kScriptFileName, &sources, err))
    return false;
  std::set<std::string> seen = {FoldCase(kScriptFileName), FoldCase(kSealName)};
  bool has_program = files.Exists(package + "\\" + kProgramName);
  sources.push_back(kProgramName);
  for (const std::string& source : sources) {
    if (!IsPackageName(source)) {
      *err = "'" + source + "' lies outside the package folder, so it cannot be packed in it";
      return false;
    }
    if (!seen.insert(FoldCase(source)).second)
      continue;
    PackedFile file;
    file.name = source;
    file.path = source == kProgramName && !has_program ? exe : package + "\\" + source;
    if (!SumFile(files, &file, err))
      return false;
    list->files.push_back(file);
  }
  return true;
}

}  // namespace

bool ListPack(FileSystem& files, const std::string& package, const std::string& exe, PackList* list,
              std::string* err) {
  bool has_program = files.Exists(package + "\\" + kProgramName);
  if (!AddPackageFiles(files, package, exe, list, err))
    return false;
  PackedFile script;
  script.name = kScriptFileName;
  script.path = package + "\\" + kScriptFileName;
  std::string original;
  if (!SumFile(files, &script, err) || !ReadAll(files, script.path, &original, err))
    return false;
  std::uint64_t newest = script.time;
  for (const PackedFile& file : list->files) {
    if (file.name != kProgramName || has_program)
      newest = std::max(newest, file.time);
  }
  std::uint32_t newest_dos = 0;
  if (!LocalDosTime(newest, &newest_dos)) {
    *err = "no local time for the newest file";
    return false;
  }
  for (PackedFile& file : list->files) {
    if (file.name == kProgramName && !has_program)
      file.dos_time = newest_dos;
  }
  std::string remarked = Remarked(original);
  if (remarked != original) {
    script.path.clear();
    SetBytes(&script, remarked);
    script.dos_time = newest_dos;
  }
  list->files.push_back(script);
  std::sort(list->files.begin(), list->files.end(),
            [](const PackedFile& a, const PackedFile& b) { return a.name < b.name; });
  std::vector<SealLine> lines;
  for (const PackedFile& file : list->files) {
    if (file.name != kProgramName)
      lines.push_back({file.sum, file.name});
  }
  PackedFile seal;
  seal.name = kSealName;
  SetBytes(&seal, SealText(lines));
  seal.dos_time = newest_dos;
  list->files.push_back(seal);
  std::sort(list->files.begin(), list->files.end(),
            [](const PackedFile& a, const PackedFile& b) { return a.name < b.name; });

  std::vector<std::string> all;
  ListPackageFiles(package, &all);
  std::set<std::string> packed;
  for (const PackedFile& file : list->files)
    packed.insert(FoldCase(file.name));
  for (const std::string& name : all) {
    if (!packed.count(FoldCase(name)))
      list->left_out.push_back(name);
  }
  std::sort(list->left_out.begin(), list->left_out.end());
  return true;
}
