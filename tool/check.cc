// The check's frame: reading the script, ordering the findings, and the
// helpers that every finding uses.
#include "tool/check.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "engine/kestrova_names.h"
#include "platform/text_file.h"

const char* const kCheckCodes[] = {
    "blank-in-name",
    "source-name-with-blank",
    "section-ended-early",
    "file-entry-without-arrow",
    "texture-entry-without-arrow",
    "texture-section-missing",
    "sections-missing",
    "script-bom",
    "script-utf16",
    "section-name-case",
    "section-name-near",
    "section-name-joined",
    "section-without-block",
    "section-repeated",
    "section-unclosed",
    "entry-unclosed",
    "script-ctrl-z",
    "texture-id-held",
    "texture-id-repeated",
    "texture-id-in-word",
    "texture-id-range",
    "texture-refused",
    "blank-in-texture-name",
    "script-utf8",
    "source-missing",
    "source-wildcard",
    "source-folder",
    "source-outside",
    "destination-outside",
    "destination-drive-or-stream",
    "destination-records-folder",
    "destination-read-only",
    "destination-forbidden-char",
    "destination-device-name",
    "destination-trailing-dot",
    "destination-too-long",
    "destination-not-a-file",
    "destination-catalogue",
    "destination-is-folder",
    "destination-under-file",
    "destination-forward-slash",
    "destination-repeated",
    "catalogue-missing",
    "catalogue-unreadable",
    "catalogue-read-only",
    "records-folder-blocked",
    "file-not-installed",
    "seal-mismatch",
};
const std::size_t kCheckCodeCount = std::size(kCheckCodes);

ScriptSection ReadSection(CInstallScript& script, const std::string& name) {
  ScriptSection section;
  section.found = script.FindSection(name);
  if (!section.found)
    return section;
  section.name_pos = script.name_pos();
  section.opening = script.opening();
  section.opening_pos = script.opening_pos();
  ScriptEntry entry;
  while (script.NextEntry(&entry))
    section.entries.push_back(entry);
  section.end = script.section_end();
  section.end_pos = script.end_pos();
  return section;
}

bool CheckPackage(FileSystem& files, const CheckInput& input, std::vector<Finding>* findings) {
  findings->clear();
  std::string path = input.package + "\\" + kScriptFileName;
  std::string text;
  CInstallScript script(files);
  if (!ReadTextFile(files, path, &text) || !script.CheckOpen(path))
    return false;
  if (CheckLayout(script, text, findings))
    CheckEntries(files, ReadSection(script, kFileSection), ReadSection(script, kTextureSection),
                 input, findings);
  CheckSeal(files, input, findings);
  if (script.ReadFailed()) {
    findings->clear();
    return false;
  }
  // In the order of the script; findings about other files come last.
  std::stable_sort(findings->begin(), findings->end(), [](const Finding& a, const Finding& b) {
    return std::make_tuple(a.file, a.line == 0, a.line, a.column) <
           std::make_tuple(b.file, b.line == 0, b.line, b.column);
  });
  return true;
}

void Report(std::vector<Finding>* findings, const char* code, Severity severity, ScriptPos pos,
            const std::string& message) {
  findings->push_back({code, severity, pos.line, pos.column, message, FindingFile::kScript, ""});
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (char ch : text) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 0x20 && c != 0x7F) {
      out += ch;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof(escaped),
                    c == '\n'   ? "\\n"
                    : c == '\r' ? "\\r"
                    : c == '\t' ? "\\t"
                                : "\\x%02X",
                    c);
      out += escaped;
    }
  }
  return out;
}

std::string Quoted(const std::string& text) {
  const std::size_t kLimit = 40;
  return "'" + Escaped(text.substr(0, kLimit)) + (text.size() > kLimit ? "...'" : "'");
}

std::size_t EditDistance(const std::string& a, const std::string& b, std::size_t limit) {
  std::size_t n = a.size();
  std::size_t m = b.size();
  if ((n > m ? n - m : m - n) > limit)
    return limit + 1;
  // Three rows of the optimal-string-alignment table.
  std::vector<std::size_t> before(m + 1), last(m + 1), row(m + 1);
  for (std::size_t j = 0; j <= m; ++j)
    last[j] = j;
  for (std::size_t i = 1; i <= n; ++i) {
    row[0] = i;
    for (std::size_t j = 1; j <= m; ++j) {
      std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
      row[j] = std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        row[j] = std::min(row[j], before[j - 2] + 1);
    }
    before.swap(last);
    last.swap(row);
  }
  return std::min(last[m], limit + 1);
}
