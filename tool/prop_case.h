// Generated cases for the install's properties: a package, a Kestrova tree
// around it and how the run is made, as lines of tab-separated fields (each
// escaped as a record's fields are), so that a case prints, reads back and
// shrinks line by line. The kinds of line:
//   name NAME                  the package folder's name (default Paket)
//   codepage N                 the ANSI code page that the script is
//                              written in and read in (default: the system's)
//   newer keep|replace|ask     the answer to the newer-file question
//   registry host|other|none   what the registry's AppPath names
//   from-registry              no --host: Kestrova comes from the registry
//   pkg PATH TIME DATA         a file of the package
//   dir PATH                   a folder in Kestrova
//   file PATH TIME RO DATA     a file in Kestrova (RO: 1 read-only)
//   outside PATH TIME DATA     a file beside Kestrova, in Outside
//   link PATH TARGET           a link in Kestrova to Outside\TARGET (real
//                              file system only)
//   entry TEXT                 an entry of Dateinstallation
//   texture TEXT               an entry of Texturskript
//   later N DATA               after the install, the player rewrites the
//                              Nth file it changed (counted modulo), with
//                              DATA, or with as many bytes for "same-size"
//   later-texture              after the install, the player adds a texture
//   force                      the undo is forced
// PATHs are relative to their folder; TIMEs are last-write times. Text is
// UTF-8.
#ifndef PACKWRIGHT_TOOL_PROP_CASE_H_
#define PACKWRIGHT_TOOL_PROP_CASE_H_

#include <cstdint>
#include <string>
#include <vector>

struct PropCase {
  std::vector<std::vector<std::string>> lines;

  // The fields after the kind of every line of `kind`, in order.
  std::vector<std::vector<std::string>> Of(const std::string& kind) const;
  // The first field of the first line of `kind`; `fallback` when none.
  std::string Value(const std::string& kind, const std::string& fallback) const;
  // InstSkript.txt as the entry and texture lines make it, their text
  // written in the case's code page where it has the characters.
  std::string Script() const;
  // The case's code page; 0 for the system's.
  unsigned CodePage() const;
};

// The case that `seed` gives, the same on every machine.
PropCase GenerateCase(std::uint64_t seed);

// One line per case line, fields escaped and joined by tabs.
std::string CaseText(const PropCase& c);
// Reads CaseText's form back; blank lines and lines starting with '#' are
// skipped. False when a line does not unescape.
bool ParseCase(const std::string& text, PropCase* c);

#endif  // PACKWRIGHT_TOOL_PROP_CASE_H_
