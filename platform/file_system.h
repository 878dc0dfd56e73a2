// The file system as Packwright sees it. Every path is a Windows-style
// string in UTF-8 ("D:\Sim\Resourcen\x.dat") that this layer takes as
// written; it is never normalised on the caller's behalf. Names compare as
// Windows compares them, without regard to case (FoldCase), on every
// system. Nothing here throws: each
// operation reports failure through its result, and where an `err` is taken
// it receives a text naming the operation and the path.
#ifndef PACKWRIGHT_PLATFORM_FILE_SYSTEM_H_
#define PACKWRIGHT_PLATFORM_FILE_SYSTEM_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum class TimeResult { kOk, kOpenFailed, kTimeFailed };

// A file open for reading in binary. Closed when destroyed.
class InputFile {
 public:
  virtual ~InputFile() = default;
  // Reads up to `size` bytes into `buf`. Returns the number read, 0 at the
  // end of the file, or -1 on a read error.
  virtual long Read(char* buf, std::size_t size) = 0;
  // The open file's last-write time: kOk, or kTimeFailed when it cannot be
  // read (never kOpenFailed).
  virtual TimeResult LastWriteTime(std::uint64_t* time) = 0;
};

// A file open for writing in binary. Destroying it without Close() closes it
// and ignores errors.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // Writes all `size` bytes; false if any could not be written.
  virtual bool Write(const char* data, std::size_t size) = 0;
  // Forces what was written onto the disk; false on failure.
  virtual bool Flush() = 0;
  // Gives the file the last-write time of `source`, as exactly as the
  // system keeps times (POSIX: to the nanosecond), and plain attributes
  // (Win32 FILE_ATTRIBUTE_NORMAL; POSIX keeps the mode it was made with);
  // reads back in `kept` the time as the file system keeps it, which may
  // be rounded. False when the source's time cannot be read, or either
  // fails.
  virtual bool StampFrom(InputFile& source, std::uint64_t* kept) = 0;
  // Closes the file; false if closing reported an error. Call at most once.
  virtual bool Close() = 0;
};

// Appended to a file's name to make the temporary file beside it: a file
// that must never be seen half written is written there whole and then
// moved over the old one with FileSystem::Replace.
inline constexpr char kReplaceTempSuffix[] = ".pwtmp";

// The longest full path, in UTF-16 units, that a Windows program opens
// without the long-path form ("\\?\"): MAX_PATH less its terminator.
// Kestrova opens no longer one.
inline constexpr std::size_t kMaxPathChars = 259;

enum class DirResult { kCreated, kAlreadyExists, kFailed };
enum class LockResult { kLocked, kBusy, kFailed };

// A lock on a file (FileSystem::LockFile), held until destroyed.
class FileLock {
 public:
  virtual ~FileLock() = default;
};

// What one look at a path tells (FileSystem::Status).
struct FileStatus {
  // Something of that name exists: a file, a folder, or a link, even one
  // that leads nowhere. Wildcards are not expanded.
  bool exists = false;
  // It is a folder (or a link to one), not a file.
  bool folder = false;
  // As FileSystem::IsReadOnly: also true when it may exist but cannot be
  // examined.
  bool read_only = false;
  // As FileSystem::LastWriteTime: kOpenFailed when it is no file that
  // opens for reading, else the time or kTimeFailed.
  TimeResult time_result = TimeResult::kOpenFailed;
  std::uint64_t time = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // True when a directory search for `path` finds anything: a file or a
  // directory, or for a pattern with * or ? any match.
  virtual bool Exists(const std::string& path) = 0;

  // Opens `path` for reading, sharing read access only, and reads its
  // last-write time as a 64-bit count. kOpenFailed when it does not open
  // (missing, a directory, locked); kTimeFailed when the time cannot be read.
  virtual TimeResult LastWriteTime(const std::string& path, std::uint64_t* time) = 0;

  // Everything FileStatus holds about `path`, in as few calls as the
  // system allows (POSIX: one status call; Win32 opens a file, as
  // LastWriteTime does, so that one that does not open says so).
  virtual FileStatus Status(const std::string& path) = 0;

  // Creates one directory level. kAlreadyExists when something of that name
  // exists already; kFailed for every other failure (parent missing, ...).
  virtual DirResult MakeDirectory(const std::string& path) = 0;

  // Copies the file `from` to `to`, creating `to` or overwriting it, and
  // carries the last-write time over. A failed copy may leave `to` partly
  // written: callers that care copy to a temporary name. The copy is not
  // forced onto the disk; FlushFile or SyncFiles does that.
  virtual bool Copy(const std::string& from, const std::string& to, std::string* err) = 0;

  // True when `path` exists and carries the read-only attribute (POSIX: has
  // no write permission bit). Also true when the attributes of a path that
  // may exist cannot be read (an I/O error, say; anything but "not found"),
  // so that a file that cannot be examined is not overwritten as if it were
  // writable.
  virtual bool IsReadOnly(const std::string& path) = 0;

  // Moves `from` over `to` in one step, replacing `to` if it exists. `to` is
  // never half replaced. The move is not forced onto the disk: a power cut
  // may undo it, and may empty a `from` that was never flushed, so flush
  // `from` first where the old `to` must survive; SyncFiles makes the move
  // itself durable.
  virtual bool Replace(const std::string& from, const std::string& to, std::string* err) = 0;

  // Forces the content of the existing file `path` onto the disk, whatever
  // its attributes; false (and `err`) on failure.
  virtual bool FlushFile(const std::string& path, std::string* err) = 0;

  // Forces the files `paths`, with the directory entries that name them,
  // onto the disk: POSIX syncs each file system that holds one (syncfs),
  // Win32 flushes each file. False (and `err`) when any could not be synced.
  virtual bool SyncFiles(const std::vector<std::string>& paths, std::string* err) = 0;

  // Deletes a file; false if it could not be deleted.
  virtual bool Remove(const std::string& path) = 0;

  // Resets the attributes to plain read-write; false on failure.
  virtual bool SetNormalAttributes(const std::string& path) = 0;

  // The attributes of a file or directory as one number, to be handed back
  // to SetAttributes: Win32 the GetFileAttributesW value, POSIX the mode
  // bits (st_mode & 07777). False when `path` cannot be examined.
  virtual bool GetAttributes(const std::string& path, std::uint32_t* attrs) = 0;
  // Sets attributes read by GetAttributes, only those a file's own may
  // carry: Win32 read-only, hidden, system and archive; POSIX the write
  // bits, the rest of the mode kept (never setuid, setgid or sticky). False
  // on failure, and for a POSIX symbolic link, which would pass the change
  // on to its target.
  virtual bool SetAttributes(const std::string& path, std::uint32_t attrs) = 0;

  // Removes the directory `path` when it is empty; false when it is not
  // empty, is no directory, or cannot be removed. (Not RemoveDirectory:
  // <windows.h> makes that name a macro.)
  virtual bool RemoveEmptyDirectory(const std::string& path) = 0;

  // The names in directory `path`, without "." and "..", in no set order.
  // False when the directory does not open.
  virtual bool ListDirectory(const std::string& path, std::vector<std::string>* names) = 0;

  // Opens an existing file for reading; null (and `err`) if it does not open.
  virtual std::unique_ptr<InputFile> OpenRead(const std::string& path, std::string* err) = 0;

  // Creates `path`, or truncates it, for writing; null (and `err`) if it
  // cannot be opened.
  virtual std::unique_ptr<OutputFile> CreateWrite(const std::string& path, std::string* err) = 0;

  // FullPath with every link along it resolved (POSIX: symbolic links; Win32:
  // symbolic links and junctions), as the system spells the names that
  // exist; the components past the last one that exists follow as written.
  // Empty when it cannot be resolved.
  virtual std::string RealPath(const std::string& path) = 0;

  // Takes an exclusive lock on the file `path`, made when missing, without
  // waiting: kBusy when another holder has it (another process, or another
  // lock taken in this one), kFailed (and `err`) when the file cannot be
  // opened or locked. The lock lapses when `*lock` is destroyed or the
  // process dies; the file stays, and a file left behind never blocks.
  // Win32 LockFileEx, POSIX flock.
  virtual LockResult LockFile(const std::string& path, std::unique_ptr<FileLock>* lock,
                              std::string* err) = 0;
  // Creates `path` new and exclusively for writing. Whatever already has
  // that name (a leftover file, a link) is removed first as a name, never
  // through it, so that no other file is ever written; null (and `err`)
  // when that fails, when the name is a folder, or when something takes
  // the name meanwhile.
  virtual std::unique_ptr<OutputFile> CreateNew(const std::string& path, std::string* err) = 0;

  // The absolute path that the system resolves `path` to: "." and ".."
  // components applied, doubled separators folded, "/" read as "\"; a
  // relative path is taken from the current directory. Touches no disk, so
  // whether the path exists does not matter. Empty when the system cannot
  // resolve the path (Win32: GetFullPathNameW refuses it, as it does an
  // empty path); callers take an empty result as naming nothing. The POSIX
  // layer and the fake resolve every path as text and never fail.
  virtual std::string FullPath(const std::string& path) = 0;
};

#endif  // PACKWRIGHT_PLATFORM_FILE_SYSTEM_H_
