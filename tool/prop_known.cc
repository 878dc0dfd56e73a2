#include "tool/prop_known.h"

#include <map>
#include <set>

#include "platform/paths.h"

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
    if (test(LowerAscii(dest)))
      return true;
  }
  return false;
}

// Two spellings of one path, or of a folder on its way, that differ in case.
bool CaseVariants(const PropCase& c) {
  std::vector<std::string> paths = Destinations(c);
  for (const char* kind : {"file", "dir", "pkg"}) {
    for (const auto& fields : c.Of(kind))
      paths.push_back(fields[0]);
  }
  std::map<std::string, std::string> seen;
  for (const std::string& path : paths) {
    for (std::size_t end = 0; end != std::string::npos;) {
      end = path.find('\\', end + 1);
      std::string prefix = path.substr(0, end);
      auto [it, fresh] = seen.emplace(LowerAscii(prefix), prefix);
      if (!fresh && it->second != prefix)
        return true;
    }
  }
  return false;
}

bool RepeatedDestination(const PropCase& c) {
  std::set<std::string> seen;
  for (const std::string& dest : Destinations(c)) {
    if (!seen.insert(LowerAscii(dest)).second)
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
    {"a failed copy stops the run", "|plan = install|undo = identity|clean check, clean install|",
     [](const PropCase&, PropBackend, const PropRunSaid& said) {
       return said.install.find("Installationsprotokoll kann nicht geschrieben") !=
              std::string::npos;
     }},
    {"destinations in Packwright",
     "|records|undo = identity|plan = install|clean check, clean install|",
     [](const PropCase& c, PropBackend, const PropRunSaid&) {
       return AnyDestination(c, [](const std::string& d) {
         return d.compare(0, 10, "packwright") == 0 || d.compare(0, 8, "packwr~1") == 0;
       });
     }},
    {"drive and stream destinations",
     "|undo = identity|plan = install|nothing escapes|clean check, clean install|",
     [](const PropCase& c, PropBackend, const PropRunSaid&) {
       return AnyDestination(c, [](const std::string& d) { return d.find(':') != d.npos; });
     }},
    {"case on POSIX", "|undo = identity|plan = install|clean check, clean install|",
     [](const PropCase& c, PropBackend backend, const PropRunSaid&) {
       return backend == PropBackend::kDisk && CaseVariants(c);
     }},
    {"the same destination twice", "|undo = identity|plan = install|",
     [](const PropCase& c, PropBackend, const PropRunSaid&) { return RepeatedDestination(c); }},
    {"Scan of another Kestrova", "|scan|",
     [](const PropCase& c, PropBackend, const PropRunSaid&) {
       return c.Value("registry", "host") == "other";
     }},
    {"record numbers beyond 64 bits", "|no exception|",
     [](const PropCase& c, PropBackend, const PropRunSaid&) {
       for (const auto& file : c.Of("file")) {
         if (file[3].find("99999999999999999999") != std::string::npos)
           return true;
       }
       return false;
     }},
    {"a shipped catalogue", "|undo = identity|plan = install|",
     [](const PropCase& c, PropBackend, const PropRunSaid&) {
       return AnyDestination(
           c, [](const std::string& d) { return d == "resourcen\\parallels\\texturen.txt"; });
     }},
    {"--force takes out the player's textures", "|undo = identity|",
     [](const PropCase& c, PropBackend, const PropRunSaid&) {
       return !c.Of("force").empty() && !c.Of("later-texture").empty();
     }},
    {"a package named as a number", "|undo = identity|",
     [](const PropCase& c, PropBackend, const PropRunSaid&) {
       std::string name = c.Value("name", "Paket");
       return name.find_first_not_of("0123456789") == std::string::npos;
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
