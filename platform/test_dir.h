// Test support for the real platform: a fresh directory, removed with its
// contents at the end, and native helpers that set up files in it without
// going through the FileSystem under test. Paths are Windows-style, as the
// core uses them ("Z:\tmp\pw-abc\x.dat" on POSIX).
#ifndef PACKWRIGHT_PLATFORM_TEST_DIR_H_
#define PACKWRIGHT_PLATFORM_TEST_DIR_H_

#include <cstdint>
#include <string>
#include <vector>

class ScopedTempDir {
 public:
  ScopedTempDir();
  ~ScopedTempDir();
  // The directory, without a trailing backslash; empty if it could not be
  // made.
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Native set-up helpers; each returns false on failure.
bool TestWriteFile(const std::string& path, const std::string& data);
bool TestReadFile(const std::string& path, std::string* data);
// Last-write times are counts of 100 ns since 1601 (FILETIME), on every
// platform.
bool TestSetWriteTime(const std::string& path, std::uint64_t time);
bool TestSetReadOnly(const std::string& path, bool read_only);
bool TestMakeDir(const std::string& path);
// A symbolic link at `link` to the folder `target`; false where the system
// cannot make one for a test (Win32).
bool TestMakeLink(const std::string& link, const std::string& target);

// The error text that the system's FileSystem gives when `op` (Copy,
// Replace, OpenRead or CreateWrite) fails on `paths` because a file, or for
// CreateWrite its directory, is missing.
std::string TestMissingError(const std::string& op, const std::string& paths);
// Every file and folder on the whole machine whose name holds `text` (letters,
// digits and '-' only), as Unix paths, /proc, /sys and /dev left out; under
// Wine the search covers the Unix root, not only the prefix. False when the
// search cannot run (a Windows that is not Wine).
bool TestFindEverywhere(const std::string& text, std::vector<std::string>* found);
// The Unix shell command behind TestFindEverywhere: prints one path a line,
// and exits with 0, or 1 when some folder could not be read (other programs
// remove folders while it runs).
std::string TestFindCommand(const std::string& text);
// The characters TestFindEverywhere takes in `text`.
extern const char kTestFindableChars[];
// Splits `output` at line ends into `lines`.
void TestSplitLines(const std::string& output, std::vector<std::string>* lines);

#endif  // PACKWRIGHT_PLATFORM_TEST_DIR_H_
