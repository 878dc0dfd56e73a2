// The case generator: each draw picks from small pools of the shapes that
// have gone wrong before, so that a few hundred cases meet each of them.
#include "tool/prop_case.h"

#include <charconv>
#include <map>
#include <random>
#include <utility>

#include "engine/install_record.h"
#include "platform/code_page.h"
#include "platform/unicode.h"

namespace {

class Draw {
 public:
  explicit Draw(std::uint64_t seed) : rng_(seed) {}
  // A number in [0, n).
  std::size_t Below(std::size_t n) { return n ? rng_() % n : 0; }
  bool Chance(unsigned percent) { return Below(100) < percent; }
  template <typename T, std::size_t N>
  const T& Pick(const T (&pool)[N]) {
    return pool[Below(N)];
  }
  std::uint64_t Time() { return 1000 + 1000 * Below(3); }

 private:
  std::mt19937_64 rng_;
};

const char* const kDestinations[] = {
    "Modelle\\a.ksm",
    "Modelle\\Neu\\b.ksm",
    "Texturen\\c.bmp",
    "Modelle\\Neu\\Tief\\d.ksm",
    "e.dat",
    "Modelle\\x.dat",
    "Modelle\\Signale\\s.ksm",
    "Modelle\\Neu\\\xC3\x84.ksm",  // Modelle\Neu\Ä.ksm
    "\xD0\x9C\xD0\xBE\xD0\xB4\xD0\xB5\xD0\xBB\xD0\xB8\\\xC5\x81\xC3\xB3"
    "d\xC5\xBA.ksm",  // Модели\Łódź.ksm
};
const char* const kHostile[] = {
    "",
    "Modelle",
    "Modelle\\",
    "..\\Outside\\esc.dat",
    "Modelle\\..\\..\\Outside\\esc2.dat",
    "...\\esc3.dat",
    "C:\\W\\x.dll",
    "D:y.ksm",
    "Modelle\\x.ksm:zone",
    "Packwright\\0001\\Record.txt",
    "packwright\\0009\\1.bak",
    "PACKWR~1\\x.dat",
    "\\\\srv\\share\\x.dat",
    "Kestrova.exe\\inner.dat",
    "Modelle\\CON",
    "Modelle\\trail.",
    "Modelle\\Extern\\linked.ksm",
    "Resourcen\\Parallels\\Texturen.txt",
};
const char* const kIds[] = {"5101", "5102", "12", "0", "-5", "4294967296", "99999999999", "7"};

// Capitals and small letters beyond ASCII that Windows takes for one
// another, as the generated names use them.
const std::pair<std::uint32_t, std::uint32_t> kCasePairs[] = {
    {0xC4, 0xE4},   {0xD3, 0xF3},   {0x141, 0x142}, {0x179, 0x17A}, {0x41C, 0x43C},
    {0x41E, 0x43E}, {0x414, 0x434}, {0x415, 0x435}, {0x41B, 0x43B}, {0x418, 0x438},
};

std::uint32_t OtherCase(std::uint32_t cp) {
  if (cp < 0x80 && cp >= 'a' && cp <= 'z')
    return cp - 'a' + 'A';
  if (cp < 0x80 && cp >= 'A' && cp <= 'Z')
    return cp - 'A' + 'a';
  for (const auto& [capital, small] : kCasePairs) {
    if (cp == capital || cp == small)
      return cp == capital ? small : capital;
  }
  return cp;
}

// The name Windows takes for the same one: every letter beyond ASCII and
// the ASCII letters at odd positions in the other case.
std::string CaseVariant(const std::string& path) {
  std::string out;
  for (std::size_t i = 0, n = 0; i < path.size(); ++n) {
    std::uint32_t cp;
    i += DecodeUtf8(path, i, &cp);
    AppendUtf8(cp >= 0x80 || n % 2 == 1 ? OtherCase(cp) : cp, &out);
  }
  return out;
}

const char kCatalogue[] = "Resourcen\\Parallels\\Texturen.txt";

std::string CatalogueText(Draw& d) {
  static const char* const kEntries[] = {
      "Textur{\tname(Kies)\tid(12)\t}",
      "Textur{\tname(Gras)\tid(7)\t}",
      "Textur{\tname(Doppel)\tid(12)\t}",
      "Textur{\tname(Kaputt)\t}",
  };
  std::string text = d.Chance(15) ? "\xEF\xBB\xBF" : "";
  bool normal = d.Chance(50);
  text += normal ? "Basis{\r\n" : "Basis { ";
  std::size_t n = d.Below(4);
  for (std::size_t i = 0; i < n; ++i) {
    std::string entry = kEntries[d.Below(d.Chance(90) ? 3 : 4)];
    text += normal ? "\t" + entry + "\r\n" : entry + " ";
  }
  return text + (normal ? "}\r\n" : "}");
}

// A record of an earlier install, as a build wrote it or as a hand made it.
std::string EarlierRecord(Draw& d, const std::string& package) {
  std::string text = std::string(kRecordVersionLine) + "\npackage\t" + package +
                     "\t00000000000000aa\ntime\t2026-01-02 03:04:05\nkind\tinstall\n"
                     "create\tModelle\\alt.ksm\t3\t0000000000000001\n"
                     "created\tModelle\\alt.ksm\t1000\n";
  switch (d.Below(6)) {
    case 0:
      return text.substr(0, d.Below(text.size()));
    case 1:
      return text + "undoes\t99999999999999999999\nend\tok\n";
    case 2:
      return text + "remove\tModelle\\..\\..\\Outside\\keep.dat\t1.bak\t0\t1\t2\nend\tok\n";
    case 3:
      return text + "create\tC:\\W\\x\t1\t2\nend\t\x01\n";
    default:
      return text + "end\tok\n";
  }
}

void AddHost(Draw& d, PropCase* c) {
  auto& l = c->lines;
  // Without its program, the registry's AppPath names no Kestrova.
  if (d.Chance(97))
    l.push_back({"file", "Kestrova.exe", "1000", "0", "exe"});
  l.push_back({"dir", "Modelle"});
  if (d.Chance(85))
    l.push_back({"file", kCatalogue, "1000", d.Chance(10) ? "1" : "0", CatalogueText(d)});
  if (d.Chance(30))
    l.push_back({"link", "Modelle\\Extern", "Extern"});
  if (d.Chance(3))
    l.push_back({"file", "Packwright", "1000", "0", "a file where the records go"});
  l.push_back({"outside", "Extern\\keep.dat", "1000", "outside"});
  l.push_back({"outside", "keep.dat", "1000", "outside"});
  if (d.Chance(25)) {
    std::string name = d.Chance(50) ? "Other" : c->Value("name", "Paket");
    l.push_back({"file", "Packwright\\0001\\Record.txt", "1000", "0", EarlierRecord(d, name)});
    l.push_back({"file", "Modelle\\alt.ksm", "1000", "0", "alt"});
  }
}

std::string Destination(Draw& d, const std::vector<std::string>& used) {
  if (!used.empty() && d.Chance(15))
    return d.Chance(50) ? used[d.Below(used.size())] : CaseVariant(used[d.Below(used.size())]);
  return d.Chance(20) ? d.Pick(kHostile) : d.Pick(kDestinations);
}

// An existing file at the destination: older, newer or the same age, at
// times read-only; or a folder where the file should go.
void AddExisting(Draw& d, const std::string& dest, PropCase* c) {
  if (d.Chance(10)) {
    c->lines.push_back({"dir", dest + "\\sub"});
    return;
  }
  static const char* const kTimes[] = {"500", "2000", "9000"};
  std::string name = d.Chance(30) ? CaseVariant(dest) : dest;
  c->lines.push_back({"file", name, d.Pick(kTimes), d.Chance(20) ? "1" : "0", "old " + dest});
}

void AddEntries(Draw& d, PropCase* c) {
  std::vector<std::string> used;
  std::size_t n = 1 + d.Below(5);
  for (std::size_t i = 0; i < n; ++i) {
    std::string src = std::string(1, static_cast<char>('a' + i)) + ".dat";
    c->lines.push_back({"pkg", src, std::to_string(d.Time()), "new " + src});
    std::string dest = Destination(d, used);
    if (d.Chance(25))
      AddExisting(d, dest, c);
    if (d.Chance(5))
      src = "missing.dat";
    c->lines.push_back({"entry", d.Chance(3) ? src + dest : src + ">>" + dest});
    used.push_back(dest);
  }
  if (d.Chance(10)) {
    c->lines.push_back(
        {"pkg", kCatalogue, "3000", "Basis{\r\n\tTextur{\tname(Mit)\tid(7201)\t}\r\n}\r\n"});
    c->lines.push_back({"entry", std::string(kCatalogue) + ">>" + kCatalogue});
  }
}

void AddTextures(Draw& d, PropCase* c) {
  std::size_t n = d.Below(4);
  for (std::size_t i = 0; i < n; ++i) {
    std::string name = "T" + std::to_string(i);
    std::string entry = d.Chance(5) ? "Textur{name(" + name + ")}"
                                    : "Textur{name(" + name + ")id(" + d.Pick(kIds) + ")}";
    c->lines.push_back({"texture", "t>>" + entry});
  }
}

// UTF-8 `text` in single-byte code page `code_page`; a character that the
// code page lacks stays UTF-8, as an editor that cannot convert leaves it.
std::string InCodePage(unsigned code_page, const std::string& text) {
  std::map<std::string, char> bytes;
  for (int b = 0x80; b <= 0xFF; ++b) {
    std::string one(1, static_cast<char>(b));
    bytes.emplace(CodePageToUtf8(code_page, one), one[0]);
  }
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    std::uint32_t cp;
    std::size_t len = DecodeUtf8(text, i, &cp);
    auto byte = len > 1 ? bytes.find(text.substr(i, len)) : bytes.end();
    out += byte != bytes.end() ? std::string(1, byte->second) : text.substr(i, len);
    i += len;
  }
  return out;
}

}  // namespace

std::vector<std::vector<std::string>> PropCase::Of(const std::string& kind) const {
  std::vector<std::vector<std::string>> found;
  for (const auto& line : lines) {
    if (!line.empty() && line[0] == kind)
      found.emplace_back(line.begin() + 1, line.end());
  }
  return found;
}

std::string PropCase::Value(const std::string& kind, const std::string& fallback) const {
  for (const auto& fields : Of(kind)) {
    if (!fields.empty())
      return fields[0];
  }
  return fallback;
}

unsigned PropCase::CodePage() const {
  unsigned code_page = 0;
  std::string text = Value("codepage", "0");
  std::from_chars(text.data(), text.data() + text.size(), code_page);
  return KnownCodePage(code_page) ? code_page : 0;
}

std::string PropCase::Script() const {
  unsigned code_page = CodePage() ? CodePage() : 1252;
  auto line = [&](const std::vector<std::string>& entry) {
    return "  {" + (entry.empty() ? std::string() : InCodePage(code_page, entry[0])) + "}\r\n";
  };
  std::string script = "Dateinstallation{\r\n";
  for (const auto& entry : Of("entry"))
    script += line(entry);
  script += "}\r\nTexturskript{\r\n";
  for (const auto& entry : Of("texture"))
    script += line(entry);
  return script + "}\r\n";
}

PropCase GenerateCase(std::uint64_t seed) {
  Draw d(seed);
  PropCase c;
  if (d.Chance(5))
    c.lines.push_back({"name", "2024"});
  // Central European, Cyrillic and Western: each has letters of the names.
  static const char* const kCodePages[] = {"1250", "1251", "1252"};
  c.lines.push_back({"codepage", d.Pick(kCodePages)});
  static const char* const kNewer[] = {"keep", "replace", "ask"};
  c.lines.push_back({"newer", d.Pick(kNewer)});
  static const char* const kRegistry[] = {"host", "host", "other", "none"};
  std::string registry = d.Pick(kRegistry);
  c.lines.push_back({"registry", registry});
  if (registry == "host" && d.Chance(30))
    c.lines.push_back({"from-registry"});
  AddHost(d, &c);
  AddEntries(d, &c);
  AddTextures(d, &c);
  if (d.Chance(15))
    c.lines.push_back(
        {"later", std::to_string(d.Below(4)), d.Chance(50) ? "same-size" : "edited by the player"});
  if (d.Chance(10))
    c.lines.push_back({"later-texture"});
  if (d.Chance(15))
    c.lines.push_back({"force"});
  return c;
}

std::string CaseText(const PropCase& c) {
  std::string text;
  for (const auto& line : c.lines) {
    for (std::size_t i = 0; i < line.size(); ++i)
      text += (i ? "\t" : "") + EscapeField(line[i]);
    text += "\n";
  }
  return text;
}

bool ParseCase(const std::string& text, PropCase* c) {
  c->lines.clear();
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos)
      end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (line.empty() || line[0] == '#')
      continue;
    std::vector<std::string> fields;
    if (!SplitRecordLine(line, &fields))
      return false;
    c->lines.push_back(fields);
  }
  return true;
}
