#include "tool/check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake_platform.h"

namespace {

struct CheckCase {
  const char* script;
  // The findings expected, as "code@line".
  std::vector<std::string> findings;
};

const char kEnd[] = "\nTexturskript{}\n";

// Each pitfall on its own, in a package that holds a.dat, "b c.dat" and a
// folder Dir, checked against a Kestrova that holds the texture id 12.
const CheckCase kCases[] = {
    {"Dateinstallation{ {a.dat>>M\\a.dat} }\nTexturskript{ {t>>Textur{name(t)id(5)}} }", {}},
    {"\xEF\xBB\xBFTexturskript{}", {"script-bom@1", "texture-section-missing@0"}},
    {"Texturskript{}\n\x1A{x}", {"script-ctrl-z@2"}},
    {"dateinstallation{}\nTexturskript{}", {"section-name-case@1"}},
    {"Remark\nDateinstallation{}\nTexturskript{}", {"section-name-joined@1"}},
    {"Texturskript{}\nTexturskript{}", {"section-repeated@2"}},
    {"Dateinstallation{}", {"texture-section-missing@0"}},
    {"Dateinstallation{\n{a.dat>>M\\a.dat}\nNote\n{a.dat>>M\\b.dat}\n}\nTexturskript{}",
     {"section-ended-early@3"}},
    {"Texturskript{}\nDateinstallation{\n{a.dat>>M\\a.dat", {"entry-unclosed@3"}},
    {"Texturskript{}\nDateinstallation{\n{a.dat>>M\\a.dat}", {"section-unclosed@2"}},
    {"Dateinstallation{\n{a.dat}\n}", {"file-entry-without-arrow@2"}},
    {"Dateinstallation{\n{b c.dat>>M\\x.dat}}", {"source-name-with-blank@2"}},
    {"Dateinstallation{\n{a.dat>>M\\a b.dat}}", {"blank-in-name@2"}},
    {"Dateinstallation{\n{x.dat>>M\\x.dat}}", {"source-missing@2"}},
    {"Dateinstallation{\n{*.dat>>M\\x.dat}}", {"source-wildcard@2"}},
    {"Dateinstallation{\n{Dir>>M\\x.dat}}", {"source-folder@2"}},
    {"Dateinstallation{\n{a.dat>>..\\x.dat}}", {"destination-outside@2"}},
    {"Dateinstallation{\n{a.dat>>M\\x:s}\n{a.dat>>C:\\x}}",
     {"destination-drive-or-stream@2", "destination-drive-or-stream@3"}},
    {"Dateinstallation{\n{a.dat>>PACKWR~1\\x}}", {"destination-records-folder@2"}},
    {"Dateinstallation{\n{a.dat>>M\\nul.txt}}", {"destination-device-name@2"}},
    {"Dateinstallation{\n{a.dat>>M\\x.}}", {"destination-trailing-dot@2"}},
    {"Dateinstallation{\n{a.dat>>M/x.dat}}", {"destination-forward-slash@2"}},
    {"Dateinstallation{\n{a.dat>>M\\}}", {"destination-not-a-file@2"}},
    {"Dateinstallation{\n{a.dat>>M\\a.dat}\n{a.dat>>m\\A.dat}}", {"destination-repeated@3"}},
    {"Texturskript{\n{t}}", {"texture-entry-without-arrow@2"}},
    {"Texturskript{\n{t>>Textur{name(t)id(0)}}}", {"texture-refused@2"}},
    {"Texturskript{\n{t>>Textur{name(t)grid(3)id(7)}}}", {"texture-id-in-word@2"}},
    {"Texturskript{\n{t>>Textur{name(t)id(5)}}\n{u>>Textur{name(u)id(5)}}}",
     {"texture-id-repeated@3"}},
    {"Texturskript{\n{t>>Textur{name(t)id(12)}}}", {"texture-id-held@2"}},
    {"Texturskript{\n{t>>Textur{name(\xC3\xA4)id(6)}}}", {"script-utf8@2"}},
};

std::vector<std::string> Check(FakeFileSystem& files, const std::string& script,
                               const std::string& host, std::vector<std::string> listed) {
  files.AddFile("C:\\Paket\\InstSkript.txt", script);
  PositionedScript positioned;
  EXPECT_TRUE(positioned.Load(files, "C:\\Paket\\InstSkript.txt"));
  std::vector<std::string> found;
  for (const Finding& f : CheckPackage(files, positioned, {"C:\\Paket", host, listed}))
    found.push_back(f.code + "@" + std::to_string(f.line));
  return found;
}

TEST(CheckTest, ReportsEachPitfallAtItsLine) {
  FakeFileSystem files;
  files.AddFile("C:\\Paket\\a.dat", "a");
  files.AddFile("C:\\Paket\\b c.dat", "b");
  files.AddDir("C:\\Paket\\Dir");
  files.AddFile("D:\\Sim\\Resourcen\\Parallels\\Texturen.txt", "Basis{Textur{name(k)id(12)}}");
  for (const CheckCase& c : kCases) {
    SCOPED_TRACE(c.script);
    // A script without texture section gets an empty one at its end, unless
    // the case is about its absence.
    std::string script = c.script;
    bool about_absence = !c.findings.empty() && c.findings[0] == "texture-section-missing@0";
    if (script.find("Texturskript") == std::string::npos && !about_absence)
      script += kEnd;
    EXPECT_EQ(c.findings, Check(files, script, "D:\\Sim\\", {}));
  }
}

// What depends on Kestrova's folder is checked only with one, and files that
// no entry installs are reported.
TEST(CheckTest, HostAndPackageFindings) {
  FakeFileSystem files;
  files.AddFile("C:\\Paket\\a.dat", "a");
  std::string held = "Texturskript{\n{t>>Textur{name(t)id(12)}}}";
  EXPECT_EQ(std::vector<std::string>(), Check(files, held, "", {}));
  EXPECT_EQ(std::vector<std::string>({"catalogue-missing@0"}), Check(files, held, "D:\\Sim\\", {}));
  std::string long_name = "Dateinstallation{\n{a.dat>>" + std::string(260, 'x') + "}}" + kEnd;
  EXPECT_EQ(std::vector<std::string>(), Check(files, long_name, "", {}));
  files.AddFile("D:\\Sim\\Resourcen\\Parallels\\Texturen.txt", "Basis{}");
  EXPECT_EQ(std::vector<std::string>({"destination-too-long@2"}),
            Check(files, long_name, "D:\\Sim\\", {}));
  files.AddFile("D:\\Sim\\M\\ro.dat", "r");
  files.Find("D:\\Sim\\M\\ro.dat")->read_only = true;
  std::string read_only = std::string("Dateinstallation{\n{a.dat>>M\\ro.dat}}") + kEnd;
  EXPECT_EQ(std::vector<std::string>(), Check(files, read_only, "", {}));
  EXPECT_EQ(std::vector<std::string>({"destination-read-only@2"}),
            Check(files, read_only, "D:\\Sim\\", {}));
  EXPECT_EQ(std::vector<std::string>({"file-not-installed@0"}),
            Check(files, kEnd, "", {"InstSkript.txt", "Packwright.exe", "extra.txt"}));
}

}  // namespace
