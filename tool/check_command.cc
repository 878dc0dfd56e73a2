// The check command: reads the script, lists the package, prints findings
// in the manner of a compiler, one line each, or as one JSON object.
#include <algorithm>

#include "engine/kestrova_names.h"
#include "platform/code_page.h"
#include "platform/console.h"
#include "platform/unicode.h"
#include "tool/check.h"
#include "tool/commands.h"
#include "tool/json.h"
#include "tool/session.h"

namespace {

const char kHostNotChecked[] =
    "Not checked without --host: full path lengths, Kestrova's catalogue and the ids it "
    "holds.\n";

void ListFiles(const std::string& dir, const std::string& prefix, std::vector<std::string>* out) {
  std::vector<DirEntry> entries;
  if (!ListDirectory(dir, &entries))
    return;
  for (const DirEntry& entry : entries) {
    if (entry.dir)
      ListFiles(dir + "\\" + entry.name, prefix + entry.name + "\\", out);
    else
      out->push_back(prefix + entry.name);
  }
}

const char* SeverityName(Severity severity) {
  return severity == Severity::kError ? "error" : "warning";
}

// A message quotes the script; text that is not UTF-8 is the script's own,
// in the ANSI code page.
std::string AsUtf8(const std::string& message) {
  return IsUtf8(message) ? message : AnsiToUtf8(message);
}

// `relative` below the folder `dir` as the user gave it, divided by the
// separator the user wrote, so that the place can be opened from where the
// tool ran. UTF-8.
std::string PlaceIn(const std::string& dir, std::string relative) {
  std::size_t last = dir.find_last_of("\\/");
  char separator = last == std::string::npos ? '/' : dir[last];
  std::replace(relative.begin(), relative.end(), separator == '/' ? '\\' : '/', separator);
  bool ends = !dir.empty() && (dir.back() == '/' || dir.back() == '\\');
  return dir + (ends ? "" : std::string(1, separator)) + relative;
}

std::string FileOf(const Finding& f, const ToolOptions& options) {
  switch (f.file) {
    case FindingFile::kPackageFile:
      return PlaceIn(options.package, f.path);
    case FindingFile::kCatalogue:
      return PlaceIn(options.host, f.path);
    case FindingFile::kScript:
      break;
  }
  return PlaceIn(options.package, kScriptFileName);
}

std::string Plural(std::size_t n, const char* word) {
  return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

void PrintText(Console& console, const std::vector<Finding>& findings, const ToolOptions& options,
               std::size_t errors) {
  std::string out;
  for (const Finding& f : findings) {
    out += Escaped(FileOf(f, options));  // a file's name may hold a line end
    if (f.line > 0)
      out += ":" + std::to_string(f.line) + ":" + std::to_string(f.column);
    out += std::string(": ") + SeverityName(f.severity) + ": " + AsUtf8(f.message) + " [" + f.code +
           "]\n";
  }
  if (!options.quiet) {
    if (options.host.empty())
      console.Write(ConsoleStream::kErr, kHostNotChecked);
    out += Plural(errors, "error") + ", " + Plural(findings.size() - errors, "warning") + "\n";
  }
  console.WriteUtf8(ConsoleStream::kOut, out);
}

void PrintJson(Console& console, const std::vector<Finding>& findings, const ToolOptions& options,
               std::size_t errors) {
  std::string out = JsonHead(options) + ", \"findings\": [";
  for (std::size_t i = 0; i < findings.size(); ++i) {
    const Finding& f = findings[i];
    out += (i ? ", " : "") + std::string("{\"code\": ") + JsonQuote(f.code) + ", \"severity\": \"" +
           SeverityName(f.severity) + "\", \"file\": " + JsonQuote(FileOf(f, options)) +
           ", \"line\": " + std::to_string(f.line) + ", \"column\": " + std::to_string(f.column) +
           ", \"message\": " + JsonQuote(AsUtf8(f.message)) + "}";
  }
  out += "], \"errors\": " + std::to_string(errors) +
         ", \"warnings\": " + std::to_string(findings.size() - errors) +
         ", \"host_checked\": " + (options.host.empty() ? "false" : "true") + "}\n";
  console.WriteUtf8(ConsoleStream::kOut, out);
}

// Leaves out the findings that --ignore and -q ask to leave out.
void Filter(const ToolOptions& options, std::vector<Finding>* findings) {
  auto left_out = [&](const Finding& f) {
    return (options.quiet && f.severity != Severity::kError) ||
           std::find(options.ignore.begin(), options.ignore.end(), f.code) != options.ignore.end();
  };
  findings->erase(std::remove_if(findings->begin(), findings->end(), left_out), findings->end());
}

bool IsCheckCode(const std::string& code) {
  return std::find(kCheckCodes, kCheckCodes + kCheckCodeCount, code) !=
         kCheckCodes + kCheckCodeCount;
}

}  // namespace

void ListPackageFiles(const std::string& package, std::vector<std::string>* files) {
  ListFiles(package, "", files);
}

int RunCheck(Platform& system, Console& console, const ToolOptions& options) {
  return CheckAndPrint(system, console, options, true);
}

int CheckAndPrint(Platform& system, Console& console, const ToolOptions& options, bool seal) {
  for (const std::string& code : options.ignore) {
    if (!IsCheckCode(code))
      return CannotRun(console, options, "--ignore: no finding has the code '" + code + "'");
  }
  ToolFolders folders = ResolveFolders(system.files, options);
  CheckInput input{folders.package, folders.host, {}, seal};
  if (!folders.host.empty() &&
      !system.files.Exists(folders.host.substr(0, folders.host.size() - 1)))
    return CannotRun(console, options, "no folder " + folders.host);
  ListPackageFiles(folders.package, &input.package_files);
  std::vector<Finding> findings;
  if (!CheckPackage(system.files, input, &findings))
    return CannotRun(console, options, "cannot read " + folders.package + "\\" + kScriptFileName);
  Filter(options, &findings);
  std::size_t errors = std::count_if(findings.begin(), findings.end(), [](const Finding& f) {
    return f.severity == Severity::kError;
  });
  if (options.json)
    PrintJson(console, findings, options, errors);
  else
    PrintText(console, findings, options, errors);
  return errors > 0 || (options.strict && !findings.empty()) ? kExitFailed : kExitOk;
}
