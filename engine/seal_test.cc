#include "engine/seal.h"

#include <gtest/gtest.h>

#include "platform/fake_file_system.h"

namespace {

const char kPkg[] = "C:\\Paket";
const char kScript[] =
    "{sealed: Packwright.sum}\r\nDateinstallation{{Modelle\\a.ksm>>Modelle\\a.ksm}}";

class SealTest : public testing::Test {
 protected:
  SealTest() {
    Package();
    Seal({"InstSkript.txt", "Modelle\\a.ksm", "Texturen\\b.bmp"});
  }

  // The package as sealed, seal aside.
  void Package() {
    files.AddFile("C:\\Paket\\InstSkript.txt", kScript);
    files.AddFile("C:\\Paket\\Modelle\\a.ksm", "model bytes");
    files.AddFile("C:\\Paket\\Texturen\\b.bmp", std::string(70000, 'b'));
  }

  // Writes the seal of the named files as they are now.
  void Seal(const std::vector<std::string>& names) {
    std::vector<SealLine> lines;
    for (const std::string& name : names) {
      SealLine line{{}, name};
      EXPECT_TRUE(SealSumOfFile(files, std::string(kPkg) + "\\" + name, &line.sum)) << name;
      lines.push_back(line);
    }
    seal_text = SealText(lines);
    files.AddFile("C:\\Paket\\Packwright.sum", seal_text);
  }

  // "intact", "unsealed" or "damaged: FILE".
  std::string Verdict() {
    SealVerdict verdict = VerifySeal(files, kPkg, "InstSkript.txt");
    EXPECT_EQ(0, files.open_files());
    if (verdict.state == SealVerdict::kDamaged)
      return "damaged: " + verdict.file;
    EXPECT_TRUE(verdict.file.empty());
    return verdict.state == SealVerdict::kIntact ? "intact" : "unsealed";
  }

  FakeFileSystem files;
  std::string seal_text;
};

}  // namespace

TEST_F(SealTest, EveryDamageNamesTheFileAtFault) {
  struct Case {
    const char* what;
    void (*damage)(FakeFileSystem&);
    const char* verdict;
  };
  const Case cases[] = {
      {"untouched", [](FakeFileSystem&) {}, "intact"},
      {"file missing", [](FakeFileSystem& f) { f.Remove("C:\\Paket\\Modelle\\a.ksm"); },
       "damaged: Modelle\\a.ksm"},
      {"file cut short",
       [](FakeFileSystem& f) { f.Find("C:\\Paket\\Texturen\\b.bmp")->data.resize(65536); },
       "damaged: Texturen\\b.bmp"},
      {"byte changed, size kept",
       [](FakeFileSystem& f) { f.Find("C:\\Paket\\Modelle\\a.ksm")->data[3] = 'X'; },
       "damaged: Modelle\\a.ksm"},
      {"script edited",
       [](FakeFileSystem& f) { f.Find("C:\\Paket\\InstSkript.txt")->data += "\r\n"; },
       "damaged: InstSkript.txt"},
      {"file locked", [](FakeFileSystem& f) { f.Find("C:\\Paket\\Modelle\\a.ksm")->locked = true; },
       "damaged: Modelle\\a.ksm"},
      {"seal lost, remark kept", [](FakeFileSystem& f) { f.Remove("C:\\Paket\\Packwright.sum"); },
       "damaged: Packwright.sum"},
      {"seal unreadable",
       [](FakeFileSystem& f) { f.Find("C:\\Paket\\Packwright.sum")->locked = true; },
       "damaged: Packwright.sum"},
      {"neither seal nor remark",
       [](FakeFileSystem& f) {
         f.Remove("C:\\Paket\\Packwright.sum");
         f.AddFile("C:\\Paket\\InstSkript.txt", "{Paket}Dateinstallation{}");
       },
       "unsealed"},
      {"seal lists no script",
       [](FakeFileSystem& f) {
         f.AddFile("C:\\Paket\\Packwright.sum", "packwright-seal 1 xxh64 0\r\n");
       },
       "damaged: Packwright.sum"},
  };
  for (const Case& c : cases) {
    Package();
    files.AddFile("C:\\Paket\\Packwright.sum", seal_text);
    c.damage(files);
    EXPECT_EQ(c.verdict, Verdict()) << c.what;
  }
}

TEST_F(SealTest, ABrokenOrUnknownSealIsDamageNeverNoSeal) {
  std::string line = seal_text.substr(seal_text.find("\r\n") + 2);
  const char* const seals[] = {
      "",
      "packwright-seal 2 xxh64 1\r\n",  // a later version
      "packwright-seal 1 crc32 1\r\n",
      "packwright-seal 1 xxh64\r\n",
      "Packwright-Seal 1 xxh64 3\r\n",
      "packwright-seal 1 xxh64 +3\r\n",
      "packwright-seal 1 xxh64 99999999999999999999999\r\n",
  };
  for (const char* header : seals) {
    files.AddFile("C:\\Paket\\Packwright.sum", header + line);
    EXPECT_EQ("damaged: Packwright.sum", Verdict()) << header;
  }
  std::string bad_lines[] = {
      "0123456789ABCDEF 11 Modelle\\a.ksm",  // upper-case digits
      "0123456789abcdef -11 Modelle\\a.ksm", "0123456789abcdef 11",
      "0123456789abcdef 11 Mod\x01lle",      "",
  };
  for (const std::string& bad : bad_lines) {
    std::vector<SealLine> lines;
    EXPECT_FALSE(ParseSeal("packwright-seal 1 xxh64 1\r\n" + bad + "\r\n", &lines)) << bad;
  }
}

TEST_F(SealTest, EveryShortenedSealFailsToParse) {
  std::vector<SealLine> lines;
  ASSERT_TRUE(ParseSeal(seal_text, &lines));
  ASSERT_EQ(3u, lines.size());
  EXPECT_EQ("Texturen\\b.bmp", lines[2].name);
  int tried = 0;
  for (std::size_t n = 0; n < seal_text.size(); ++n, ++tried)
    EXPECT_FALSE(ParseSeal(seal_text.substr(0, n), &lines)) << n;
  EXPECT_GT(tried, 100);
}

TEST_F(SealTest, ANameOutsideThePackageIsRefusedBeforeAnyFileIsJudged) {
  files.AddFile("C:\\Geheim.txt", "x");
  files.Remove("C:\\Paket\\Modelle\\a.ksm");
  for (const char* name :
       {"..\\Geheim.txt", "C:\\Geheim.txt", "\\Geheim.txt", "Modelle\\..\\..\\x", "Modelle\\...\\x",
        "Modelle\\\\a.ksm", "Modelle/a.ksm", "a.ksm:stream", ". \\a.ksm"}) {
    files.AddFile("C:\\Paket\\Packwright.sum",
                  seal_text + "0000000000000000 1 " + std::string(name) + "\r\n");
    std::string& seal = files.Find("C:\\Paket\\Packwright.sum")->data;
    seal.replace(seal.find(" 3\r\n"), 4, " 4\r\n");
    EXPECT_EQ("damaged: " + std::string(name), Verdict());
  }
  EXPECT_TRUE(IsPackageName("Modelle\\Signale\\a.b.ksm"));
  EXPECT_TRUE(IsPackageName("..a"));
}

TEST(SealRemarkTest, IsTheScriptsFirstBlockWhateverItsBlanks) {
  EXPECT_TRUE(HasSealRemark("{sealed: Packwright.sum}\r\nDateinstallation{}"));
  EXPECT_TRUE(HasSealRemark("\xEF\xBB\xBF \t{ sealed:Packwright .sum }"));
  EXPECT_FALSE(HasSealRemark("{Paket}{sealed: Packwright.sum}"));
  EXPECT_FALSE(HasSealRemark("{Sealed: Packwright.sum}"));
  EXPECT_FALSE(HasSealRemark("{sealed: Packwright.sum"));
  EXPECT_FALSE(HasSealRemark(""));
}
