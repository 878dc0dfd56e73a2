// Findings about single entries: file entries whose source or destination
// will not work as written, and texture entries the catalogue will not add.
#include <algorithm>
#include <cctype>
#include <map>
#include <tuple>

#include "engine/confine.h"
#include "engine/file_ops.h"
#include "engine/install_script.h"
#include "platform/paths.h"
#include "textures/texture_catalogue.h"
#include "textures/texture_step.h"
#include "tool/check.h"
#include "tool/texture_entry.h"

namespace {

// Stands in for Kestrova's folder when none is given; only the shape of
// the path matters then.
const char kAnyHost[] = "C:\\Kestrova\\";
// The longest full path that Windows' ANSI functions take.
const std::size_t kMaxPath = 259;

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
  std::size_t raw_mark = entry.raw.find(">>");
  std::string raw_source =
      raw_mark == std::string::npos ? "" : Trimmed(entry.raw.substr(0, raw_mark));
  std::string raw_destination =
      raw_mark == std::string::npos ? "" : Trimmed(entry.raw.substr(raw_mark + 2));
  std::string source = entry.text.substr(0, mark);
  std::string destination = entry.text.substr(mark + 2);
  sources_[LowerAscii(source)] = entry.pos.line;
  CheckSource(entry, source, raw_source);
  if (HasBlank(raw_destination))
    Add("blank-in-name", Severity::kWarning, entry,
        "Packwright drops every blank, so '" + raw_destination + "' is written as '" + destination +
            "'; use names without blanks.");
  CheckDestination(entry, destination);
}

void EntryChecker::CheckSource(const ScriptEntry& entry, const std::string& source,
                               const std::string& raw) {
  std::string path = input_.package + "\\" + source;
  if (source.find_first_of("*?") != std::string::npos) {
    Add("source-wildcard", Severity::kError, entry,
        "Packwright takes '" + source +
            "' as one file name, and the copy fails; list each file "
            "in an entry of its own.");
  } else if (!FileExists(files_, path)) {
    if (HasBlank(raw) && FileExists(files_, input_.package + "\\" + raw))
      Add("source-name-with-blank", Severity::kError, entry,
          "Packwright drops the blank and looks for '" + source + "', but the file is '" + raw +
              "'; rename the file without blanks.");
    else
      Add("source-missing", Severity::kError, entry,
          "The package has no file '" + source +
              "', so Packwright reports it missing and "
              "installs the rest; add the file or correct the name.");
  } else if (std::string err; files_.OpenRead(path, &err) == nullptr) {
    Add("source-folder", Severity::kError, entry,
        "'" + source +
            "' is a folder, and Packwright copies single files only, so the copy "
            "fails; list each file of the folder in an entry of its own.");
  } else if (HasBlank(raw)) {
    Add("blank-in-name", Severity::kWarning, entry,
        "Packwright drops every blank, so '" + raw + "' is read as '" + source +
            "'; use names without blanks.");
  }
}

void EntryChecker::CheckDestination(const ScriptEntry& entry, const std::string& destination) {
  std::string host = input_.host.empty() ? kAnyHost : input_.host;
  if (destination.empty() || destination.back() == '\\' || destination.back() == '/') {
    Add("destination-not-a-file", Severity::kError, entry,
        "The destination names no file, so the copy fails; write the file's path in Kestrova's "
        "folder, such as Modelle\\x.ksm.");
    return;
  }
  switch (RefusalOf(files_, host, destination)) {
    case Refusal::kOutside:
      return Add("destination-outside", Severity::kError, entry,
                 "'" + destination +
                     "' leaves Kestrova's folder, and Packwright refuses to copy there; "
                     "write a path inside it, without '..' or a drive.");
    case Refusal::kDriveOrStream:
      return Add("destination-drive-or-stream", Severity::kError, entry,
                 "'" + destination +
                     "' holds a colon, which names a drive or a stream of a file, and "
                     "Packwright refuses to copy there; write a path inside Kestrova's folder "
                     "without ':'.");
    case Refusal::kRecords:
      return Add("destination-records-folder", Severity::kError, entry,
                 "'" + destination +
                     "' lies in Kestrova's Packwright folder, which holds the records of "
                     "installs, and Packwright refuses to copy there; choose another folder.");
    case Refusal::kNone:
      break;
  }
  for (const std::string& part : Components(destination)) {
    if (IsDeviceName(part))
      Add("destination-device-name", Severity::kError, entry,
          "Windows reserves the name '" + part +
              "' for a device, so the copy fails; choose "
              "another name.");
    else if (part != "." && part != ".." && !part.empty() && part.back() == '.')
      Add("destination-trailing-dot", Severity::kError, entry,
          "Windows drops the dot at the end of '" + part +
              "', so the file is not where the "
              "script says; remove the dot.");
  }
  if (destination.find('/') != std::string::npos)
    Add("destination-forward-slash", Severity::kWarning, entry,
        "Packwright makes missing folders only at backslashes, so a folder before a '/' is not "
        "made and the copy fails; write '\\'.");
  if (!input_.host.empty() && input_.host.size() + destination.size() > kMaxPath)
    Add("destination-too-long", Severity::kError, entry,
        "The full path '" + input_.host + destination +
            "' is longer than 259 characters, so "
            "Windows cannot create it; use shorter names.");
  std::string target = input_.host + destination;
  if (!input_.host.empty() && files_.Exists(target) && files_.IsReadOnly(target))
    Add("destination-read-only", Severity::kWarning, entry,
        "Kestrova's '" + destination +
            "' is read-only, so Packwright cannot replace it and reports the copy failed; "
            "install under another name, or ask players to clear the read-only attribute.");
  auto earlier = destinations_.emplace(LowerAscii(destination), entry.pos.line);
  if (!earlier.second)
    Add("destination-repeated", Severity::kWarning, entry,
        "The entry in line " + std::to_string(earlier.first->second) +
            " writes the same file, and this one overwrites it; keep one of them.");
}

void EntryChecker::CheckTexture(const ScriptEntry& entry, const CTextureCatalogue* catalogue) {
  std::string text;
  if (!BuildTextureText(entry.text, &text)) {
    Add("texture-entry-without-arrow", Severity::kError, entry,
        "This entry has no '>>', so Packwright passes over it without a word; write "
        "{name >> Textur{ name(...) id(...) }}.");
    return;
  }
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
        "Packwright takes the id from the first 'id(' anywhere, here from '" +
            span.substr(word, at + 3 - word) + "', so the id is " + std::to_string(id) +
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
        "Kestrova's catalogue holds the id " + std::to_string(id) + " already (" + holder +
            "), so Packwright passes over this entry; choose a free id.");
  }
}

void EntryChecker::CheckUninstalled() {
  for (const std::string& file : input_.package_files) {
    std::string key = LowerAscii(file);
    if (key == "instskript.txt" || key == "packwright.exe" || sources_.count(key))
      continue;
    findings_->push_back({"file-not-installed", Severity::kWarning, 0, 0,
                          "The package holds '" + file +
                              "', which no entry installs; add an "
                              "entry for it or leave it out."});
  }
}

}  // namespace

void CheckEntries(FileSystem& files, const PositionedScript& script, const CheckInput& input,
                  std::vector<Finding>* findings) {
  EntryChecker checker(files, input, findings);
  for (const ScriptEntry& entry : script.FindSection("Dateinstallation").entries)
    checker.CheckFile(entry);
  CTextureCatalogue catalogue(files);
  bool held_known = false;
  if (!input.host.empty()) {
    held_known = catalogue.Load(input.host + "Resourcen\\Parallels\\Texturen.txt");
    if (!held_known)
      findings->push_back({"catalogue-missing", Severity::kError, 0, 0,
                           "Kestrova's catalogue Resourcen\\Parallels\\Texturen.txt does not "
                           "load, so the texture step, and every install, fails."});
  }
  for (const ScriptEntry& entry : script.FindSection("Texturskript").entries)
    checker.CheckTexture(entry, held_known ? &catalogue : nullptr);
  checker.CheckUninstalled();
}

std::vector<Finding> CheckPackage(FileSystem& files, const PositionedScript& script,
                                  const CheckInput& input) {
  std::vector<Finding> findings;
  CheckLayout(script, &findings);
  CheckEntries(files, script, input, &findings);
  // In the order of the script; findings about files come last.
  std::stable_sort(findings.begin(), findings.end(), [](const Finding& a, const Finding& b) {
    return std::make_tuple(a.line == 0, a.line, a.column) <
           std::make_tuple(b.line == 0, b.line, b.column);
  });
  return findings;
}
