#include "platform/paths.h"

#include <vector>

namespace {

bool HasDrive(const std::string& path) {
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

}  // namespace

std::string ResolvePathLexically(const std::string& path, const std::string& cwd) {
  std::string p = path;
  for (char& c : p) {
    if (c == '/')
      c = '\\';
  }
  std::string drive;
  std::string rest;
  if (HasDrive(p)) {
    drive = p.substr(0, 2);
    rest = p.substr(2);
    if (rest.empty() || rest[0] != '\\')
      rest = ResolvePathLexically(cwd, "C:\\").substr(2) + "\\" + rest;
  } else {
    std::string base = ResolvePathLexically(cwd, "C:\\");
    drive = base.substr(0, 2);
    rest = (!p.empty() && p[0] == '\\') ? p : base.substr(2) + "\\" + p;
  }
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= rest.size()) {
    std::size_t end = rest.find('\\', start);
    if (end == std::string::npos)
      end = rest.size();
    std::string part = rest.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty())
        parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string out = drive;
  for (const std::string& part : parts)
    out += "\\" + part;
  if (parts.empty())
    out += "\\";
  return out;
}

std::string DirectoryOf(const std::string& path) {
  std::string::size_type slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string LowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string ToPosixPath(const std::string& path) {
  std::string p = path;
  if (p.size() >= 2 && (p[0] == 'Z' || p[0] == 'z') && p[1] == ':')
    p = p.substr(2);
  for (char& c : p) {
    if (c == '\\')
      c = '/';
  }
  return p;
}

std::string FromPosixPath(const std::string& path) {
  std::string p = path;
  for (char& c : p) {
    if (c == '/')
      c = '\\';
  }
  return "Z:" + p;
}
