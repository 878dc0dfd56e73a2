// A package's seal: Packwright.sum beside the script lists the size and
// XXH64 checksum of the script and of every file it installs, so that a
// download that arrived cut short, half unpacked or with a file missing is
// refused before anything in Kestrova changes. Like the integrity checks of
// other installers it finds accidental damage; it is no signature.
//
// The file is plain text, each line ended by CR LF (LF alone is read too):
//   packwright-seal 1 xxh64 <number of lines that follow>
//   <16 lower-case hex digits> <size in bytes> <name>
// where the name is package-relative, UTF-8, divided by backslashes. The
// count in the header makes a seal cut short at a line's end as broken as
// one cut inside a line.
#ifndef PACKWRIGHT_ENGINE_SEAL_H_
#define PACKWRIGHT_ENGINE_SEAL_H_

#include <string>
#include <vector>

#include "engine/checksum.h"
#include "platform/file_system.h"

inline constexpr char kSealName[] = "Packwright.sum";
// The remark that a sealed script carries at its top, so that a seal lost
// in unpacking is noticed rather than taken for no seal.
inline constexpr char kSealRemark[] = "{sealed: Packwright.sum}";

struct SealLine {
  FileSum sum;
  // Package-relative, in the system's code page, backslash-divided.
  std::string name;
};

// The seal's text for `lines` (names in the system's code page), in the
// order given.
std::string SealText(const std::vector<SealLine>& lines);

// Reads a seal's text into `lines`. False when the header is not this
// format's, its version or checksum is not known, or any line is not of
// the form above; `lines` is then to be ignored.
bool ParseSeal(const std::string& text, std::vector<SealLine>* lines);

// True when the first thing in the script's bytes, blanks aside, is the
// seal's remark (blanks inside it do not count either).
bool HasSealRemark(const std::string& script);

// True when `name` is a plain package-relative file name: not empty, no
// drive, colon, forward slash or leading backslash, and no component that is
// empty or only dots and blanks.
bool IsPackageName(const std::string& name);

// The size and XXH64 of `path`, read once to its end. False when it does not
// open or a read fails.
bool SealSumOfFile(FileSystem& files, const std::string& path, FileSum* out);

struct SealVerdict {
  enum State { kUnsealed, kIntact, kDamaged };
  State state = kUnsealed;
  // When damaged: the package-relative name of the file at fault (the seal
  // itself when it is missing, unreadable or broken).
  std::string file;
};

// Verifies the package in folder `package` (no trailing backslash), whose
// script is `script` (a name inside it). kUnsealed when there is no seal and
// the script lacks the remark. kDamaged, naming the file, when: the seal is
// missing while the script carries the remark; the seal cannot be read or
// parsed, or does not list the script; it names a file outside the package
// (IsPackageName, and engine/confine.h's StaysInside: no device either);
// or a listed file is missing, unreadable, or differs in size or checksum.
// kIntact otherwise. Reads each listed file once; writes nothing.
SealVerdict VerifySeal(FileSystem& files, const std::string& package, const std::string& script);

#endif  // PACKWRIGHT_ENGINE_SEAL_H_
