#include "tool/prop_known.h"

#include <map>

#include "platform/unicode.h"

namespace {

std::vector<std::string> Destinations(const PropCase& c) {
  std::vector<std::string> dests;
  for (const auto& entry : c.Of("entry")) {
    std::size_t at = entry[0].find(">>");
    if (at != std::string::npos)
      dests.push_back(entry[0].substr(at + 2));
  }
  return dests;
}

bool AnyDestination(const PropCase& c, bool (*test)(const std::string& lower)) {
  for (const std::string& dest : Destinations(c)) {
    if (test(FoldCase(dest)))
      return true;
  }
  return false;
}

struct Known {
  const char* name;
  // The properties it breaks, each between '|'.
  const char* properties;
  bool (*shows)(const PropCase& c, PropBackend backend, const PropRunSaid& said);
};

const Known kKnown[] = {
    {"undo: a shipped catalogue the player added to", "|undo = identity|",
     [](const PropCase& c, PropBackend, const PropRunSaid&) {
       return !c.Of("later-texture").empty() && AnyDestination(c, [](const std::string& d) {
         return d == "resourcen\\parallels\\texturen.txt";
       });
     }},
};

}  // namespace

const char* KnownFault(const PropCase& c, PropBackend backend, const PropRunSaid& said,
                       const PropFinding& finding) {
  for (const Known& k : kKnown) {
    if (std::string(k.properties).find("|" + finding.property + "|") != std::string::npos &&
        k.shows(c, backend, said))
      return k.name;
  }
  return nullptr;
}
