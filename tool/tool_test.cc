// The tool as authors and their editors and scripts use it: the command
// line, the compiler-style findings, JSON, and the console while installing.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/fake_platform.h"
#include "tool/check.h"
#include "tool/commands.h"
#include "tool/test_console.h"

namespace {

const char kKey[] = "HKEY_CLASSES_ROOT\\Software\\Brindlewood\\KSVX";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

TEST(ToolTest, CommandLineForms) {
  struct Case {
    std::vector<std::string> args;
    bool ok;
    const char* command;
    const char* package;
  };
  const Case cases[] = {
      {{"--help"}, true, "help", ""},
      {{"-h"}, true, "help", ""},
      {{"help", "check"}, true, "help", "check"},
      {{"plan", "P", "--help"}, true, "help", "plan"},
      {{"--version"}, true, "version", ""},
      {{"check", "P", "--host=D:\\Sim", "--ignore", "file-not-installed,script-utf8", "-q"},
       true,
       "check",
       "P"},
      {{"check", "P", "--json=1"}, false, "check", "P"},
      {{"list", "-q"}, false, "list", ""},
      {{"bogus"}, false, "bogus", ""},
  };
  for (const Case& c : cases) {
    ToolOptions options;
    std::string err;
    EXPECT_EQ(c.ok, ParseToolOptions(c.args, &options, &err)) << c.args[0] << " " << err;
    EXPECT_EQ(c.command, options.command);
    EXPECT_EQ(c.package, options.package);
  }
  ToolOptions options;
  std::string err;
  ASSERT_TRUE(
      ParseToolOptions({"check", "P", "--host=D:\\Sim", "--ignore", "a,b", "-q"}, &options, &err));
  EXPECT_EQ("D:\\Sim", options.host);
  EXPECT_EQ(std::vector<std::string>({"a", "b"}), options.ignore);
  EXPECT_TRUE(options.quiet);
  EXPECT_EQ(0u, UsageOf("undo").find("usage: packwright-tool undo "));
}

class CheckCommandTest : public testing::Test {
 protected:
  CheckCommandTest() {
    p.files.AddFile("C:\\Paket\\a.dat", "a");
    p.files.AddDir("D:\\Sim");
    // Line 2: a missing source; line 3: a blank in a name; the catalogue
    // is missing; an umlaut of code page 1252.
    p.files.AddFile("C:\\Paket\\InstSkript.txt",
                    "Dateinstallation{\n{x\xE4.dat>>M\\x.dat}\n{a.dat>>M\\a b.dat}}\n"
                    "Texturskript{}\n");
    options.command = "check";
    options.package = "C:\\Paket";
    options.host = "D:\\Sim";
  }
  int Run() { return RunCheck(p.platform, console, options); }

  FakePlatform p;
  TestConsole console;
  ToolOptions options;
};

TEST_F(CheckCommandTest, FindingsMatchTheCompilerPatterns) {
  EXPECT_EQ(kExitFailed, Run());
  std::vector<std::string> lines = Lines(console.out);
  ASSERT_EQ(4u, lines.size()) << console.out;
  std::regex in_script(R"(^(.*):(\d+):(\d+): (error|warning): (.*)$)");
  std::regex in_file(R"(^(.*): (error|warning): (.*)$)");
  std::smatch m;
  ASSERT_TRUE(std::regex_match(lines[0], m, in_script)) << lines[0];
  EXPECT_EQ("C:\\Paket\\InstSkript.txt", m[1].str());
  EXPECT_NE(std::string::npos, lines[0].find("x\xC3\xA4.dat")) << "not UTF-8: " << lines[0];
  EXPECT_TRUE(std::regex_match(lines[1], in_script)) << lines[1];
  ASSERT_TRUE(std::regex_match(lines[2], m, in_file)) << lines[2];
  EXPECT_EQ("D:\\Sim\\Resourcen\\Parallels\\Texturen.txt", m[1].str());
  EXPECT_EQ("2 errors, 1 warning", lines[3]);

  console.out.clear();
  options.quiet = true;
  options.ignore = {"catalogue-missing"};
  EXPECT_EQ(kExitFailed, Run());
  EXPECT_EQ(1u, Lines(console.out).size()) << console.out;
  options.ignore = {"no-such-code"};
  EXPECT_EQ(kExitCannotRun, Run());

  // A line end in the package's name still gives one line per finding.
  p.files.AddFile("C:\\P\nQ\\InstSkript.txt", "Dateinstallation{{x>>M\\x}}Texturskript{}");
  options.package = "C:\\P\nQ";
  options.host.clear();
  options.ignore.clear();
  console.out.clear();
  EXPECT_EQ(kExitFailed, Run());
  lines = Lines(console.out);
  ASSERT_EQ(1u, lines.size()) << console.out;
  ASSERT_TRUE(std::regex_match(lines[0], m, in_script)) << console.out;
  EXPECT_EQ("C:\\P\\nQ\\InstSkript.txt", m[1].str());
}

TEST_F(CheckCommandTest, JsonIsUtf8AndCarriesTheRunAlsoWhenItCannotRun) {
  options.json = true;
  EXPECT_EQ(kExitFailed, Run());
  for (const char* part : {"{\"version\": \"", "\"path\": \"C:\\\\Paket\"", "x\xC3\xA4.dat",
                           "\"errors\": 2, \"warnings\": 1, \"host_checked\": true}"})
    EXPECT_NE(std::string::npos, console.out.find(part)) << part << " in " << console.out;
  console.out.clear();
  options.package = "C:\\Nichts";
  EXPECT_EQ(kExitCannotRun, Run());
  EXPECT_NE(std::string::npos, console.out.find("\"error\": ")) << console.out;
}

// Every code the check gives is in the guide's table, and the table holds
// no other.
TEST(ToolTest, GuideListsEveryCode) {
  std::ifstream guide(PW_GUIDE);
  if (!guide)
    GTEST_SKIP() << "no guide at " << PW_GUIDE;  // Under Wine the path may not map.
  std::set<std::string> listed;
  std::regex row(R"(^\| `([a-z0-9-]+)` \|)");
  std::smatch m;
  for (std::string line; std::getline(guide, line);) {
    if (std::regex_search(line, m, row))
      listed.insert(m[1].str());
  }
  std::set<std::string> codes(kCheckCodes, kCheckCodes + kCheckCodeCount);
  EXPECT_EQ(codes, listed);
}

class InstallCommandTest : public testing::Test {
 protected:
  InstallCommandTest() {
    p.registry.SetString(kKey, "AppPath", "D:\\Sim\\Kestrova.exe");
    p.files.AddFile("D:\\Sim\\Kestrova.exe", "MZ");
    p.files.AddFile("D:\\Sim\\Resourcen\\Parallels\\Texturen.txt", "Basis{}");
    options.command = "install";
    options.package = "C:\\Paket";
    options.newer_given = true;
  }
  int Run() { return RunInstall(p.platform, console, options); }

  FakePlatform p;
  TestConsole console;
  ToolOptions options;
};

// One line, cut to the terminal's width and rewritten in place, counting
// from the first file copied; only the final count when not a terminal.
TEST_F(InstallCommandTest, ProgressStaysOnOneLineOfTheTerminal) {
  std::string script = "Dateinstallation{\n";
  for (int i = 0; i < 50; ++i) {
    std::string name = "Ein_recht_langer_Name_fuer_eine_Datei_" + std::to_string(i) + ".dat";
    p.files.AddFile("C:\\Paket\\" + name, "x");
    script += "{" + name + ">>M\\" + name + "}\n";
  }
  p.files.AddFile("C:\\Paket\\InstSkript.txt", script + "}\nTexturskript{}\n");
  console.terminal = true;
  console.columns = 30;
  EXPECT_EQ(kExitOk, Run());
  EXPECT_EQ(std::string::npos, console.err.find('\n')) << console.err;
  std::size_t shown = 0;
  for (std::size_t start = 0, end; start < console.err.size(); start = end + 1) {
    end = std::min(console.err.find('\r', start), console.err.size());
    EXPECT_LT(end - start, 30u) << console.err.substr(start, end - start);
    shown += end > start;
  }
  EXPECT_GE(shown, 50u);
  EXPECT_EQ(1u, console.err.find("1 copied: "));
  EXPECT_NE(std::string::npos, console.out.find("50 file(s) copied."));

  TestConsole pipe;
  EXPECT_EQ(kExitOk, RunInstall(p.platform, pipe, options));
  EXPECT_EQ("", pipe.err);
}

// The dialog's texts stay; a line of the tool's own says what is wrong and
// where.
TEST_F(InstallCommandTest, SaysWhatWentWrongBesideTheDialogsText) {
  p.files.AddFile("C:\\Paket\\a.dat", "a");
  p.files.AddDir("C:\\Paket\\Dir");
  p.files.AddFile("C:\\Paket\\InstSkript.txt",
                  "Dateinstallation{ {Dir>>M\\d} {a.dat>>M\\a.dat} }\nTexturskript{}\n");
  p.files.FailMatching("CreateNew", "a.dat");
  p.files.AddFile("D:\\Sim\\Resourcen\\Parallels\\Texturen.txt",
                  "\xEF\xBB\xBF"
                  "Basis{}");
  EXPECT_EQ(kExitFailed, Run());
  EXPECT_NE(std::string::npos, console.err.find("packwright-tool: cannot read C:\\Paket\\Dir: "))
      << console.err;
  EXPECT_NE(
      std::string::npos,
      console.err.find("packwright-tool: cannot copy C:\\Paket\\a.dat to D:\\Sim\\M\\a.dat: "))
      << console.err;
  EXPECT_NE(std::string::npos, console.err.find("byte-order mark")) << console.err;

  console.err.clear();
  p.files.AddFile("D:\\Sim\\Resourcen\\Parallels\\Texturen.txt", "Basis{}");
  p.files.AddFile("C:\\Paket\\InstSkript.txt", "Dateinstallation{}");
  EXPECT_EQ(kExitFailed, Run());
  EXPECT_NE(std::string::npos, console.err.find("no section Texturskript")) << console.err;

  console.err.clear();
  options.host = "D:\\Nirgends";
  EXPECT_EQ(kExitCannotRun, Run());
  EXPECT_NE(std::string::npos, console.err.find("packwright-tool: no folder D:\\Nirgends\\"))
      << console.err;
}

}  // namespace
