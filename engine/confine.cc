#include "engine/confine.h"

#include "platform/paths.h"
#include "platform/unicode.h"

namespace {

// Drops one trailing backslash, except from a drive root such as "D:\".
std::string WithoutTrailingSeparator(std::string path) {
  if (path.size() > 3 && path.back() == '\\')
    path.pop_back();
  return path;
}

// A component that may lead to the parent directory. Windows trims trailing
// dots and blanks, and Wine's full path turns "...\" into "..\", so every
// run of dots and blanks but "." is treated as a climb. What follows a colon
// names a stream and does not change the directory.
bool ClimbsUp(const std::string& component) {
  std::string name = component.substr(0, component.find(':'));
  return !name.empty() && name != "." && name.find_first_not_of(". ") == std::string::npos;
}

bool ClimbsAboveStart(const std::string& tail) {
  int depth = 0;
  std::string::size_type start = 0;
  while (start <= tail.size()) {
    std::string::size_type end = tail.find_first_of("\\/", start);
    if (end == std::string::npos)
      end = tail.size();
    std::string component = tail.substr(start, end - start);
    if (ClimbsUp(component)) {
      if (--depth < 0)
        return true;
    } else if (!component.empty() && component != ".") {
      ++depth;
    }
    start = end + 1;
  }
  return false;
}

bool IsDigits(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// True for "packwright" as Windows may spell it: in any case, with
// trailing dots and blanks, or as one of its short names.
bool NamesRecordsFolder(std::string name) {
  name = LowerAscii(name.substr(0, name.find_last_not_of(". ") + 1));
  std::string::size_type tilde = name.find('~');
  if (tilde == std::string::npos || !IsDigits(name.substr(tilde + 1)))
    return name == "packwright";
  std::string stem = name.substr(0, tilde);
  return stem == "packwr" || (stem.size() == 6 && stem.compare(0, 2, "pa") == 0 &&
                              stem.find_first_not_of("0123456789abcdef", 2) == std::string::npos);
}

// True when the last component of `tail` keeps a character once its
// trailing dots and blanks are trimmed, as Windows trims them.
bool NamesAFile(const std::string& tail) {
  std::string::size_type slash = tail.find_last_of("\\/");
  std::string last = slash == std::string::npos ? tail : tail.substr(slash + 1);
  return last.find_last_not_of(". ") != std::string::npos;
}

}  // namespace

Refusal RefusalOf(FileSystem& files, const std::string& base, const std::string& tail) {
  if (!StaysInside(files, base, tail))
    return Refusal::kOutside;
  if (tail.find(':') != std::string::npos)
    return Refusal::kDriveOrStream;
  if (!NamesAFile(tail))
    return Refusal::kNoFileName;
  std::string root = WithoutTrailingSeparator(files.FullPath(base));
  std::string full = files.FullPath(base + tail);
  std::string::size_type start = root.size() + (root.back() == '\\' ? 0 : 1);
  if (full.size() <= start)
    return Refusal::kNone;
  std::string first = full.substr(start, full.find('\\', start) - start);
  return NamesRecordsFolder(first) ? Refusal::kRecords : Refusal::kNone;
}

bool StaysInside(FileSystem& files, const std::string& base, const std::string& tail) {
  if (base.empty() || ClimbsAboveStart(tail))
    return false;
  return RealPathWithin(files.FullPath(base + tail), files.FullPath(base));
}

bool RealPathWithin(const std::string& path, const std::string& dir) {
  std::string root = FoldCase(WithoutTrailingSeparator(dir));
  std::string full = FoldCase(WithoutTrailingSeparator(path));
  if (root.empty() || full.compare(0, root.size(), root) != 0)
    return false;
  return full.size() == root.size() || root.back() == '\\' || full[root.size()] == '\\';
}

bool IsLink(FileSystem& files, const std::string& path) {
  std::string full = WithoutTrailingSeparator(files.FullPath(path));
  std::string::size_type slash = full.rfind('\\');
  if (slash == std::string::npos || slash + 1 == full.size())
    return false;  // a root
  std::string real = files.RealPath(full);
  std::string parent = files.RealPath(full.substr(0, slash == 2 ? 3 : slash));
  if (real.empty() || parent.empty())
    return true;
  if (parent.back() != '\\')
    parent += '\\';
  return FoldCase(real) != FoldCase(parent + full.substr(slash + 1));
}
