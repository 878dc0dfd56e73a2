#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "platform/system_win32.h"
#include "platform/wide_win32.h"

namespace {

// ReadFile and WriteFile take a DWORD count; larger requests go in pieces.
constexpr std::size_t kMaxChunk = 1u << 30;

// `path` for the wide functions. A path that nears MAX_PATH (less the 12
// characters that CreateDirectory keeps for a name) takes the long-path
// form ("\\?\", "\\?\UNC\" for a share), which lifts the limit, so
// that a package under a deep folder and a temporary beside a long
// destination open. That form turns off Windows' own resolution of "."
// and "..", so the path is resolved first.
std::wstring WidePath(const std::string& path) {
  std::wstring wide = Widen(path);
  if (wide.size() < MAX_PATH - 12 || wide.compare(0, 4, L"\\\\?\\") == 0)
    return wide;
  DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0)
    return wide;
  std::wstring full(size, L'\0');
  DWORD len = GetFullPathNameW(wide.c_str(), size, &full[0], nullptr);
  if (len == 0 || len >= size)
    return wide;
  full.resize(len);
  if (full.compare(0, 4, L"\\\\.\\") == 0)
    return wide;  // a device
  if (full.compare(0, 2, L"\\\\") == 0)
    return L"\\\\?\\UNC\\" + full.substr(2);
  if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\')
    return L"\\\\?\\" + full;
  return wide;
}

void SetErr(std::string* err, const std::string& op, const std::string& paths) {
  if (err)
    *err = Win32ErrorText(op, paths, GetLastError());
}

std::uint64_t FromFileTime(const FILETIME& time) {
  return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

TimeResult TimeOfHandle(HANDLE handle, std::uint64_t* time) {
  FILETIME written;
  if (!GetFileTime(handle, nullptr, nullptr, &written))
    return TimeResult::kTimeFailed;
  *time = FromFileTime(written);
  return TimeResult::kOk;
}

class Win32InputFile : public InputFile {
 public:
  explicit Win32InputFile(HANDLE handle) : handle_(handle) {}
  ~Win32InputFile() override { CloseHandle(handle_); }

  TimeResult LastWriteTime(std::uint64_t* time) override { return TimeOfHandle(handle_, time); }

  long Read(char* buf, std::size_t size) override {
    DWORD got = 0;
    DWORD want = static_cast<DWORD>(std::min(size, kMaxChunk));
    if (!ReadFile(handle_, buf, want, &got, nullptr))
      return -1;
    return static_cast<long>(got);
  }

 private:
  HANDLE handle_;
};

class Win32OutputFile : public OutputFile {
 public:
  explicit Win32OutputFile(HANDLE handle) : handle_(handle) {}
  ~Win32OutputFile() override {
    if (handle_ != INVALID_HANDLE_VALUE)
      CloseHandle(handle_);
  }

  bool Write(const char* data, std::size_t size) override {
    while (size > 0) {
      DWORD put = 0;
      DWORD want = static_cast<DWORD>(std::min(size, kMaxChunk));
      if (!WriteFile(handle_, data, want, &put, nullptr) || put == 0)
        return false;
      data += put;
      size -= put;
    }
    return true;
  }

  bool Flush() override { return FlushFileBuffers(handle_) != 0; }

  bool StampFrom(InputFile& source, std::uint64_t* kept) override {
    std::uint64_t time = 0;
    if (source.LastWriteTime(&time) != TimeResult::kOk)
      return false;
    // Zero leaves a time as it is; the attributes become plain, as
    // SetNormalAttributes would make them, without looking the name up.
    FILE_BASIC_INFO info = {};
    info.LastWriteTime.QuadPart = static_cast<LONGLONG>(time);
    info.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(handle_, FileBasicInfo, &info, sizeof(info)) &&
           TimeOfHandle(handle_, kept) == TimeResult::kOk;
  }

  bool Close() override {
    HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return CloseHandle(handle) != 0;
  }

 private:
  HANDLE handle_;
};

class Win32FileSystemImpl : public FileSystem {
 public:
  bool Exists(const std::string& path) override;
  TimeResult LastWriteTime(const std::string& path, std::uint64_t* time) override;
  FileStatus Status(const std::string& path) override;
  DirResult MakeDirectory(const std::string& path) override;
  bool Copy(const std::string& from, const std::string& to, std::string* err) override;
  bool IsReadOnly(const std::string& path) override;
  bool Replace(const std::string& from, const std::string& to, std::string* err) override;
  bool FlushFile(const std::string& path, std::string* err) override;
  bool SyncFiles(const std::vector<std::string>& paths, std::string* err) override;
  bool Remove(const std::string& path) override;
  bool SetNormalAttributes(const std::string& path) override;
  bool GetAttributes(const std::string& path, std::uint32_t* attrs) override;
  bool SetAttributes(const std::string& path, std::uint32_t attrs) override;
  bool RemoveEmptyDirectory(const std::string& path) override;
  bool ListDirectory(const std::string& path, std::vector<std::string>* names) override;
  std::unique_ptr<InputFile> OpenRead(const std::string& path, std::string* err) override;
  std::unique_ptr<OutputFile> CreateWrite(const std::string& path, std::string* err) override;
  std::unique_ptr<OutputFile> CreateNew(const std::string& path, std::string* err) override;
  std::string FullPath(const std::string& path) override;
  std::string RealPath(const std::string& path) override;
  LockResult LockFile(const std::string& path, std::unique_ptr<FileLock>* lock,
                      std::string* err) override;
};

class Win32Lock : public FileLock {
 public:
  explicit Win32Lock(HANDLE handle) : handle_(handle) {}
  ~Win32Lock() override { CloseHandle(handle_); }

 private:
  HANDLE handle_;
};

// The final path of the existing file or folder `full`, following links and
// junctions, without the "\\?\" prefix; empty when it does not open.
std::string FinalPath(const std::string& full) {
  HANDLE handle =
      CreateFileW(WidePath(full).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE)
    return std::string();
  std::vector<wchar_t> buf(32768);
  DWORD len = GetFinalPathNameByHandleW(handle, buf.data(), static_cast<DWORD>(buf.size()),
                                        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  DWORD code = GetLastError();
  CloseHandle(handle);
  SetLastError(code);
  if (len == 0 || len >= buf.size())
    return std::string();
  std::string path = Narrow(buf.data(), len);
  if (path.compare(0, 8, "\\\\?\\UNC\\") == 0)
    path = "\\\\" + path.substr(8);
  else if (path.compare(0, 4, "\\\\?\\") == 0)
    path = path.substr(4);
  if (!path.empty() && path.back() == '\\')
    path.pop_back();
  return path;
}

bool Win32FileSystemImpl::Exists(const std::string& path) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(WidePath(path).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return false;
  FindClose(search);
  return true;
}

TimeResult Win32FileSystemImpl::LastWriteTime(const std::string& path, std::uint64_t* time) {
  HANDLE file = CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return TimeResult::kOpenFailed;
  TimeResult result = TimeOfHandle(file, time);
  CloseHandle(file);
  return result;
}

FileStatus Win32FileSystemImpl::Status(const std::string& path) {
  FileStatus status;
  // Opened as LastWriteTime opens it, so that a file another program holds
  // counts as one that does not open.
  HANDLE file = CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  BY_HANDLE_FILE_INFORMATION info;
  if (file != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, &info)) {
    CloseHandle(file);
    status.exists = true;
    status.read_only = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    status.time_result = TimeResult::kOk;
    status.time = FromFileTime(info.ftLastWriteTime);
    return status;
  }
  DWORD error = GetLastError();
  if (file != INVALID_HANDLE_VALUE)
    CloseHandle(file);
  else if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
    return status;
  DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    error = GetLastError();
    status.read_only = error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
    return status;
  }
  status.exists = true;
  status.folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  status.read_only = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  if (file != INVALID_HANDLE_VALUE)
    status.time_result = TimeResult::kTimeFailed;
  return status;
}

DirResult Win32FileSystemImpl::MakeDirectory(const std::string& path) {
  if (CreateDirectoryW(WidePath(path).c_str(), nullptr))
    return DirResult::kCreated;
  return GetLastError() == ERROR_ALREADY_EXISTS ? DirResult::kAlreadyExists : DirResult::kFailed;
}

bool Win32FileSystemImpl::Copy(const std::string& from, const std::string& to, std::string* err) {
  if (CopyFileW(WidePath(from).c_str(), WidePath(to).c_str(), FALSE))
    return true;
  SetErr(err, "CopyFile", from + ", " + to);
  return false;
}

bool Win32FileSystemImpl::IsReadOnly(const std::string& path) {
  DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    // Only a file known to be absent is safe to write; one whose attributes
    // cannot be read may be read-only.
    DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
  }
  return (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool Win32FileSystemImpl::Replace(const std::string& from, const std::string& to,
                                  std::string* err) {
  // No write-through: the caller flushes what must survive a power cut.
  if (MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(), MOVEFILE_REPLACE_EXISTING))
    return true;
  SetErr(err, "MoveFileEx", from + ", " + to);
  return false;
}

bool Win32FileSystemImpl::FlushFile(const std::string& path, std::string* err) {
  // FlushFileBuffers wants write access, which a read-only file refuses
  // until its attribute is cleared for the moment.
  std::wstring wide = WidePath(path);
  DWORD attributes = GetFileAttributesW(wide.c_str());
  bool read_only =
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  if (read_only)
    SetFileAttributesW(wide.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  bool ok = file != INVALID_HANDLE_VALUE && FlushFileBuffers(file);
  DWORD code = GetLastError();
  if (file != INVALID_HANDLE_VALUE)
    CloseHandle(file);
  if (read_only)
    SetFileAttributesW(wide.c_str(), attributes);
  if (!ok && err)
    *err = Win32ErrorText("FlushFileBuffers", path, code);
  return ok;
}

bool Win32FileSystemImpl::SyncFiles(const std::vector<std::string>& paths, std::string* err) {
  // Flushing a whole volume takes administrator rights, so each file is
  // flushed; on NTFS that also commits the log that holds its directory
  // entry.
  for (const std::string& path : paths) {
    if (!FlushFile(path, err))
      return false;
  }
  return true;
}

bool Win32FileSystemImpl::Remove(const std::string& path) {
  return DeleteFileW(WidePath(path).c_str()) != 0;
}

bool Win32FileSystemImpl::SetNormalAttributes(const std::string& path) {
  return SetFileAttributesW(WidePath(path).c_str(), FILE_ATTRIBUTE_NORMAL) != 0;
}

bool Win32FileSystemImpl::GetAttributes(const std::string& path, std::uint32_t* attrs) {
  DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return false;
  *attrs = attributes;
  return true;
}

bool Win32FileSystemImpl::SetAttributes(const std::string& path, std::uint32_t attrs) {
  attrs &= FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
           FILE_ATTRIBUTE_ARCHIVE;
  return SetFileAttributesW(WidePath(path).c_str(), attrs ? attrs : FILE_ATTRIBUTE_NORMAL) != 0;
}

bool Win32FileSystemImpl::RemoveEmptyDirectory(const std::string& path) {
  return RemoveDirectoryW(WidePath(path).c_str()) != 0;
}

bool Win32FileSystemImpl::ListDirectory(const std::string& path, std::vector<std::string>* names) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(WidePath(path + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return false;
  names->clear();
  do {
    std::string name = Narrow(found.cFileName, wcslen(found.cFileName));
    if (name != "." && name != "..")
      names->push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return true;
}

std::unique_ptr<InputFile> Win32FileSystemImpl::OpenRead(const std::string& path,
                                                         std::string* err) {
  HANDLE file = CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    SetErr(err, "CreateFile", path);
    return nullptr;
  }
  return std::make_unique<Win32InputFile>(file);
}

std::unique_ptr<OutputFile> Win32FileSystemImpl::CreateWrite(const std::string& path,
                                                             std::string* err) {
  HANDLE file = CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    SetErr(err, "CreateFile", path);
    return nullptr;
  }
  return std::make_unique<Win32OutputFile>(file);
}

// Removes the name `path`: a file, or a link itself, never what it leads
// to. A read-only leftover is made plain through a handle to the name
// itself first, as DeleteFile refuses it.
bool RemoveName(const std::string& path) {
  std::wstring wide = WidePath(path);
  if (DeleteFileW(wide.c_str()))
    return true;
  if (GetLastError() != ERROR_ACCESS_DENIED)
    return false;
  HANDLE name = CreateFileW(wide.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                            FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (name == INVALID_HANDLE_VALUE)
    return false;
  FILE_BASIC_INFO info = {};
  info.FileAttributes = FILE_ATTRIBUTE_NORMAL;
  bool plain = SetFileInformationByHandle(name, FileBasicInfo, &info, sizeof(info)) != 0;
  CloseHandle(name);
  return plain && DeleteFileW(wide.c_str());
}

std::unique_ptr<OutputFile> Win32FileSystemImpl::CreateNew(const std::string& path,
                                                           std::string* err) {
  // CREATE_NEW refuses any name that exists, and FILE_FLAG_OPEN_REPARSE_POINT
  // keeps a link from being followed; a leftover's name is removed before
  // the one retry.
  const DWORD flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;
  HANDLE file =
      CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, flags, nullptr);
  DWORD error = GetLastError();
  if (file == INVALID_HANDLE_VALUE &&
      (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) && RemoveName(path))
    file =
        CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, flags, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    SetErr(err, "CreateFile", path);
    return nullptr;
  }
  return std::make_unique<Win32OutputFile>(file);
}

std::string Win32FileSystemImpl::FullPath(const std::string& path) {
  std::wstring wide = Widen(path);
  std::vector<wchar_t> buf(MAX_PATH);
  for (;;) {
    DWORD len = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(buf.size()), buf.data(), nullptr);
    if (len == 0)
      return std::string();
    // Too small a buffer gives the size needed, terminator included.
    if (len < buf.size())
      return Narrow(buf.data(), len);
    buf.resize(len);
  }
}

std::string Win32FileSystemImpl::RealPath(const std::string& path) {
  std::string full = FullPath(path);
  std::string tail;
  while (!full.empty()) {
    std::string real = FinalPath(full);
    if (!real.empty())
      return real + tail;
    DWORD code = GetLastError();
    // A link that leads nowhere does not open, but is there.
    if ((code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND) ||
        GetFileAttributesW(WidePath(full).c_str()) != INVALID_FILE_ATTRIBUTES)
      return std::string();
    std::string::size_type slash = full.rfind('\\');
    if (slash == std::string::npos || slash + 1 == full.size())
      return std::string();
    tail = full.substr(slash) + tail;
    full = full.substr(0, slash == 2 ? 3 : slash);
  }
  return std::string();
}

LockResult Win32FileSystemImpl::LockFile(const std::string& path, std::unique_ptr<FileLock>* lock,
                                         std::string* err) {
  HANDLE handle =
      CreateFileW(WidePath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    SetErr(err, "LockFile", path);
    return LockResult::kFailed;
  }
  OVERLAPPED whole = {};
  if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole)) {
    lock->reset(new Win32Lock(handle));
    return LockResult::kLocked;
  }
  DWORD code = GetLastError();
  CloseHandle(handle);
  if (code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING)
    return LockResult::kBusy;
  SetLastError(code);
  SetErr(err, "LockFile", path);
  return LockResult::kFailed;
}

}  // namespace

FileSystem& Win32FileSystem() {
  static Win32FileSystemImpl files;
  return files;
}
