// Findings about the script as a whole: its sections, what ends them early,
// and its bytes.
#include "platform/paths.h"
#include "tool/check.h"

namespace {

const char kBom[] = "\xEF\xBB\xBF";
const char* const kSections[] = {"Dateinstallation", "Texturskript"};

bool StartsWithBom(const std::string& text) {
  return text.compare(0, 3, kBom) == 0;
}

// Words that look meant as `name` but are not it byte for byte.
void CheckNameWords(const std::vector<ScriptWord>& words, const std::string& name,
                    std::vector<Finding>* findings) {
  int exact = 0;
  for (const ScriptWord& word : words) {
    if (word.text == name) {
      if (++exact == 2)
        Report(findings, "section-repeated", Severity::kWarning, word.pos,
               "Packwright reads only the first section " + name +
                   " and never this one; move its entries into the first.");
    } else if (LowerAscii(word.text) == LowerAscii(name)) {
      Report(findings, "section-name-case", Severity::kError, word.pos,
             "Section names match byte for byte, so '" + word.text + "' is not found; write " +
                 name + ".");
    } else if (LowerAscii(word.text).find(LowerAscii(name)) != std::string::npos &&
               !StartsWithBom(word.text)) {
      Report(findings, "section-name-joined", Severity::kError, word.pos,
             "Text with no brace between it runs on into one word, so Packwright reads '" +
                 word.text + "' and does not find " + name +
                 "; put remarks in braces, such as {remark}.");
    }
  }
}

void CheckSection(const PositionedScript& script, const std::string& name,
                  std::vector<Finding>* findings) {
  ScriptSection section = script.FindSection(name);
  if (!section.found) {
    if (name == "Texturskript")
      Report(findings, "texture-section-missing", Severity::kError, ScriptPos(),
             "Without a section Texturskript every install reports failure, even when all "
             "files were copied; add one, empty if there are no textures: Texturskript { }.");
    return;
  }
  if (section.opening != '{')
    Report(findings, "section-without-block", Severity::kError,
           section.opening == '\0' ? section.name_pos : section.opening_pos,
           "Packwright takes the character after " + name +
               " as the opening '{' of its block unseen; write " + name + " { {entry} ... }.");
  switch (section.end) {
    case ScriptSection::End::kStray:
      Report(findings, "section-ended-early", Severity::kError, section.end_pos,
             "This text is not an entry in braces, so Packwright ends the section " + name +
                 " here and ignores every entry after it; put it in braces or remove it.");
      break;
    case ScriptSection::End::kUnclosedEntry:
      Report(findings, "entry-unclosed", Severity::kError, section.end_pos,
             "This entry is not closed before the end of the script, so Packwright ignores "
             "it; add its closing '}'.");
      break;
    case ScriptSection::End::kEndOfInput:
      Report(findings, "section-unclosed", Severity::kWarning, section.name_pos,
             "The section " + name +
                 " has no closing '}'; Packwright reads its entries to "
                 "the end of the script; add the '}'.");
      break;
    case ScriptSection::End::kClosed:
      break;
  }
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

void CheckEncoding(const PositionedScript& script, std::vector<Finding>* findings) {
  const std::string& text = script.text();
  std::size_t start = StartsWithBom(text) ? 3 : 0;
  for (std::size_t i = start; i < text.size(); ++i) {
    if (std::size_t n = Utf8Length(text, i)) {
      Report(findings, "script-utf8", Severity::kWarning, script.PosOf(i),
             "The script is saved as UTF-8: Packwright passes '" + text.substr(i, n) +
                 "' on as bytes of the player's ANSI code page, so names with such letters "
                 "are not found; save the script as ANSI or use plain ASCII names.");
      return;
    }
  }
}

}  // namespace

void Report(std::vector<Finding>* findings, const char* code, Severity severity, ScriptPos pos,
            const std::string& message) {
  findings->push_back({code, severity, pos.line, pos.column, message});
}

void CheckLayout(const PositionedScript& script, std::vector<Finding>* findings) {
  if (StartsWithBom(script.text()))
    Report(findings, "script-bom", Severity::kError, script.PosOf(0),
           "The script starts with a UTF-8 byte-order mark, which Packwright reads as part of "
           "the first word, so a section named first is not found; save it without the mark.");
  if (script.cut_by_ctrl_z())
    Report(findings, "script-ctrl-z", Severity::kError, script.ctrl_z_pos(),
           "A Ctrl-Z byte stands here, and Packwright reads nothing after it; remove it.");
  std::vector<ScriptWord> words = script.TopLevelWords();
  for (const char* name : kSections) {
    CheckNameWords(words, name, findings);
    CheckSection(script, name, findings);
  }
  CheckEncoding(script, findings);
}
