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

#endif  // PACKWRIGHT_ENGINE_CONFINE_H_
