#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/fake_platform.h"
#include "textures/catalogue_test_util.h"
#include "textures/texture_catalogue.h"

namespace {

const char kPath[] = "D:\\Sim\\Resourcen\\Parallels\\Texturen.txt";
const char kTemp[] = "D:\\Sim\\Resourcen\\Parallels\\Texturen.txt.pwtmp";
const char kWorked[] =
    "Basis {\r\n"
    "    Textur{ name(Ziegelrot) id(4711) }\r\n"
    "    Textur{ name(Kies) id(12) }\r\n"
    "}\r\n";
const char kWorkedSaved[] =
    "Basis{\r\n"
    "\tTextur{\tname(Kies)\tid(12)\t}\r\n"
    "\tTextur{\tname(Ziegelrot)\tid(4711)\t}\r\n"
    "}";

class CatalogueWriteTest : public testing::Test {
 protected:
  void Load(const std::string& data) {
    fs.AddFile(kPath, data);
    ASSERT_TRUE(catalogue.Load(kPath));
  }
  // Whether AddEntry takes `text` into a fresh catalogue.
  bool Accepts(const std::string& text) {
    CTextureCatalogue fresh(fs);
    return fresh.AddEntry(text);
  }

  FakeFileSystem fs;
  CTextureCatalogue catalogue{fs};
};

// What Load makes of an entry written by Save: whitespace dropped, a tab
// after every ")" and "{".
std::string Normalised(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f')
      continue;
    out += c;
    if (c == ')' || c == '{')
      out += '\t';
  }
  return out;
}

}  // namespace

TEST_F(CatalogueWriteTest, SaveWritesTheWorkedExampleByteForByte) {
  Load(kWorked);
  EXPECT_TRUE(catalogue.Save(kPath));
  EXPECT_EQ(kWorkedSaved, fs.Content(kPath));
  EXPECT_EQ(nullptr, fs.Find(kTemp));
  EXPECT_EQ(0, fs.open_files());
}

TEST_F(CatalogueWriteTest, EmptyCatalogueSavesAnEmptyOuterBlock) {
  Load(" \r\n");
  EXPECT_TRUE(catalogue.Save(kPath));
  EXPECT_EQ("Basis{\r\n}", fs.Content(kPath));
}

TEST_F(CatalogueWriteTest, SavingWhatSaveWroteChangesNothing) {
  Load(kWorked);
  ASSERT_TRUE(catalogue.Save(kPath));
  ASSERT_TRUE(catalogue.Load(kPath));
  ASSERT_TRUE(catalogue.Save(kPath));
  EXPECT_EQ(kWorkedSaved, fs.Content(kPath));
}

TEST_F(CatalogueWriteTest, SaveRefusesWithoutAWholeLoad) {
  EXPECT_TRUE(catalogue.AddEntry("Textur{name(a)id(1)}"));
  EXPECT_FALSE(catalogue.Save(kPath));
  EXPECT_EQ(nullptr, fs.Find(kPath));
  const std::string partial = "Basis{ Textur{name(a)id(1)}\x1a Textur{name(b)id(2)} }";
  Load(partial);
  EXPECT_TRUE(catalogue.AddEntry("Textur{name(c)id(3)}"));
  EXPECT_FALSE(catalogue.Save(kPath));
  EXPECT_EQ(partial, fs.Content(kPath));
  EXPECT_EQ(nullptr, fs.Find(kTemp));
}

TEST_F(CatalogueWriteTest, AddEntryCutsTheSpanFromTexturToTheLastBrace) {
  Load("Basis{}");
  EXPECT_TRUE(catalogue.AddEntry("Textur{\tname(Kies)\tid(12)\t}\n\t\t"));
  EXPECT_TRUE(catalogue.AddEntry("y>>Textur{name(a) id( 5)}rest"));
  EXPECT_EQ((EntryList{{5, "Textur{name(a) id( 5)}"}, {12, "Textur{\tname(Kies)\tid(12)\t}"}}),
            ListEntries(catalogue));
}

TEST_F(CatalogueWriteTest, AddEntryKeepsThePresentEntryOfAnId) {
  Load(kWorked);
  EXPECT_TRUE(catalogue.AddEntry("Textur{\tname(Schotter)\tid(12)\t}"));
  EXPECT_TRUE(catalogue.Save(kPath));
  EXPECT_EQ(kWorkedSaved, fs.Content(kPath));
}

TEST_F(CatalogueWriteTest, AddEntryRefusesTextsWithoutAValidIdOrSpan) {
  EXPECT_FALSE(Accepts(""));
  EXPECT_FALSE(Accepts("Bild{name(a)id(1)}"));
  EXPECT_FALSE(Accepts("Textur{name(a)id(1)"));
  EXPECT_FALSE(Accepts("}Textur{name(a)id(1)"));
  EXPECT_FALSE(Accepts("Textur{name(a)nr(1)}"));
  EXPECT_FALSE(Accepts("Textur{name(a)id(0)}"));
  EXPECT_FALSE(Accepts("Textur{name(a)id(abc)}"));
  EXPECT_FALSE(Accepts("Textur{name(a)id(4294967296)}"));
  EXPECT_TRUE(Accepts("Texturen{name(a)id(-5)}"));
  EXPECT_TRUE(Accepts("Textur{name(a)id(12abc)}"));
}

TEST_F(CatalogueWriteTest, AddEntryRefusesWhatWouldNotReadBackAsItself) {
  EXPECT_FALSE(Accepts("Textur{id(5)}"));                       // no name
  EXPECT_FALSE(Accepts("Textur{id(5)name(a}"));                 // name never closed
  EXPECT_FALSE(Accepts("Textur{name(a)id(5}"));                 // id never closed
  EXPECT_FALSE(Accepts("Textur{name(a)id(5)}}"));               // closes the outer block
  EXPECT_FALSE(Accepts("Textur}{name(a)id(5)}"));               // closes before it opens
  EXPECT_FALSE(Accepts("Textur}{{name(a)id(5)}"));              // closes the outer block
  EXPECT_FALSE(Accepts("Textur{name(a)id(5)}{name(b)id(6)}"));  // two entries
  EXPECT_FALSE(Accepts("Textur{name(a)id(5){}"));               // never closed
  EXPECT_FALSE(Accepts("Textur{name(a)id(5)\x1a}"));            // hides the rest
  EXPECT_FALSE(Accepts("Textur{name(a)i d(5)id(7)}"));          // reads back as 5
  EXPECT_FALSE(Accepts("Textur{name(a)id(1 2)}"));              // reads back as 12
  EXPECT_TRUE(Accepts("Textur{name(a)id(5)Sub{x(2)}\n\t\t}"));
  EXPECT_TRUE(Accepts("Textur(x){name(a)id(5)}"));
}

// For every n the nth file-system call fails once. Save either succeeds
// without reaching it, or fails and leaves the old catalogue; never a mix,
// never a temporary file, never an open handle.
TEST_F(CatalogueWriteTest, FailedSaveLeavesTheOldCatalogueIntact) {
  const std::string old_file = kWorked;
  const std::string new_file =
      "Basis{\r\n"
      "\tTextur{\tname(Kies)\tid(12)\t}\r\n"
      "\tTextur{\tname(Sand)\tid(13)\t}\r\n"
      "\tTextur{\tname(Ziegelrot)\tid(4711)\t}\r\n"
      "}";
  for (int n = 1;; ++n) {
    Load(old_file);
    ASSERT_TRUE(catalogue.AddEntry("Textur{\tname(Sand)\tid(13)\t}"));
    fs.FailNth(n);
    int start = fs.call_count();
    bool saved = catalogue.Save(kPath);
    fs.ClearFaults();
    bool reached = fs.call_count() - start >= n;
    EXPECT_EQ(saved ? new_file : old_file, fs.Content(kPath)) << "n=" << n;
    EXPECT_EQ(nullptr, fs.Find(kTemp)) << "n=" << n;
    EXPECT_EQ(0, fs.open_files()) << "n=" << n;
    if (!reached) {
      EXPECT_TRUE(saved);
      break;
    }
  }
}

// Whatever AddEntry accepts, Save and a fresh Load give back: the same ids,
// each text as Load lays it out, and every entry that was there before.
TEST_F(CatalogueWriteTest, AcceptedEntriesSurviveSaveAndLoad) {
  const std::vector<std::string> pieces = {
      "Textur", "{",    "}", "(",  ")",  "name(", "id(",     "grid(", "7",       "-",
      "+",      "42",   " ", "\t", "\n", "\r",    "x",       "Sub",   ">>",      "Basis",
      "\v",     "\xe4", "0", "(a", "a)", "\x1a",  "}\n\t\t", "id(9)", "name(n)", "{x(1)}"};
  std::mt19937 random(20261209);
  int accepted = 0;
  for (int round = 0; round < 1500; ++round) {
    std::string text =
        "Textur{name(t" + std::to_string(round) + ")id(" + std::to_string(round + 100) + ")}";
    int edits = static_cast<int>(random() % 4);
    for (int i = 0; i < edits; ++i) {
      std::size_t at = random() % (text.size() + 1);
      text.insert(at, pieces[random() % pieces.size()]);
    }
    Load("Basis{ Textur{name(a)id(1)} Textur{name(b)id(2000000)} }");
    if (!catalogue.AddEntry(text))
      continue;
    ++accepted;
    EntryList before = ListEntries(catalogue);
    ASSERT_TRUE(catalogue.Save(kPath)) << text;
    CTextureCatalogue reread(fs);
    ASSERT_TRUE(reread.Load(kPath)) << text;
    EXPECT_TRUE(reread.loaded_whole()) << text;
    EntryList after = ListEntries(reread);
    ASSERT_EQ(before.size(), after.size()) << text;
    for (std::size_t i = 0; i < before.size(); ++i) {
      EXPECT_EQ(before[i].first, after[i].first) << text;
      EXPECT_EQ(Normalised(before[i].second), after[i].second) << text;
    }
  }
  EXPECT_GT(accepted, 500);
}
