#include "platform/test_dir.h"

#include <windows.h>

#include <cwchar>

#include "platform/wide_win32.h"

namespace {

// The long-path form of full path `path`, so that trees deeper than
// MAX_PATH go too.
std::wstring Long(const std::string& path) {
  return L"\\\\?\\" + Widen(path);
}

// Deletes a directory and everything in it; read-only files too.
void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(Long(dir + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = Narrow(found.cFileName, wcslen(found.cFileName));
      if (name == "." || name == "..")
        continue;
      std::string path = dir + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        SetFileAttributesW(Long(path).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(Long(path).c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(Long(dir).c_str());
}

HANDLE OpenForTest(const std::string& path, DWORD access, DWORD disposition) {
  return CreateFileW(Widen(path).c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

ScopedTempDir::ScopedTempDir() {
  char temp[MAX_PATH + 1];
  DWORD len = GetTempPathA(sizeof(temp), temp);
  if (len == 0 || len > MAX_PATH)
    return;
  std::string base(temp, len);
  if (base.back() == '\\')
    base.pop_back();
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string dir = base + "\\pw-" + std::to_string(GetCurrentProcessId()) + "-" +
                      std::to_string(GetTickCount()) + "-" + std::to_string(++counter);
    if (CreateDirectoryA(dir.c_str(), nullptr)) {
      path_ = dir;
      return;
    }
  }
}

ScopedTempDir::~ScopedTempDir() {
  if (!path_.empty())
    RemoveTree(path_);
}

bool TestWriteFile(const std::string& path, const std::string& data) {
  HANDLE file = OpenForTest(path, GENERIC_WRITE, CREATE_ALWAYS);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  DWORD put = 0;
  BOOL ok = WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &put, nullptr);
  return CloseHandle(file) && ok && put == data.size();
}

bool TestReadFile(const std::string& path, std::string* data) {
  HANDLE file = OpenForTest(path, GENERIC_READ, OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  data->clear();
  char buf[4096];
  DWORD got = 0;
  BOOL ok;
  while ((ok = ReadFile(file, buf, sizeof(buf), &got, nullptr)) && got > 0)
    data->append(buf, got);
  CloseHandle(file);
  return ok != 0;
}

bool TestSetWriteTime(const std::string& path, std::uint64_t time) {
  HANDLE file =
      CreateFileW(Widen(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  FILETIME written;
  written.dwLowDateTime = static_cast<DWORD>(time);
  written.dwHighDateTime = static_cast<DWORD>(time >> 32);
  BOOL ok = SetFileTime(file, nullptr, nullptr, &written);
  return CloseHandle(file) && ok;
}

bool TestSetReadOnly(const std::string& path, bool read_only) {
  DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return false;
  if (read_only)
    attributes |= FILE_ATTRIBUTE_READONLY;
  else
    attributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
  return SetFileAttributesW(Widen(path).c_str(), attributes) != 0;
}

bool TestMakeDir(const std::string& path) {
  return CreateDirectoryW(Widen(path).c_str(), nullptr) != 0;
}

bool TestMakeLink(const std::string&, const std::string&) {
  return false;
}

std::string TestMissingError(const std::string& op, const std::string& paths) {
  // The Win32 layer names the system call; a missing directory is error 3,
  // a missing file error 2.
  if (op == "Copy")
    return "CopyFile(" + paths + "): error 2";
  if (op == "Replace")
    return "MoveFileEx(" + paths + "): error 2";
  return "CreateFile(" + paths + "): error " + (op == "CreateWrite" ? "3" : "2");
}

bool TestFindEverywhere(const std::string& text, std::vector<std::string>* found) {
  // Wine starts a Unix program as it starts a Windows one, but hands back no
  // process to wait for: the shell renames the list when find is done.
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  if (!ntdll || !GetProcAddress(ntdll, "wine_get_version") || text.empty() ||
      text.find_first_not_of(kTestFindableChars) != std::string::npos)
    return false;
  std::string list = "/tmp/pw-find-" + std::to_string(GetCurrentProcessId()) + "-" +
                     std::to_string(GetTickCount());
  std::string command = "Z:\\bin\\sh -c \"" + TestFindCommand(text) + " >" + list +
                        ".part; /bin/mv " + list + ".part " + list + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return false;
  if (process.hProcess)
    CloseHandle(process.hProcess);
  if (process.hThread)
    CloseHandle(process.hThread);
  std::string windows_list = "Z:" + list;
  for (char& c : windows_list)
    c = c == '/' ? '\\' : c;
  std::string output;
  for (int waited = 0; !TestReadFile(windows_list, &output); waited += 100) {
    if (waited > 600000)
      return false;
    Sleep(100);
  }
  DeleteFileA(windows_list.c_str());
  TestSplitLines(output, found);
  return true;
}
