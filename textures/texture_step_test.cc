#include <gtest/gtest.h>

#include <string>

#include "engine/installer.h"
#include "platform/fake_platform.h"

namespace {

const char kKey[] = "HKEY_CLASSES_ROOT\\Software\\Brindlewood\\KSVX";
const char kScript[] = "C:\\Paket\\InstSkript.txt";
const char kCatalogue[] = "D:\\Sim\\Resourcen\\Parallels\\Texturen.txt";
const char kTemp[] = "D:\\Sim\\Resourcen\\Parallels\\Texturen.txt.pwtmp";
const char kOneEntry[] =
    "Basis{\r\n"
    "\tTextur{\tname(Kies)\tid(12)\t}\r\n"
    "}";

class TextureStepTest : public testing::Test {
 protected:
  TextureStepTest() {
    p.registry.SetString(kKey, "AppPath", "D:\\Sim\\Kestrova.exe");
    p.files.AddFile("D:\\Sim\\Kestrova.exe", "MZ");
  }

  // Runs the step with `section` as the script's Texturskript block.
  bool Step(const std::string& section) {
    return StepWithScript("Dateinstallation{}\r\nTexturskript\r\n{\r\n" + section + "}\r\n");
  }
  bool StepWithScript(const std::string& script) {
    p.files.AddFile(kScript, script);
    bool result;
    {
      CInstaller installer(p.platform);
      EXPECT_EQ("D:\\Sim\\", installer.hostDir);
      EXPECT_TRUE(installer.script.CheckOpen(kScript));
      result = installer.InstallTextures();
    }
    EXPECT_EQ(0, p.files.open_files());
    EXPECT_EQ(nullptr, p.files.Find(kTemp));
    return result;
  }
  std::string Catalogue() { return p.files.Content(kCatalogue); }

  FakePlatform p;
};

}  // namespace

TEST_F(TextureStepTest, WorkedExampleAddsOnlyTheNewValidEntry) {
  p.files.AddFile(kCatalogue, kOneEntry);
  EXPECT_TRUE(
      Step("    {a >> Textur{ name(Ziegelrot) id(4711) }}\r\n"
           "    {b >> Textur{ name(Schotter) id(12) }}\r\n"
           "    {c}\r\n"
           "    {d >> Textur{ name(Sand) id(0) }}\r\n"));
  EXPECT_EQ(
      "Basis{\r\n"
      "\tTextur{\tname(Kies)\tid(12)\t}\r\n"
      "\tTextur{\tname(Ziegelrot)\tid(4711)\t}\r\n"
      "}",
      Catalogue());
}

TEST_F(TextureStepTest, MissingCatalogueFailsAndIsNotCreated) {
  EXPECT_FALSE(Step("{a>>Textur{name(a)id(5)}}"));
  EXPECT_EQ(nullptr, p.files.Find(kCatalogue));
  EXPECT_FALSE(StepWithScript("Dateinstallation{}"));
  EXPECT_EQ(nullptr, p.files.Find(kCatalogue));
}

TEST_F(TextureStepTest, MissingSectionFailsAndLeavesTheCatalogue) {
  const std::string unsorted = "Basis { Textur{name(b)id(9)} Textur{name(a)id(1)} }";
  p.files.AddFile(kCatalogue, unsorted);
  EXPECT_FALSE(StepWithScript("Dateinstallation{ {a>>b} }"));
  EXPECT_EQ(unsorted, Catalogue());
}

TEST_F(TextureStepTest, EmptySectionRewritesTheCatalogueSortedAndNormalised) {
  p.files.AddFile(kCatalogue,
                  "Basis { Textur{ name(Ziegelrot) id(4711) }\nTextur{name(Kies)id(12)} }");
  EXPECT_TRUE(Step(""));
  EXPECT_EQ(
      "Basis{\r\n"
      "\tTextur{\tname(Kies)\tid(12)\t}\r\n"
      "\tTextur{\tname(Ziegelrot)\tid(4711)\t}\r\n"
      "}",
      Catalogue());
}

TEST_F(TextureStepTest, CatalogueNotReadInWholeIsLeftByteForByte) {
  const char* partial[] = {
      "Basis{ Textur{name(a)id(1)} }\x1a Textur{name(b)id(2)}",
      "Textur{ name(a) id(1) }",
      "Basis{ Textur{name(a)id(1)} } Basis{ Textur{name(b)id(2)} }",
      "Basis{ Textur{name(a)id(1)} Textur{name(b)",
  };
  for (const char* data : partial) {
    p.files.AddFile(kCatalogue, data);
    EXPECT_FALSE(Step("{a>>Textur{name(c)id(3)}}")) << data;
    EXPECT_EQ(data, Catalogue());
  }
}

TEST_F(TextureStepTest, ScriptIsNotConsultedWhenTheCatalogueFails) {
  p.files.AddFile(kCatalogue, "Basis{ Textur{ id(1) } }");
  p.files.AddFile(kScript, "Texturskript{}");
  CInstaller installer(p.platform);
  installer.script.CheckOpen(kScript);
  std::size_t before = p.files.calls().size();
  EXPECT_FALSE(installer.InstallTextures());
  for (std::size_t i = before; i < p.files.calls().size(); ++i)
    EXPECT_EQ(std::string::npos, p.files.calls()[i].find("InstSkript")) << p.files.calls()[i];
}

TEST_F(TextureStepTest, EntriesAreCutAtTheFirstArrowAndAfterTheLastBrace) {
  p.files.AddFile(kCatalogue, "Basis{}");
  EXPECT_TRUE(
      Step("{x>>y>>Textur{name(a)id(5)}}\r\n"
           "{a>>Textur{name(b)id(6)}rest}\r\n"
           "{a>>}\r\n"
           "{a>>Textur{name(dup)id(5)}}\r\n"));
  EXPECT_EQ(
      "Basis{\r\n"
      "\tTextur{\tname(a)\tid(5)\t}\r\n"
      "\tTextur{\tname(b)\tid(6)\t}\r\n"
      "}",
      Catalogue());
}

TEST_F(TextureStepTest, EntriesThatWouldDamageTheCatalogueArePassedOver) {
  p.files.AddFile(kCatalogue, "Basis{}");
  EXPECT_TRUE(
      Step("{a>>Textur{id(5)}}\r\n"
           "{a>>Textur{name(b)id(6}}\r\n"
           "{a>>Textur{name(c)id(7)}{name(d)id(8)}}\r\n"
           "{a>>Textur{name(e)id(9)}}\r\n"));
  EXPECT_EQ("Basis{\r\n\tTextur{\tname(e)\tid(9)\t}\r\n}", Catalogue());
}

TEST_F(TextureStepTest, NestedBlockTakesTwoLinesAndLoadsJoined) {
  p.files.AddFile(kCatalogue, "Basis{}");
  EXPECT_TRUE(Step("{a>>Textur{name(a)id(1)Sub{x(2)}}}"));
  EXPECT_EQ("Basis{\r\n\tTextur{\tname(a)\tid(1)\tSub{\tx(2)\t}\r\n\t\t}\r\n}", Catalogue());
  EXPECT_TRUE(Step(""));
  EXPECT_EQ("Basis{\r\n\tTextur{\tname(a)\tid(1)\tSub{\tx(2)\t}}\r\n}", Catalogue());
}

TEST_F(TextureStepTest, UnclosedEntryEndsTheSectionAndTheRestIsSaved) {
  p.files.AddFile(kCatalogue, "Basis{}");
  EXPECT_TRUE(StepWithScript("Texturskript{ {a>>Textur{name(a)id(1)}} {b>>Textur{name(b)id(2)}"));
  EXPECT_EQ("Basis{\r\n\tTextur{\tname(a)\tid(1)\t}\r\n}", Catalogue());
}

// For every n the nth file-system call of the step fails once: the step's
// result tells whether the catalogue is the old one or the new one, and it
// is never anything else. The script and the catalogue span several reads
// and writes, so that failures also strike in their middle.
TEST_F(TextureStepTest, AnyFailingCallLeavesTheOldCatalogueOrTheNewOne) {
  std::string script = "Texturskript{\r\n";
  for (int id = 100; id < 5000; ++id)
    script += "{a>>Textur{name(T" + std::to_string(id) + ")id(" + std::to_string(id) + ")}}\r\n";
  script += "}";
  ASSERT_GT(script.size(), 2u * 64 * 1024);
  p.files.AddFile(kCatalogue, kOneEntry);
  ASSERT_TRUE(StepWithScript(script));
  const std::string new_file = Catalogue();
  for (int n = 1;; ++n) {
    p.files.AddFile(kCatalogue, kOneEntry);
    p.files.AddFile(kScript, script);
    bool result;
    int start;
    {
      CInstaller installer(p.platform);
      installer.script.CheckOpen(kScript);
      p.files.FailNth(n);
      start = p.files.call_count();
      result = installer.InstallTextures();
      p.files.ClearFaults();
    }
    bool reached = p.files.call_count() - start >= n;
    // A failed closing sync fails the step with the new catalogue in place.
    bool sync_failed = reached && p.files.calls()[start + n - 1].rfind("SyncFiles(", 0) == 0;
    EXPECT_EQ(result || sync_failed ? new_file : std::string(kOneEntry), Catalogue()) << "n=" << n;
    EXPECT_EQ(nullptr, p.files.Find(kTemp)) << "n=" << n;
    EXPECT_EQ(0, p.files.open_files()) << "n=" << n;
    if (!reached) {
      EXPECT_TRUE(result);
      break;
    }
  }
}

TEST_F(TextureStepTest, FailedStepFailsTheRun) {
  p.files.AddFile(kScript, "Dateinstallation{}");
  p.files.AddFile(kCatalogue, kOneEntry);
  CInstaller installer(p.platform);
  EXPECT_EQ(kInstallFailed, installer.Run(nullptr));
  EXPECT_EQ(kOneEntry, Catalogue());
  p.files.AddFile(kScript, "Dateinstallation{}Texturskript{}");
  EXPECT_EQ(0, installer.Run(nullptr));
}
