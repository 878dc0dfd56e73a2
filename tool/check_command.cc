// The check command: reads the script, lists the package, prints findings.
#include "platform/code_page.h"
#include "platform/console.h"
#include "platform/unicode.h"
#include "tool/check.h"
#include "tool/commands.h"
#include "tool/json.h"
#include "tool/session.h"

namespace {

const char kHostNotChecked[] =
    "Not checked without --host: full path lengths, ids held in Kestrova's catalogue.\n";

// Every file below `dir`, relative to the package folder.
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

void PrintText(Console& console, const std::vector<Finding>& findings, bool host_checked) {
  std::string out;
  for (const Finding& f : findings) {
    if (f.line > 0)
      out += "InstSkript.txt:" + std::to_string(f.line) + ":" + std::to_string(f.column) + ": ";
    out += std::string(SeverityName(f.severity)) + " " + f.code + ": " + AsUtf8(f.message) + "\n";
  }
  if (findings.empty())
    out += "No findings.\n";
  if (!host_checked)
    out += kHostNotChecked;
  console.Write(ConsoleStream::kOut, out);
}

void PrintJson(Console& console, const std::vector<Finding>& findings, bool host_checked) {
  std::string out = "{\"findings\": [";
  for (std::size_t i = 0; i < findings.size(); ++i) {
    const Finding& f = findings[i];
    out += (i ? ", " : "") + std::string("{\"code\": ") + JsonQuote(f.code) + ", \"severity\": \"" +
           SeverityName(f.severity) + "\", \"line\": " + std::to_string(f.line) +
           ", \"column\": " + std::to_string(f.column) +
           ", \"message\": " + JsonQuote(AsUtf8(f.message)) + "}";
  }
  out += std::string("], \"host_checked\": ") + (host_checked ? "true" : "false") + "}\n";
  console.WriteUtf8(ConsoleStream::kOut, out);
}

}  // namespace

int RunCheck(Platform& system, Console& console, const ToolOptions& options) {
  ToolFolders folders = ResolveFolders(system.files, options);
  PositionedScript script;
  if (!script.Load(system.files, folders.package + "\\InstSkript.txt")) {
    console.Write(ConsoleStream::kErr,
                  "packwright-tool: cannot read " + folders.package + "\\InstSkript.txt\n");
    return kExitCannotRun;
  }
  CheckInput input{folders.package, folders.host, {}};
  if (!folders.host.empty() &&
      !system.files.Exists(folders.host.substr(0, folders.host.size() - 1))) {
    console.Write(ConsoleStream::kErr, "packwright-tool: no folder " + folders.host + "\n");
    return kExitCannotRun;
  }
  ListFiles(folders.package, "", &input.package_files);
  std::vector<Finding> findings = CheckPackage(system.files, script, input);
  if (options.json)
    PrintJson(console, findings, !folders.host.empty());
  else
    PrintText(console, findings, !folders.host.empty());
  for (const Finding& f : findings) {
    if (f.severity == Severity::kError || options.strict)
      return kExitFailed;
  }
  return kExitOk;
}
