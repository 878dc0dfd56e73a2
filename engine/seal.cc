#include "engine/seal.h"

#include <charconv>
#include <memory>

#include "engine/confine.h"
#include "engine/install_script.h"
#include "platform/unicode.h"
#include "platform/xxhash64.h"

namespace {

const char kHeader[] = "packwright-seal";
const char kVersion[] = "1";
const char kChecksum[] = "xxh64";
// Far above any package's seal; a larger file is no seal of ours.
const std::size_t kMaxSealSize = 16 << 20;
// The remark stands at the top, so the script's first bytes settle it.
const std::size_t kRemarkWindow = 64 << 10;

// Splits `text` at single blanks into exactly `n` fields, the last taking
// the rest of the line. False when there are fewer.
bool SplitFields(const std::string& text, std::size_t n, std::vector<std::string>* fields) {
  fields->clear();
  std::size_t start = 0;
  while (fields->size() + 1 < n) {
    std::size_t blank = text.find(' ', start);
    if (blank == std::string::npos)
      return false;
    fields->push_back(text.substr(start, blank - start));
    start = blank + 1;
  }
  fields->push_back(text.substr(start));
  return true;
}

bool ParseCount(const std::string& text, std::uint64_t* value) {
  if (text.empty() || text.size() > 20 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return ec == std::errc() && end == text.data() + text.size();
}

bool ParseLine(const std::string& text, SealLine* line) {
  std::vector<std::string> fields;
  if (!SplitFields(text, 3, &fields) || !ParseSum(fields[0], &line->sum.sum) ||
      !ParseCount(fields[1], &line->sum.size) || fields[2].empty())
    return false;
  for (char c : fields[2]) {
    if (static_cast<unsigned char>(c) < 0x20)
      return false;
  }
  line->name = fields[2];
  return true;
}

// Reads at most `limit` bytes of `path` into `out`; false when it does not
// open, a read fails, or it holds more.
bool ReadUpTo(FileSystem& files, const std::string& path, std::size_t limit, std::string* out,
              bool* over = nullptr) {
  std::string err;
  std::unique_ptr<InputFile> in = files.OpenRead(path, &err);
  if (!in)
    return false;
  out->clear();
  char buf[16 * 1024];
  for (;;) {
    long n = in->Read(buf, sizeof buf);
    if (n < 0)
      return false;
    if (n == 0)
      return true;
    out->append(buf, static_cast<std::size_t>(n));
    if (out->size() > limit) {
      if (over)
        *over = true;
      return false;
    }
  }
}

SealVerdict Damaged(const std::string& file) {
  return {SealVerdict::kDamaged, file};
}

SealVerdict NoSeal(FileSystem& files, const std::string& package, const std::string& script) {
  std::string seal_path = package + "\\" + kSealName;
  if (files.Exists(seal_path))
    return Damaged(kSealName);
  std::string head;
  bool over = false;
  if (!ReadUpTo(files, package + "\\" + script, kRemarkWindow, &head, &over) && !over)
    return Damaged(script);
  return HasSealRemark(head) ? Damaged(kSealName) : SealVerdict();
}

}  // namespace

std::string SealText(const std::vector<SealLine>& lines) {
  std::string text = std::string(kHeader) + " " + kVersion + " " + kChecksum + " " +
                     std::to_string(lines.size()) + "\r\n";
  for (const SealLine& line : lines)
    text += SumText(line.sum.sum) + " " + std::to_string(line.sum.size) + " " + line.name + "\r\n";
  return text;
}

bool ParseSeal(const std::string& text, std::vector<SealLine>* lines) {
  lines->clear();
  std::uint64_t count = 0;
  std::size_t start = 0;
  bool header = true;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos)
      return false;  // cut inside a line
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    start = end + 1;
    std::vector<std::string> fields;
    if (header) {
      if (!SplitFields(line, 4, &fields) || fields[0] != kHeader || fields[1] != kVersion ||
          fields[2] != kChecksum || !ParseCount(fields[3], &count))
        return false;
      header = false;
      continue;
    }
    SealLine parsed;
    if (lines->size() == count || !ParseLine(line, &parsed))
      return false;
    lines->push_back(parsed);
  }
  return !header && lines->size() == count;
}

bool HasSealRemark(const std::string& script) {
  std::size_t i = script.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  for (const char* want = kSealRemark; *want; ++want) {
    if (*want == ' ')
      continue;
    while (i < script.size() && IsScriptBlank(script[i]))
      ++i;
    if (i == script.size() || script[i] != *want)
      return false;
    ++i;
  }
  return true;
}

bool IsPackageName(const std::string& name) {
  if (name.empty() || name.find_first_of(":/") != std::string::npos)
    return false;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = name.find('\\', start);
    std::string part = name.substr(start, end == std::string::npos ? end : end - start);
    if (part.find_first_not_of(". ") == std::string::npos)
      return false;
    if (end == std::string::npos)
      return true;
    start = end + 1;
  }
}

bool SealSumOfFile(FileSystem& files, const std::string& path, FileSum* out) {
  std::string err;
  std::unique_ptr<InputFile> in = files.OpenRead(path, &err);
  if (!in)
    return false;
  Xxh64 hash;
  FileSum result;
  std::unique_ptr<char[]> buf(new char[256 * 1024]);
  for (;;) {
    long n = in->Read(buf.get(), 256 * 1024);
    if (n < 0)
      return false;
    if (n == 0)
      break;
    hash.Update(buf.get(), static_cast<std::size_t>(n));
    result.size += static_cast<std::uint64_t>(n);
  }
  result.sum = hash.Digest();
  *out = result;
  return true;
}

SealVerdict VerifySeal(FileSystem& files, const std::string& package, const std::string& script) {
  std::string text;
  if (!ReadUpTo(files, package + "\\" + kSealName, kMaxSealSize, &text))
    return NoSeal(files, package, script);
  std::vector<SealLine> lines;
  if (!ParseSeal(text, &lines))
    return Damaged(kSealName);
  bool lists_script = false;
  // Every name is judged before any file is read.
  for (const SealLine& line : lines) {
    // The system's own resolution also catches device names such as CON,
    // whose reading could wait for input.
    if (!IsPackageName(line.name) || !StaysInside(files, package + "\\", line.name))
      return Damaged(line.name);
    lists_script = lists_script || FoldCase(line.name) == FoldCase(script);
  }
  if (!lists_script)
    return Damaged(kSealName);
  for (const SealLine& line : lines) {
    FileSum sum;
    if (!SealSumOfFile(files, package + "\\" + line.name, &sum) || sum != line.sum)
      return Damaged(line.name);
  }
  return {SealVerdict::kIntact, std::string()};
}
