// Keeping a package's files inside Kestrova's directory tree.
#ifndef PACKWRIGHT_ENGINE_CONFINE_H_
#define PACKWRIGHT_ENGINE_CONFINE_H_

#include <string>

#include "platform/file_system.h"

// True when the path `base` + `tail` names `base` itself or something beneath
// it. `base` is a directory; `tail` is a script's text appended to it as
// written. False when `base` is empty; when a component of `tail` (divided
// at backslashes and forward slashes, taken up to any colon) climbs above
// `base` at any point, counting as a climb ".." and every other run of dots
// and blanks that Windows may trim to ".." ("...", ".. "), though not "."; or
// when the system's full path of `base` + `tail` does not lie within the full
// path of `base`, compared case-insensitively on whole components (this also
// catches device names such as "CON", which resolve outside every directory).
bool StaysInside(FileSystem& files, const std::string& base, const std::string& tail);

// True when the last component of `path` is a link (FileSystem::RealPath
// differs from its parent's real path with its own name, compared without
// regard to ASCII case), or when either real path cannot be found.
bool IsLink(FileSystem& files, const std::string& path);

// True when the real path `path` lies within the real path `dir` or is it,
// compared case-insensitively on whole components.
bool RealPathWithin(const std::string& path, const std::string& dir);
// Why the file step refuses the destination `base` + `tail`, or kNone when
// it may write there. kOutside when StaysInside is false. kDriveOrStream
// when `tail` holds a colon: a drive ("C:\x", "D:x"), or on Windows a
// stream of a file ("x.ksm:zone"), neither of which names a file in
// Kestrova's tree. kRecords when it lies in Kestrova's records folder
// (Packwright\), which only the record writes: compared without regard to
// case, trailing dots and blanks, and in its 8.3 short forms (PACKWR~1,
// and the hashed PAxxxx~N). kNoFileName when `tail` ends in no file name:
// it is empty, or its last component (after the last backslash or slash)
// is empty once Windows has trimmed its trailing dots and blanks.
enum class Refusal { kNone, kOutside, kDriveOrStream, kRecords, kNoFileName };
Refusal RefusalOf(FileSystem& files, const std::string& base, const std::string& tail);

#endif  // PACKWRIGHT_ENGINE_CONFINE_H_
