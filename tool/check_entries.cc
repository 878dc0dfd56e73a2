// Findings about single entries: file entries whose source or destination
// will not work as written, and texture entries the catalogue will not add.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
#include <tuple>

#include "engine/confine.h"
#include "engine/file_ops.h"
#include "engine/install_record.h"
#include "engine/install_script.h"
#include "engine/kestrova_names.h"
#include "platform/code_page.h"
#include "platform/paths.h"
#include "platform/unicode.h"
#include "textures/texture_catalogue.h"
#include "textures/texture_step.h"
#include "tool/catalogue_check.h"
#include "tool/check.h"
#include "tool/texture_entry.h"

namespace {

// Stands in for Kestrova's folder when none is given; only the shape of
// the path matters then.
const char kAnyHost[] = "C:\\Kestrova\\";
// What Windows forbids in a name, besides control characters and the colon
// of a drive or stream; braces are left over from an unclosed entry.
const char kForbidden[] = "<>\"|?*{}";

std::string Trimmed(const std::string& text) {
  std::size_t start = 0;
  std::size_t end = text.size();
  while (start < end && IsScriptBlank(text[start]))
    ++start;
  while (end > start && IsScriptBlank(text[end - 1]))
    --end;
  return text.substr(start, end - start);
}

bool IsNamePart(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

bool HasBlank(const std::string& text) {
  for (char c : text) {
    if (IsScriptBlank(c))
      return true;
  }
  return false;
}

// CON, PRN, AUX, NUL, COM1-9 and LPT1-9, also with an extension.
bool IsDeviceName(const std::string& component) {
  std::string base = LowerAscii(component.substr(0, component.find('.')));
  if (base == "con" || base == "prn" || base == "aux" || base == "nul")
    return true;
  return base.size() == 4 && (base.compare(0, 3, "com") == 0 || base.compare(0, 3, "lpt") == 0) &&
         base[3] >= '1' && base[3] <= '9';
}

std::vector<std::string> Components(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = path.find_first_of("\\/", start);
    parts.push_back(path.substr(start, end - start));
    if (end == std::string::npos)
      return parts;
    start = end + 1;
  }
}

class EntryChecker {
 public:
  EntryChecker(FileSystem& files, const CheckInput& input, std::vector<Finding>* findings)
      : files_(files), input_(input), findings_(findings), scratch_(files) {}

  void CheckFile(const ScriptEntry& entry);
  void CheckTexture(const ScriptEntry& entry, const CTextureCatalogue* catalogue);
  void CheckUninstalled();

 private:
  void CheckSource(const ScriptEntry& entry, const std::string& source, const std::string& raw);
  void CheckDestination(const ScriptEntry& entry, const std::string& destination);
  void CheckInHost(const ScriptEntry& entry, const std::string& destination);
  bool CheckTextureId(const ScriptEntry& entry);
  void CheckTextureName(const ScriptEntry& entry);
  void Add(const char* code, Severity severity, const ScriptEntry& entry,
           const std::string& message) {
    Report(findings_, code, severity, entry.pos, message);
  }

  FileSystem& files_;
  const CheckInput& input_;
  std::vector<Finding>* findings_;
  CTextureCatalogue scratch_;
  std::map<std::string, int> sources_;
  std::map<std::string, int> destinations_;
  std::map<std::uint32_t, int> texture_ids_;
};

void EntryChecker::CheckFile(const ScriptEntry& entry) {
  std::size_t mark = entry.text.find(">>");
  if (mark == std::string::npos) {
    Add("file-entry-without-arrow", Severity::kError, entry,
        "This entry has no '>>', so Packwright passes over it without a word; write "
        "{source >> destination}.");
    return;
  }
  // Names are looked up and shown as the file step joins them: in Unicode.
  std::size_t raw_mark = entry.raw.find(">>");
  std::string raw_source =
      raw_mark == std::string::npos ? "" : AnsiToUtf8(Trimmed(entry.raw.substr(0, raw_mark)));
  std::string raw_destination =
      raw_mark == std::string::npos ? "" : AnsiToUtf8(Trimmed(entry.raw.substr(raw_mark + 2)));
  std::string source = AnsiToUtf8(entry.text.substr(0, mark));
  std::string destination = AnsiToUtf8(entry.text.substr(mark + 2));
  std::string key = FoldCase(source);
  std::replace(key.begin(), key.end(), '/', '\\');
  sources_[key] = entry.pos.line;
  CheckSource(entry, source, raw_source);
  if (HasBlank(raw_destination))
    Add("blank-in-name", Severity::kWarning, entry,
        "Packwright drops every blank, so " + Quoted(raw_destination) + " is written as " +
            Quoted(destination) + "; use names without blanks.");
  CheckDestination(entry, destination);
}

void EntryChecker::CheckSource(const ScriptEntry& entry, const std::string& source,
                               const std::string& raw) {
  std::string path = input_.package + "\\" + source;
  if (source.find_first_of("*?") != std::string::npos) {
    Add("source-wildcard", Severity::kError, entry,
        "Packwright takes " + Quoted(source) +
            " as one file name, and the copy fails; list each file "
            "in an entry of its own.");
  } else if (!FileExists(files_, path)) {
    if (HasBlank(raw) && FileExists(files_, input_.package + "\\" + raw))
      Add("source-name-with-blank", Severity::kError, entry,
          "Packwright drops the blank and looks for " + Quoted(source) + ", but the file is " +
              Quoted(raw) + "; rename the file without blanks.");
    else
      Add("source-missing", Severity::kError, entry,
          "The package has no file " + Quoted(source) +
              ", so Packwright reports it missing and "
              "installs the rest; add the file or correct the name.");
  } else if (std::string err; files_.OpenRead(path, &err) == nullptr) {
    Add("source-folder", Severity::kError, entry,
        Quoted(source) +
            " is a folder, and Packwright copies single files only, so the copy "
            "fails; list each file of the folder in an entry of its own.");
  } else if (HasBlank(raw)) {
    Add("blank-in-name", Severity::kWarning, entry,
        "Packwright drops every blank, so " + Quoted(raw) + " is read as " + Quoted(source) +
            "; use names without blanks.");
  }
  if (!StaysInside(files_, input_.package + "\\", source))
    Add("source-outside", Severity::kWarning, entry,
        Quoted(source) +
            " lies outside the package, and Packwright copies it from there; "
            "put the file into the package.");
}

void EntryChecker::CheckDestination(const ScriptEntry& entry, const std::string& destination) {
  std::string host = input_.host.empty() ? kAnyHost : input_.host;
  std::string last = Components(destination).back();
  auto not_a_file = [&] {
    Add("destination-not-a-file", Severity::kError, entry,
        "The destination names no file, so the copy fails; write the file's path in Kestrova's "
        "folder, such as Modelle\\x.ksm.");
  };
  if (last.empty() || last == "." || last == "..")
    return not_a_file();
  std::size_t forbidden = destination.find_first_of(kForbidden);
  for (std::size_t i = 0; i < destination.size() && forbidden == std::string::npos; ++i)
    forbidden = static_cast<unsigned char>(destination[i]) < 0x20 ? i : forbidden;
  if (forbidden != std::string::npos) {
    bool brace = IsScriptBrace(destination[forbidden]);
    Add("destination-forbidden-char", Severity::kError, entry,
        "Windows forbids " + Quoted(destination.substr(forbidden, 1)) + " in a name, so " +
            Quoted(destination) + " cannot be written; " +
            (brace ? "close the entry before it, or remove the brace." : "choose another name."));
    return;
  }
  switch (RefusalOf(files_, host, destination)) {
    case Refusal::kOutside:
      return Add("destination-outside", Severity::kError, entry,
                 Quoted(destination) +
                     " leaves Kestrova's folder, and Packwright refuses to copy there; "
                     "write a path inside it, without '..' or a drive.");
    case Refusal::kDriveOrStream:
      return Add("destination-drive-or-stream", Severity::kError, entry,
                 Quoted(destination) +
                     " holds a colon, which names a drive or a stream of a file, and "
                     "Packwright refuses to copy there; write a path inside Kestrova's folder "
                     "without ':'.");
    case Refusal::kRecords:
      return Add("destination-records-folder", Severity::kError, entry,
                 Quoted(destination) +
                     " lies in Kestrova's Packwright folder, which holds the records of "
                     "installs, and Packwright refuses to copy there; choose another folder.");
    case Refusal::kNoFileName:
      return not_a_file();
    case Refusal::kNone:
      break;
  }
  for (const std::string& part : Components(destination)) {
    if (IsDeviceName(part))
      Add("destination-device-name", Severity::kError, entry,
          "Windows reserves the name " + Quoted(part) +
              " for a device, so the copy fails; choose "
              "another name.");
    else if (part != "." && part != ".." && !part.empty() && part.back() == '.')
      Add("destination-trailing-dot", Severity::kError, entry,
          "Windows drops the dot at the end of " + Quoted(part) +
              ", so the file is not where the "
              "script says; remove the dot.");
  }
  if (FoldCase(destination) == "resourcen\\parallels\\texturen.txt")
    Add("destination-catalogue", Severity::kError, entry,
        "This copies the file over Kestrova's texture catalogue, and the entries of every other "
        "package are lost; list the textures in Texturskript instead.");
  if (destination.find('/') != std::string::npos)
    Add("destination-forward-slash", Severity::kWarning, entry,
        "Packwright makes missing folders only at backslashes, so a folder before a '/' is not "
        "made and the copy fails; write '\\'.");
  if (!input_.host.empty() &&
      Utf16Length(files_.FullPath(input_.host + destination)) > kMaxPathChars)
    Add("destination-too-long", Severity::kError, entry,
        "The full path " + Quoted(input_.host + destination) +
            " is longer than 259 characters, so "
            "Windows cannot create it; use shorter names.");
  if (!input_.host.empty() && destination.find_first_of("*?") == std::string::npos)
    CheckInHost(entry, destination);
  auto earlier = destinations_.emplace(FoldCase(destination), entry.pos.line);
  if (!earlier.second)
    Add("destination-repeated", Severity::kWarning, entry,
        "The entry in line " + std::to_string(earlier.first->second) +
            " writes the same file, and this one overwrites it; keep one of them.");
}

// What already lies in Kestrova's folder where the copy goes: a folder or a
// file in its way make the copy fail, and so does a read-only file, unless
// the player keeps it as newer.
void EntryChecker::CheckInHost(const ScriptEntry& entry, const std::string& destination) {
  std::string path = input_.host + destination;
  std::vector<std::string> names;
  if (files_.ListDirectory(path, &names)) {
    Add("destination-is-folder", Severity::kError, entry,
        "Kestrova has a folder " + Quoted(destination) +
            ", so the copy fails; write the path of a file inside it.");
    return;
  }
  std::vector<std::string> parts = Components(destination);
  std::string prefix = input_.host;
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    prefix += parts[i];
    if (!parts[i].empty() && files_.Exists(prefix) && !files_.ListDirectory(prefix, &names)) {
      Add("destination-under-file", Severity::kError, entry,
          "Kestrova has a file " + Quoted(prefix.substr(input_.host.size())) +
              " where the destination needs a folder, so the copy fails; choose another path.");
      return;
    }
    prefix += "\\";
  }
  if (files_.Exists(path) && files_.IsReadOnly(path))
    Add("destination-read-only", Severity::kWarning, entry,
        "Kestrova's " + Quoted(destination) +
            " is read-only, so Packwright cannot replace it and reports the copy failed; "
            "install under another name, or ask players to clear the read-only attribute.");
}

void EntryChecker::CheckTexture(const ScriptEntry& entry, const CTextureCatalogue* catalogue) {
  std::string text;
  if (!BuildTextureText(entry.text, &text)) {
    Add("texture-entry-without-arrow", Severity::kError, entry,
        "This entry has no '>>', so Packwright passes over it without a word; write "
        "{name >> Textur{ name(...) id(...) }}.");
    return;
  }
  if (!CheckTextureId(entry))
    return;
  CheckTextureName(entry);
  std::uint32_t id = 0;
  if (!scratch_.AddEntry(text) || !TextureIdOf(entry.text, &id)) {
    Add("texture-refused", Severity::kError, entry,
        "The catalogue refuses this entry, and Packwright passes over it silently; write "
        "Textur{ name(...) id(...) } with a non-zero id and braces that close.");
    return;
  }
  std::string span = entry.text.substr(entry.text.find("Textur", entry.text.find(">>")));
  std::size_t at = span.find("id(");
  std::size_t word = at;
  while (word > 0 && IsNamePart(span[word - 1]))
    --word;
  if (word < at)
    Add("texture-id-in-word", Severity::kWarning, entry,
        "Packwright takes the id from the first 'id(' anywhere, here from " +
            Quoted(span.substr(word, at + 3 - word)) + ", so the id is " + std::to_string(id) +
            "; put id(...) before that property.");
  auto earlier = texture_ids_.emplace(id, entry.pos.line);
  if (!earlier.second) {
    Add("texture-id-repeated", Severity::kError, entry,
        "The entry in line " + std::to_string(earlier.first->second) + " has the id " +
            std::to_string(id) +
            " already, so Packwright passes over this one; give it an id "
            "of its own.");
  } else if (catalogue && catalogue->entries().Contains(id)) {
    std::string holder;
    catalogue->entries().Find(id, &holder);
    Add("texture-id-held", Severity::kWarning, entry,
        "Kestrova's catalogue holds the id " + std::to_string(id) + " already (" + Quoted(holder) +
            "), so Packwright passes over this entry; choose a free id.");
  }
}

// ConvertTextureId takes the id modulo 2^32, so that -7009 and 4294967338
// are ids of their own without a word.
bool EntryChecker::CheckTextureId(const ScriptEntry& entry) {
  std::size_t span = entry.text.find("Textur", entry.text.find(">>"));
  std::size_t at = span == std::string::npos ? span : entry.text.find("id(", span);
  if (at == std::string::npos)
    return true;
  const char* first = entry.text.data() + at + 3;
  const char* last = entry.text.data() + entry.text.size();
  bool negative = first < last && *first == '-';
  first += first < last && (*first == '-' || *first == '+');
  std::uint32_t value = 0;
  auto [end, ec] = std::from_chars(first, last, value);
  if (end == first || (ec != std::errc::result_out_of_range && (!negative || value == 0)))
    return true;
  Add("texture-id-range", Severity::kError, entry,
      "The id " + Quoted(entry.text.substr(at + 3, end - entry.text.data() - at - 3)) +
          " is not a number from 1 to 4294967295, and Packwright would file the entry under "
          "another id; write an id in that range.");
  return false;
}

void EntryChecker::CheckTextureName(const ScriptEntry& entry) {
  std::size_t at = entry.raw.find("name(");
  std::size_t end = at == std::string::npos ? at : entry.raw.find(')', at);
  if (end == std::string::npos)
    return;
  std::string name = entry.raw.substr(at + 5, end - at - 5);
  if (HasBlank(Trimmed(name)))
    Add("blank-in-texture-name", Severity::kWarning, entry,
        "Packwright drops every blank, so the texture name " + Quoted(name) +
            " is stored without its blanks; use a name without blanks.");
}

void EntryChecker::CheckUninstalled() {
  for (const std::string& file : input_.package_files) {
    std::string key = FoldCase(file);
    if (key == "instskript.txt" || key == "packwright.exe" || key == "packwright.sum" ||
        sources_.count(key))
      continue;
    findings_->push_back({"file-not-installed", Severity::kWarning, 0, 0,
                          "No entry installs this file; add an entry for it or leave it out.",
                          FindingFile::kPackageFile, file});
  }
}

}  // namespace

void CheckEntries(FileSystem& files, const ScriptSection& file_section,
                  const ScriptSection& texture_section, const CheckInput& input,
                  std::vector<Finding>* findings) {
  EntryChecker checker(files, input, findings);
  for (const ScriptEntry& entry : file_section.entries)
    checker.CheckFile(entry);
  CTextureCatalogue catalogue(files);
  bool held_known = false;
  std::vector<std::string> names;
  if (!input.host.empty() && files.Exists(input.host + kRecordsFolder) &&
      !files.ListDirectory(input.host + kRecordsFolder, &names))
    findings->push_back({"records-folder-blocked", Severity::kError, 0, 0,
                         "Kestrova has a file named Packwright where the install records go, so "
                         "no record can be begun and every install fails.",
                         FindingFile::kScript, std::string()});
  if (!input.host.empty()) {
    CatalogueProblem problem;
    held_known = InspectCatalogue(files, input.host + kCataloguePath, &catalogue, &problem);
    if (!held_known)
      findings->push_back({problem.missing ? "catalogue-missing" : "catalogue-unreadable",
                           Severity::kError, problem.pos.line, problem.pos.column,
                           "Kestrova's catalogue " + problem.what +
                               ", so the texture step, and every install, fails.",
                           FindingFile::kCatalogue, kCataloguePath});
    else if (files.IsReadOnly(input.host + kCataloguePath))
      findings->push_back({"catalogue-read-only", Severity::kError, 0, 0,
                           "Kestrova's catalogue is read-only, so the texture step, and every "
                           "install, fails.",
                           FindingFile::kCatalogue, kCataloguePath});
  }
  for (const ScriptEntry& entry : texture_section.entries)
    checker.CheckTexture(entry, held_known ? &catalogue : nullptr);
  checker.CheckUninstalled();
}
