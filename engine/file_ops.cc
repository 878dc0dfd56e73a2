#include "engine/file_ops.h"

#include <cstdint>

bool FileExists(FileSystem& files, const std::string& path) {
  return files.Exists(path);
}

bool IsFileNewer(FileSystem& files, const std::string& existing, const std::string& candidate) {
  FileStatus status;
  status.time_result = files.LastWriteTime(existing, &status.time);
  if (status.time_result == TimeResult::kOpenFailed)
    return false;
  std::uint64_t candidate_time = 0;
  TimeResult candidate_result = files.LastWriteTime(candidate, &candidate_time);
  return IsNewer(status, candidate_result, candidate_time);
}

bool IsNewer(const FileStatus& existing, TimeResult candidate_result,
             std::uint64_t candidate_time) {
  // Both files are opened before either time is looked at, so a candidate
  // that does not open wins over an existing file whose time is unreadable.
  if (existing.time_result == TimeResult::kOpenFailed)
    return false;
  if (candidate_result == TimeResult::kOpenFailed)
    return true;
  if (existing.time_result == TimeResult::kTimeFailed)
    return false;
  if (candidate_result == TimeResult::kTimeFailed)
    return true;
  return existing.time > candidate_time;
}

bool CreateDirectoryTree(FileSystem& files, const std::string& path,
                         std::vector<std::string>* made) {
  if (path.empty())
    return false;
  std::string dir = path;
  if (dir.back() == '\\')
    dir.pop_back();
  DirResult first = files.MakeDirectory(dir);
  if (first == DirResult::kCreated && made)
    made->push_back(dir);
  if (first != DirResult::kFailed)
    return true;
  std::string::size_type slash = dir.rfind('\\');
  if (slash == std::string::npos)
    return false;
  // "C:" and "C:\" are never created: a missing drive is not ours to make.
  std::string parent = dir.substr(0, slash);
  if (parent.size() <= 3)
    return false;
  CreateDirectoryTree(files, parent, made);
  if (files.MakeDirectory(dir) != DirResult::kCreated)
    return false;
  if (made)
    made->push_back(dir);
  return true;
}
