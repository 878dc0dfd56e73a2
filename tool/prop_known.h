// The faults that the property suite meets and that are being mended
// elsewhere: each names the properties it breaks and the narrowest test of
// a case, or of what its run said, that shows it. Remove a fault's row as
// soon as its fix lands.
#ifndef PACKWRIGHT_TOOL_PROP_KNOWN_H_
#define PACKWRIGHT_TOOL_PROP_KNOWN_H_

#include <string>

#include "tool/prop_case.h"
#include "tool/prop_check.h"

// What a run said, for the faults that show only there.
struct PropRunSaid {
  // The install's output and error streams together.
  std::string install;
};

// The name of the known fault that explains `finding` for the case, or
// null when none does.
const char* KnownFault(const PropCase& c, PropBackend backend, const PropRunSaid& said,
                       const PropFinding& finding);

#endif  // PACKWRIGHT_TOOL_PROP_KNOWN_H_
