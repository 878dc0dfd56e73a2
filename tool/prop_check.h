// The properties every generated case must keep, checked by running the
// tool's commands on it (check --host --strict, plan, install, undo):
// - plan changes nothing, and lists exactly what install then changes,
//   files, folders and textures, with the same result;
// - install and then undo leave Kestrova's tree as it was (its record
//   folder apart): contents, attributes, last-write times; where the player
//   rewrote a file after the install, undo leaves that file, names it and
//   exits 1, unless forced; a texture the player added stays, forced or not;
// - nothing outside Kestrova changes but through a link the player made in
//   it, and nothing under Packwright\ changes but the run's own record;
// - a check without findings means an install into the Kestrova it checked
//   that succeeds and puts every file in place that it does not keep as
//   newer; an install from a registry whose AppPath names no file cannot
//   run (exit 2), whatever the check said;
// - Scan changes only in the Kestrova the registry names;
// - nothing throws.
// A failure that a known fault explains is counted apart, by the fault's
// name, and is no finding.
#ifndef PACKWRIGHT_TOOL_PROP_CHECK_H_
#define PACKWRIGHT_TOOL_PROP_CHECK_H_

#include <map>
#include <string>
#include <vector>

#include "tool/prop_case.h"

enum class PropBackend { kFake, kDisk };

struct PropFinding {
  std::string property;
  std::string detail;
};

struct PropOutcome {
  std::vector<PropFinding> findings;
  // The known faults that explained a failure of this case.
  std::vector<std::string> known;
  // Whether the run got as far as an undo that it checked.
  bool undone = false;
};

// Runs the case on a fresh world of the backend.
PropOutcome CheckCase(const PropCase& c, PropBackend backend);

// The smallest case, by dropping lines one at a time, that still fails
// `property` on the backend.
PropCase MinimiseCase(const PropCase& c, PropBackend backend, const std::string& property);

#endif  // PACKWRIGHT_TOOL_PROP_CHECK_H_
