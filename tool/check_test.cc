#include "tool/check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake_platform.h"

namespace {

struct CheckCase {
  std::string script;
  // The findings expected, as "code@line" or "code@line:column"; a warning
  // is marked with a leading "~".
  std::vector<std::string> findings;
};

const char kEnd[] = "\nTexturskript{}\n";

// Each pitfall on its own, in a package that holds a.dat, "b c.dat", Sub/x.dat
// and a folder Dir, beside a file ..\other\x.txt, checked against a Kestrova
// that holds the texture id 12.
const CheckCase kCases[] = {
    {"Dateinstallation{ {a.dat>>M\\a.dat} }\nTexturskript{ {t>>Textur{name(t)id(5)}} }", {}},
    {"\xEF\xBB\xBFTexturskript{}", {"script-bom@1:1", "sections-missing@0"}},
    {"\xEF\xBB\xBF{remark}Dateinstallation{{x.dat>>M\\x.dat}}",
     {"~script-bom@1:1", "source-missing@1:26"}},
    {"Texturskript{}\n\x1A{x}", {"script-ctrl-z@2"}},
    {"dateinstallation{}\nTexturskript{}", {"section-name-case@1"}},
    {"Dateiinstallation{\n{a.dat>>M\\a.dat}}", {"section-name-near@1"}},
    {"Dateiinstallation{}\nTextruskript{}",
     {"section-name-near@1", "section-name-near@2", "sections-missing@0"}},
    {"Remark\nDateinstallation{}\nTexturskript{}", {"section-name-joined@1"}},
    {"Texturskript{}\nTexturskript{}", {"~section-repeated@2"}},
    {"Dateinstallation{}", {"texture-section-missing@0"}},
    {std::string("\xFF\xFE"
                 "D\0a\0t\0e\0i\0n\0",
                 14),
     {"script-utf16@1"}},
    {"Dateinstallation{\n{a.dat>>M\\a.dat}\nNote\n{a.dat>>M\\b.dat}\n}\nTexturskript{}",
     {"section-ended-early@3"}},
    {"Texturskript{}\nDateinstallation{\n{a.dat>>M\\a.dat", {"entry-unclosed@3"}},
    {"Texturskript{}\nDateinstallation{\n{a.dat>>M\\a.dat}", {"~section-unclosed@2"}},
    {"Dateinstallation\r{\r    {Fehlt.ksm >> M\\x.ksm}\r}\rTexturskript { }\r",
     {"source-missing@3:5"}},
    {"Dateinstallation{\n{a.dat}\n}", {"file-entry-without-arrow@2"}},
    {"Dateinstallation{\n{b c.dat>>M\\x.dat}}", {"source-name-with-blank@2"}},
    {"Dateinstallation{\n{a.dat>>M\\a b.dat}}", {"~blank-in-name@2"}},
    {"Texturskript{}\nDateinstallation{\n{a.dat>>M\\a b.dat\n{a.dat>>M\\c.dat}\n}",
     {"~section-unclosed@2", "~blank-in-name@3", "destination-forbidden-char@3"}},
    {"Dateinstallation{\n{x.dat>>M\\x.dat}}", {"source-missing@2"}},
    {"Dateinstallation{\n{*.dat>>M\\x.dat}}", {"source-wildcard@2"}},
    {"Dateinstallation{\n{Dir>>M\\x.dat}}", {"source-folder@2"}},
    {"Dateinstallation{\n{..\\other\\x.txt>>M\\x.txt}}", {"~source-outside@2"}},
    {"Dateinstallation{\n{a.dat>>..\\x.dat}}", {"destination-outside@2"}},
    {"Dateinstallation{\n{a.dat>>M\\a|b?.dat}}", {"destination-forbidden-char@2"}},
    {"Dateinstallation{\n{a.dat>>M\\x:s}\n{a.dat>>C:\\x}}",
     {"destination-drive-or-stream@2", "destination-drive-or-stream@3"}},
    {"Dateinstallation{\n{a.dat>>PACKWR~1\\x}}", {"destination-records-folder@2"}},
    {"Dateinstallation{\n{a.dat>>M\\nul.txt}}", {"destination-device-name@2"}},
    {"Dateinstallation{\n{a.dat>>M\\x.}}", {"destination-trailing-dot@2"}},
    {"Dateinstallation{\n{a.dat>>M/x.dat}}", {"~destination-forward-slash@2"}},
    {"Dateinstallation{\n{a.dat>>M\\}}", {"destination-not-a-file@2"}},
    {"Dateinstallation{\n{a.dat>>M\\.}}", {"destination-not-a-file@2"}},
    {"Dateinstallation{\n{a.dat>>M\\a.dat}\n{a.dat>>m\\A.dat}}", {"~destination-repeated@3"}},
    {"Dateinstallation{\n{a.dat>>resourcen\\Parallels\\Texturen.txt}}",
     {"destination-catalogue@2"}},
    {"Texturskript{\n{t}}", {"texture-entry-without-arrow@2"}},
    {"Texturskript{\n{t>>Textur{name(t)id(0)}}}", {"texture-refused@2"}},
    {"Texturskript{\n{t>>Textur{name(t)id(-7009)}}\n{u>>Textur{name(u)id(4294967338)}}}",
     {"texture-id-range@2", "texture-id-range@3"}},
    {"Texturskript{\n{t>>Textur{name(Fahrdraht Kupfer)id(8)}}}", {"~blank-in-texture-name@2"}},
    {"Texturskript{\n{t>>Textur{name(t)grid(3)id(7)}}}", {"~texture-id-in-word@2"}},
    {"Texturskript{\n{t>>Textur{name(t)id(5)}}\n{u>>Textur{name(u)id(5)}}}",
     {"texture-id-repeated@3"}},
    {"Texturskript{\n{t>>Textur{name(t)id(12)}}}", {"~texture-id-held@2"}},
    {"Texturskript{\n{t>>Textur{name(\xC3\xA4)id(6)}}}", {"~script-utf8@2"}},
};

// The findings in the form of the table, a column given only where the
// expectation names one. Fails the test when a message spans lines.
std::vector<std::string> Check(FakeFileSystem& files, const std::string& script,
                               const std::string& host, std::vector<std::string> listed,
                               const std::vector<std::string>& expected = {}) {
  files.AddFile("C:\\Paket\\InstSkript.txt", script);
  std::vector<Finding> findings;
  EXPECT_TRUE(CheckPackage(files, {"C:\\Paket", host, listed}, &findings));
  std::vector<std::string> found;
  for (const Finding& f : findings) {
    std::string at = f.code + "@" + std::to_string(f.line);
    std::string mark = f.severity == Severity::kWarning ? "~" : "";
    bool column = false;
    for (const std::string& e : expected)
      column = column || e == mark + at + ":" + std::to_string(f.column);
    found.push_back(mark + at + (column ? ":" + std::to_string(f.column) : ""));
    EXPECT_EQ(std::string::npos, f.message.find_first_of("\r\n")) << f.message;
  }
  return found;
}

TEST(CheckTest, ReportsEachPitfallAtItsPlace) {
  FakeFileSystem files;
  files.AddFile("C:\\Paket\\a.dat", "a");
  files.AddFile("C:\\Paket\\b c.dat", "b");
  files.AddDir("C:\\Paket\\Dir");
  files.AddFile("C:\\other\\x.txt", "x");
  files.AddFile("D:\\Sim\\Resourcen\\Parallels\\Texturen.txt", "Basis{Textur{name(k)id(12)}}");
  for (const CheckCase& c : kCases) {
    SCOPED_TRACE(c.script);
    // A script without texture section gets an empty one at its end, unless
    // the case is about its absence or its encoding.
    std::string script = c.script;
    bool about_absence =
        !c.findings.empty() && (c.findings.back().find("missing@0") != std::string::npos ||
                                c.findings[0] == "script-utf16@1");
    if (script.find("Texturskript") == std::string::npos && !about_absence)
      script += kEnd;
    EXPECT_EQ(c.findings, Check(files, script, "D:\\Sim\\", {}, c.findings));
  }
}

// What depends on Kestrova's folder is checked only with one, and files that
// no entry installs are reported.
TEST(CheckTest, HostAndPackageFindings) {
  FakeFileSystem files;
  files.AddFile("C:\\Paket\\a.dat", "a");
  files.AddFile("C:\\Paket\\Sub\\x.dat", "x");
  std::string held = "Texturskript{\n{t>>Textur{name(t)id(12)}}}";
  const std::string catalogue = "D:\\Sim\\Resourcen\\Parallels\\Texturen.txt";
  EXPECT_EQ(std::vector<std::string>(), Check(files, held, "", {}));
  EXPECT_EQ(std::vector<std::string>({"catalogue-missing@0"}), Check(files, held, "D:\\Sim\\", {}));
  files.AddFile(catalogue,
                "\xEF\xBB\xBF"
                "Basis{}");
  EXPECT_EQ(std::vector<std::string>({"catalogue-unreadable@1"}),
            Check(files, held, "D:\\Sim\\", {}));
  std::string long_name = "Dateinstallation{\n{a.dat>>" + std::string(260, 'x') + "}}" + kEnd;
  EXPECT_EQ(std::vector<std::string>(), Check(files, long_name, "", {}));
  files.AddFile(catalogue, "Basis{}");
  EXPECT_EQ(std::vector<std::string>({"destination-too-long@2"}),
            Check(files, long_name, "D:\\Sim\\", {}));
  files.AddFile("D:\\Sim\\M\\ro.dat", "r");
  files.Find("D:\\Sim\\M\\ro.dat")->read_only = true;
  std::string read_only = std::string("Dateinstallation{\n{a.dat>>M\\ro.dat}}") + kEnd;
  EXPECT_EQ(std::vector<std::string>(), Check(files, read_only, "", {}));
  EXPECT_EQ(std::vector<std::string>({"~destination-read-only@2"}),
            Check(files, read_only, "D:\\Sim\\", {}));
  // A folder where the file goes, and a file where a folder goes.
  for (const char* destination : {"M", "M\\ro.dat\\x.dat"}) {
    std::string blocked = std::string("Dateinstallation{\n{a.dat>>") + destination + "}}" + kEnd;
    EXPECT_EQ(std::vector<std::string>(
                  {destination[1] ? "destination-under-file@2" : "destination-is-folder@2"}),
              Check(files, blocked, "D:\\Sim\\", {}));
  }
  files.AddDir("D:\\Sim\\M\\Dir");
  files.AddFile("D:\\Sim\\M\\f.dat", "f");
  std::string in_the_way =
      "Dateinstallation{\n{a.dat>>M\\Dir}\n{a.dat>>m\\F.dat\\x}\n{a.dat>>M\\Dir\\x}}" +
      std::string(kEnd);
  EXPECT_EQ(std::vector<std::string>({"destination-is-folder@2", "destination-under-file@3"}),
            Check(files, in_the_way, "D:\\Sim\\", {}));
  // A catalogue that the texture step refuses to save fails every install.
  files.Find("D:\\Sim\\Resourcen\\Parallels\\Texturen.txt")->read_only = true;
  EXPECT_EQ(std::vector<std::string>({"catalogue-read-only@0"}),
            Check(files, kEnd, "D:\\Sim\\", {}));
  files.AddFile("D:\\Sim\\Packwright", "not a folder");
  EXPECT_EQ(std::vector<std::string>({"records-folder-blocked@0", "catalogue-read-only@0"}),
            Check(files, kEnd, "D:\\Sim\\", {}));
  EXPECT_EQ(std::vector<std::string>({"~file-not-installed@0"}),
            Check(files, kEnd, "", {"InstSkript.txt", "Packwright.exe", "extra.txt"}));
  std::string slash = std::string("Dateinstallation{{Sub/x.dat>>M\\x.dat}}") + kEnd;
  EXPECT_EQ(std::vector<std::string>(), Check(files, slash, "", {"InstSkript.txt", "Sub\\x.dat"}));
}

}  // namespace
