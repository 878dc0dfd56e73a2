#include "platform/reg_file.h"

#include <cstdio>

#include "platform/hex.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/utf16.h"
#include "platform/win_constants.h"

namespace {

const char kHeader[] = "Windows Registry Editor Version 5.00";
const char kUtf8Bom[] = "\xEF\xBB\xBF";
const char kUtf16Bom[] = "\xFF\xFE";

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
bool IsSpace(char c) {
  return IsBlank(c) || c == '\r' || c == '\n';
}

std::size_t SkipBlanks(const std::string& s, std::size_t pos) {
  while (pos < s.size() && IsBlank(s[pos]))
    ++pos;
  return pos;
}

std::string Trim(const std::string& s) {
  std::size_t begin = 0;
  std::size_t end = s.size();
  while (begin < end && IsSpace(s[begin]))
    ++begin;
  while (end > begin && IsSpace(s[end - 1]))
    --end;
  return s.substr(begin, end - begin);
}

bool StartsWithAt(const std::string& s, std::size_t pos, const char* prefix) {
  for (; *prefix; ++prefix, ++pos) {
    if (pos >= s.size() || s[pos] != *prefix)
      return false;
  }
  return true;
}

// Parses 1 to `max_digits` (at most 8) hex digits making up all of `text`.
bool ParseHexNumber(const std::string& text, std::size_t max_digits, std::uint32_t* value) {
  std::uint64_t parsed = 0;
  if (!ParseHex(text, max_digits, &parsed))
    return false;
  *value = static_cast<std::uint32_t>(parsed);
  return true;
}

// Splits `text` into lines that keep their endings.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    lines.push_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

std::string LineEnding(const std::string& line) {
  std::size_t n = line.size();
  if (n >= 2 && line.compare(n - 2, 2, "\r\n") == 0)
    return "\r\n";
  return n >= 1 && line[n - 1] == '\n' ? "\n" : "";
}

// Reads the quoted text starting at `*pos` (a '"'), with \\ and \" read as
// \ and ", and moves `*pos` past the closing quote.
bool ParseQuoted(const std::string& s, std::size_t* pos, std::string* out) {
  out->clear();
  for (std::size_t i = *pos + 1; i < s.size();) {
    char c = s[i++];
    if (c == '"') {
      *pos = i;
      return true;
    }
    if (c == '\\' && i < s.size() && (s[i] == '\\' || s[i] == '"'))
      c = s[i++];
    *out += c;
  }
  return false;
}

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"')
      out += '\\';
    out += c;
  }
  return out + "\"";
}

// The value name at `*pos`: @ for the default value, or a quoted name.
bool ParseName(const std::string& s, std::size_t* pos, std::string* name) {
  if (*pos < s.size() && s[*pos] == '@') {
    name->clear();
    ++*pos;
    return true;
  }
  return *pos < s.size() && s[*pos] == '"' && ParseQuoted(s, pos, name);
}

// The position of the data after `name=` in a value line; npos if none.
std::size_t DataStart(const std::string& s, std::string* name) {
  std::size_t pos = SkipBlanks(s, 0);
  if (!ParseName(s, &pos, name))
    return std::string::npos;
  pos = SkipBlanks(s, pos);
  if (pos >= s.size() || s[pos] != '=')
    return std::string::npos;
  return SkipBlanks(s, pos + 1);
}

// A hex list goes on to the next line when it ends in a backslash.
bool ContinuesHex(const std::string& text) {
  std::string trimmed = Trim(text);
  std::string name;
  std::size_t data = DataStart(trimmed, &name);
  return !trimmed.empty() && trimmed.back() == '\\' && data != std::string::npos &&
         StartsWithAt(trimmed, data, "hex");
}

// A line that carries on a hex list starts with a byte or a comma; a
// blank line, a section or another value never does.
bool IsContinuation(const std::string& line) {
  std::size_t pos = SkipBlanks(line, 0);
  std::uint64_t digit = 0;
  return pos < line.size() && (ParseHex(line.substr(pos, 1), 1, &digit) || line[pos] == ',');
}

// Bytes of a comma-separated hex list; blanks, line breaks and the
// continuation backslashes between them do not count.
bool ParseHexBytes(const std::string& list, std::string* bytes) {
  std::string compact;
  for (char c : list) {
    if (!IsSpace(c) && c != '\\')
      compact += c;
  }
  bytes->clear();
  if (compact.empty())
    return true;
  std::size_t start = 0;
  for (;;) {
    std::size_t comma = compact.find(',', start);
    std::size_t end = comma == std::string::npos ? compact.size() : comma;
    std::uint32_t byte;
    if (!ParseHexNumber(compact.substr(start, end - start), 2, &byte))
      return false;
    *bytes += static_cast<char>(byte);
    if (comma == std::string::npos)
      return true;
    start = comma + 1;
  }
}

// hex:.. or hex(n):..; string types arrive as UTF-16LE and leave as UTF-8.
bool ParseHexValue(const std::string& data, RegValue* value) {
  std::size_t colon = data.find(':');
  if (colon == std::string::npos)
    return false;
  std::string prefix = data.substr(0, colon);
  value->type = kRegBinary;
  if (prefix != "hex" &&
      (prefix.size() < 6 || prefix.compare(0, 4, "hex(") != 0 || prefix.back() != ')' ||
       !ParseHexNumber(prefix.substr(4, prefix.size() - 5), 8, &value->type)))
    return false;
  std::string bytes;
  if (!ParseHexBytes(data.substr(colon + 1), &bytes))
    return false;
  if (value->type != kRegSz && value->type != kRegExpandSz && value->type != kRegMultiSz) {
    value->data = bytes;
    return true;
  }
  value->data.clear();
  return Utf16ToUtf8(bytes, 0, &value->data);
}

// The data of a value line, from after "=" to the end of the line.
bool ParseData(const std::string& data, RegValue* value, bool* deleted) {
  std::string text = Trim(data);
  *deleted = text == "-";
  if (*deleted)
    return true;
  if (!text.empty() && text[0] == '"') {
    std::size_t end = 0;
    value->type = kRegSz;
    if (!ParseQuoted(text, &end, &value->data) || end != text.size())
      return false;
    value->data += '\0';
    return true;
  }
  std::uint32_t number;
  if (StartsWithAt(text, 0, "dword:")) {
    if (!ParseHexNumber(text.substr(6), 8, &number))
      return false;
    value->type = kRegDword;
    value->data = DwordBytes(number);
    return true;
  }
  return StartsWithAt(text, 0, "hex") && ParseHexValue(text, value);
}

// The key a section line opens, in lower case; empty for a line that
// deletes a key or is not a section line at all.
std::string SectionKey(const std::string& line) {
  std::string text = Trim(line);
  std::size_t close = text.rfind(']');
  if (text.size() < 3 || text[0] != '[' || text[1] == '-' || close == std::string::npos)
    return "";
  return LowerAscii(text.substr(1, close - 1));
}

}  // namespace

bool RegFile::Parse(const std::string& bytes) {
  lines_.clear();
  encoding_ = Encoding::kUtf8;
  newline_ = "\r\n";
  std::string text;
  if (StartsWithAt(bytes, 0, kUtf16Bom)) {
    if (!Utf16ToUtf8(bytes, 2, &text))
      return false;
    encoding_ = Encoding::kUtf16;
  } else if (StartsWithAt(bytes, 0, kUtf8Bom)) {
    encoding_ = Encoding::kUtf8Bom;
    text = bytes.substr(3);
  } else {
    text = bytes;
  }
  std::vector<std::string> physical = SplitLines(text);
  if (physical.empty() || Trim(physical[0]) != kHeader) {
    encoding_ = Encoding::kUtf8;
    return false;
  }
  if (!LineEnding(physical[0]).empty())
    newline_ = LineEnding(physical[0]);
  std::string section;
  for (std::size_t i = 0; i < physical.size();) {
    Line line;
    line.text = physical[i++];
    while (i < physical.size() && ContinuesHex(line.text) && IsContinuation(physical[i]))
      line.text += physical[i++];
    if (Trim(line.text).compare(0, 1, "[") == 0) {
      section = SectionKey(line.text);
      line.kind = section.empty() ? Kind::kOther : Kind::kKey;
      line.key = section;
    } else {
      ParseValueLine(&line, section);
    }
    lines_.push_back(std::move(line));
  }
  return true;
}

void RegFile::ParseValueLine(Line* line, const std::string& section) {
  std::string name;
  std::size_t data = DataStart(line->text, &name);
  RegValue value;
  bool deleted = false;
  if (section.empty() || data == std::string::npos ||
      !ParseData(line->text.substr(data), &value, &deleted))
    return;
  line->kind = Kind::kValue;
  line->key = section;
  line->name = LowerAscii(name);
  line->data_start = data;
  line->deleted = deleted;
  line->value = std::move(value);
}

bool RegFile::HasKey(const std::string& key) const {
  std::string wanted = LowerAscii(key);
  for (const Line& line : lines_) {
    if (line.kind == Kind::kKey && line.key.compare(0, wanted.size(), wanted) == 0 &&
        (line.key.size() == wanted.size() || line.key[wanted.size()] == '\\'))
      return true;
  }
  return false;
}

int RegFile::FindValueLine(const std::string& key, const std::string& name) const {
  std::string wanted_key = LowerAscii(key);
  std::string wanted_name = LowerAscii(name);
  for (std::size_t i = lines_.size(); i-- > 0;) {
    const Line& line = lines_[i];
    if (line.kind == Kind::kValue && line.key == wanted_key && line.name == wanted_name)
      return static_cast<int>(i);
  }
  return -1;
}

int RegFile::FindSection(const std::string& key) const {
  std::string wanted = LowerAscii(key);
  for (std::size_t i = lines_.size(); i-- > 0;) {
    if (lines_[i].kind == Kind::kKey && lines_[i].key == wanted)
      return static_cast<int>(i);
  }
  return -1;
}

const RegValue* RegFile::Find(const std::string& key, const std::string& name) const {
  int at = FindValueLine(key, name);
  if (at < 0 || lines_[at].deleted)
    return nullptr;
  return &lines_[at].value;
}

void RegFile::InsertLine(std::size_t at, const std::string& text) {
  if (at > 0 && LineEnding(lines_[at - 1].text).empty())
    lines_[at - 1].text += newline_;
  Line line;
  line.text = text + newline_;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

void RegFile::SetDword(const std::string& key, const std::string& name, std::uint32_t value) {
  if (lines_.empty())
    return;
  char data[16];
  std::snprintf(data, sizeof data, "dword:%08x", static_cast<unsigned>(value));
  int at = FindValueLine(key, name);
  if (at >= 0) {
    Line& line = lines_[at];
    line.text = line.text.substr(0, line.data_start) + data + LineEnding(line.text);
  } else {
    std::string text = (name.empty() ? "@" : Quote(name)) + "=" + data;
    int section = FindSection(key);
    if (section >= 0) {
      std::size_t after = static_cast<std::size_t>(section);
      for (std::size_t i = after + 1; i < lines_.size() && lines_[i].kind != Kind::kKey; ++i) {
        if (lines_[i].kind == Kind::kValue)
          after = i;
      }
      InsertLine(after + 1, text);
    } else {
      if (!Trim(lines_.back().text).empty())
        InsertLine(lines_.size(), "");
      InsertLine(lines_.size(), "[" + key + "]");
      InsertLine(lines_.size(), text);
    }
  }
  // Reading the result again gives every line its meaning back.
  Parse(Serialize());
}

std::string RegFile::Serialize() const {
  std::string text;
  for (const Line& line : lines_)
    text += line.text;
  if (encoding_ == Encoding::kUtf16)
    return kUtf16Bom + Utf8ToUtf16(text);
  if (encoding_ == Encoding::kUtf8Bom)
    return kUtf8Bom + text;
  return text;
}
