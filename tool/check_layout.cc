// Findings about the script as a whole: its sections, what ends them early,
// and its bytes.
#include "engine/kestrova_names.h"
#include "platform/paths.h"
#include "tool/check.h"

namespace {

const char kBom[] = "\xEF\xBB\xBF";
const char* const kSections[] = {kFileSection, kTextureSection};

bool StartsWithBom(const std::string& text) {
  return text.compare(0, 3, kBom) == 0;
}

// True when `word` looks meant as `name` without being it: a case, a
// letter or two, or a remark run on into it.
bool Resembles(const std::string& word, const std::string& name) {
  std::string lower = LowerAscii(word);
  std::string lower_name = LowerAscii(name);
  return lower.find(lower_name) != std::string::npos || EditDistance(lower, lower_name, 2) <= 2;
}

// Words that look meant as `name` but are not it byte for byte.
void CheckNameWords(const std::vector<ScriptWord>& words, const std::string& name,
                    std::vector<Finding>* findings) {
  int exact = 0;
  for (const ScriptWord& word : words) {
    std::string lower = LowerAscii(word.text);
    if (word.text == name) {
      if (++exact == 2)
        Report(findings, "section-repeated", Severity::kWarning, word.pos,
               "Packwright reads only the first section " + name +
                   " and never this one; move its entries into the first.");
    } else if (StartsWithBom(word.text)) {
      continue;  // The byte-order mark's own finding says it.
    } else if (lower == LowerAscii(name)) {
      Report(findings, "section-name-case", Severity::kError, word.pos,
             "Section names match byte for byte, so " + Quoted(word.text) +
                 " is not found; write " + name + ".");
    } else if (EditDistance(lower, LowerAscii(name), 2) <= 2) {
      Report(findings, "section-name-near", Severity::kError, word.pos,
             Quoted(word.text) + " is not a section name, so Packwright does not find " + name +
                 ", which it resembles; write " + name + ".");
    } else if (lower.find(LowerAscii(name)) != std::string::npos) {
      Report(findings, "section-name-joined", Severity::kError, word.pos,
             "Text with no brace between it runs on into one word, so Packwright reads " +
                 Quoted(word.text) + " and does not find " + name +
                 "; put remarks in braces, such as {remark}.");
    }
  }
}

void CheckSection(const ScriptSection& section, const std::string& name,
                  std::vector<Finding>* findings) {
  if (section.opening != '{')
    Report(findings, "section-without-block", Severity::kError,
           section.opening == '\0' ? section.name_pos : section.opening_pos,
           "Packwright takes the character after " + name +
               " as the opening '{' of its block unseen; write " + name + " { {entry} ... }.");
  switch (section.end) {
    case SectionEnd::kStray:
      Report(findings, "section-ended-early", Severity::kError, section.end_pos,
             "This text is not an entry in braces, so Packwright ends the section " + name +
                 " here and ignores every entry after it; put it in braces or remove it.");
      break;
    case SectionEnd::kUnclosedEntry:
      Report(findings, "entry-unclosed", Severity::kError, section.end_pos,
             "This entry is not closed before the end of the script, so Packwright ignores "
             "it; add its closing '}'.");
      break;
    case SectionEnd::kEndOfInput:
      Report(findings, "section-unclosed", Severity::kWarning, section.name_pos,
             "The section " + name +
                 " has no closing '}'; Packwright reads its entries to "
                 "the end of the script; add the '}'.");
      break;
    case SectionEnd::kClosed:
      break;
  }
}

void CheckMissingSections(bool file_found, bool texture_found, std::vector<Finding>* findings) {
  if (!file_found && !texture_found)
    Report(findings, "sections-missing", Severity::kError, ScriptPos(),
           "Packwright finds neither Dateinstallation nor Texturskript, so it installs nothing "
           "and reports failure; write Dateinstallation { {source >> destination} } and "
           "Texturskript { }.");
  else if (!texture_found)
    Report(findings, "texture-section-missing", Severity::kError, ScriptPos(),
           "Without a section Texturskript every install reports failure, even when all "
           "files were copied; add one, empty if there are no textures: Texturskript { }.");
}

// A BOM hides a section only when it runs on into a word that is meant as
// one; before a block in braces it stands alone and hides nothing.
void CheckBom(const std::vector<ScriptWord>& words, std::vector<Finding>* findings) {
  std::string rest = words.empty() ? "" : words[0].text.substr(3);
  bool hides = false;
  for (const char* name : kSections)
    hides = hides || (!rest.empty() && Resembles(rest, name));
  if (hides)
    Report(findings, "script-bom", Severity::kError, ScriptPos{1, 1},
           "The script starts with a UTF-8 byte-order mark, which Packwright reads as part of "
           "the first word, so the section named first is not found; save it without the mark.");
  else
    Report(findings, "script-bom", Severity::kWarning, ScriptPos{1, 1},
           "The script starts with a UTF-8 byte-order mark; it hides nothing here, but a "
           "section named first would not be found; save it without the mark.");
}

// The length of the UTF-8 sequence at `i` of `text`; 0 if there is none.
std::size_t Utf8Length(const std::string& text, std::size_t i) {
  unsigned char lead = static_cast<unsigned char>(text[i]);
  std::size_t n = lead >= 0xF0 && lead < 0xF5 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (lead >= 0xF5 || n == 0 || i + n > text.size())
    return 0;
  for (std::size_t k = 1; k < n; ++k) {
    if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
      return 0;
  }
  return n;
}

void CheckUtf8(const std::string& text, std::vector<Finding>* findings) {
  std::size_t start = StartsWithBom(text) ? 3 : 0;
  for (std::size_t i = start; i < text.size(); ++i) {
    if (std::size_t n = Utf8Length(text, i)) {
      Report(findings, "script-utf8", Severity::kWarning, PosInText(text, i),
             "The script is saved as UTF-8: Packwright passes " + Quoted(text.substr(i, n)) +
                 " on as bytes of the player's ANSI code page, so names with such letters "
                 "are not found; save the script as ANSI or use plain ASCII names.");
      return;
    }
  }
}

// Notepad's "Unicode" is UTF-16: a byte-order mark FF FE or FE FF, or, for
// plain letters, a zero byte beside each.
bool IsUtf16(const std::string& text) {
  if (text.compare(0, 2, "\xFF\xFE") == 0 || text.compare(0, 2, "\xFE\xFF") == 0)
    return true;
  std::size_t zeros = 0;
  for (char c : text)
    zeros += c == '\0';
  return text.size() >= 2 && zeros * 4 >= text.size();
}

}  // namespace

bool CheckLayout(CInstallScript& script, const std::string& text, std::vector<Finding>* findings) {
  if (IsUtf16(text)) {
    Report(findings, "script-utf16", Severity::kError, ScriptPos{1, 1},
           "The script is saved as UTF-16 (Notepad's \"Unicode\"), which Packwright cannot "
           "read; save it as ANSI.");
    return false;
  }
  std::vector<ScriptWord> words;
  script.ReadTopLevelWords(&words);
  if (StartsWithBom(text))
    CheckBom(words, findings);
  if (script.CutShortByCtrlZ())
    Report(findings, "script-ctrl-z", Severity::kError, script.pos(),
           "A Ctrl-Z byte stands here, and Packwright reads nothing after it; remove it.");
  bool found[2] = {false, false};
  for (int i = 0; i < 2; ++i) {
    CheckNameWords(words, kSections[i], findings);
    ScriptSection section = ReadSection(script, kSections[i]);
    found[i] = section.found;
    if (section.found)
      CheckSection(section, kSections[i], findings);
  }
  CheckMissingSections(found[0], found[1], findings);
  CheckUtf8(text, findings);
  return true;
}
