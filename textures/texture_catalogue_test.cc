#include "textures/texture_catalogue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake_platform.h"
#include "textures/catalogue_test_util.h"
#include "textures/catalogue_tokens.h"

namespace {

const char kPath[] = "D:\\Sim\\Resourcen\\Parallels\\Texturen.txt";

class CatalogueLoadTest : public testing::Test {
 protected:
  // Loads `data` as the catalogue file, expecting success; the entries.
  EntryList Load(const std::string& data) {
    fs.AddFile(kPath, data);
    EXPECT_TRUE(catalogue.Load(kPath));
    EXPECT_TRUE(catalogue.loaded());
    EXPECT_EQ(0, fs.open_files());
    return ListEntries(catalogue);
  }
  // Whether a file holding `data` loads whole.
  bool Whole(const std::string& data) {
    Load(data);
    return catalogue.loaded_whole();
  }

  FakeFileSystem fs;
  CTextureCatalogue catalogue{fs};
};

std::vector<std::string> Tokens(const std::string& text) {
  StringSource source(text);
  CatalogueTokenizer<StringSource> tokenizer(source);
  std::vector<std::string> tokens;
  std::string token;
  while (tokenizer.Next(&token))
    tokens.push_back(token);
  return tokens;
}

}  // namespace

TEST(CatalogueTokenizerTest, BracesAndParenthesesStandAloneAndWhitespaceDivides) {
  EXPECT_EQ((std::vector<std::string>{"Textur", "{", "name", "(", "Kies", ")"}),
            Tokens("Textur{name(Kies)"));
  EXPECT_EQ((std::vector<std::string>{"}", "}", "a", "b", "(", "(", "c\xe4"}),
            Tokens(" \t}}a\r\n\v\fb((c\xe4 \n"));
  EXPECT_TRUE(Tokens(" \t\r\n").empty());
}

TEST(TextureIdTest, ConversionWrapsAndStopsAtTheFirstNonDigit) {
  EXPECT_EQ(12u, ConvertTextureId("12)", 0));
  EXPECT_EQ(12u, ConvertTextureId("+12)", 0));
  EXPECT_EQ(4294967291u, ConvertTextureId("-5)", 0));
  EXPECT_EQ(12u, ConvertTextureId("12abc)", 0));
  EXPECT_EQ(7u, ConvertTextureId(" \t7", 0));
  EXPECT_EQ(0u, ConvertTextureId("abc)", 0));
  EXPECT_EQ(0u, ConvertTextureId("-)", 0));
  EXPECT_EQ(0u, ConvertTextureId("", 0));
  EXPECT_EQ(0u, ConvertTextureId("4294967296", 0));
  EXPECT_EQ(1u, ConvertTextureId("4294967297", 0));
  EXPECT_EQ(5u, ConvertTextureId("id(5)", 3));
}

TEST(TextureIdTest, NameAndIdAreFoundByPlainSubstringSearch) {
  std::string name;
  std::uint32_t id = 99;
  EXPECT_TRUE(FindEntryName("Textur{\tname(Kies)\tid(12)\t}", &name));
  EXPECT_EQ("Kies", name);
  EXPECT_TRUE(FindEntryName("Texturnickname(x)", &name));
  EXPECT_EQ("x", name);
  EXPECT_FALSE(FindEntryName("Textur{\tname(Kies}", &name));
  EXPECT_TRUE(FindEntryId("Textur{\tname(Gitter)\tgrid(3)\tid(7)\t}", &id));
  EXPECT_EQ(3u, id);
  EXPECT_TRUE(FindEntryId("Textur{id(abc)}", &id));
  EXPECT_EQ(0u, id);
  EXPECT_FALSE(FindEntryId("Textur{name(a)id(5}", &id));
  EXPECT_FALSE(FindEntryId("Textur{name(a)}", &id));
}

TEST_F(CatalogueLoadTest, WorkedExampleLoadsSortedAndNormalised) {
  EXPECT_EQ((EntryList{{12, "Textur{\tname(Kies)\tid(12)\t}"},
                       {4711, "Textur{\tname(Ziegelrot)\tid(4711)\t}"}}),
            Load("Basis {\r\n"
                 "    Textur{ name(Ziegelrot) id(4711) }\r\n"
                 "    Textur{ name(Kies) id(12) }\r\n"
                 "}\r\n"));
  EXPECT_TRUE(catalogue.loaded_whole());
  EXPECT_EQ(kPath, catalogue.path());
}

TEST_F(CatalogueLoadTest, EmptyOrBlankFileLoadsAsEmptyCatalogue) {
  EXPECT_TRUE(Load("").empty());
  EXPECT_TRUE(catalogue.loaded_whole());
  EXPECT_TRUE(Load(" \r\n\t \n").empty());
  EXPECT_TRUE(catalogue.loaded_whole());
}

TEST_F(CatalogueLoadTest, MissingOrUnreadableFileFailsAndCreatesNothing) {
  EXPECT_FALSE(catalogue.Load(kPath));
  EXPECT_FALSE(catalogue.loaded());
  EXPECT_EQ(kPath, catalogue.path());
  EXPECT_EQ(nullptr, fs.Find(kPath));
  fs.AddFile(kPath, "Basis{Textur{name(a)id(1)}}");
  fs.Find(kPath)->locked = true;
  EXPECT_FALSE(catalogue.Load(kPath));
  EXPECT_EQ(0, fs.open_files());
}

TEST_F(CatalogueLoadTest, ReadErrorFailsTheLoadInsteadOfEndingIt) {
  fs.AddFile(kPath, "Basis{Textur{name(a)id(1)}}");
  fs.FailOp("Read", "Texturen");
  EXPECT_FALSE(catalogue.Load(kPath));
  EXPECT_FALSE(catalogue.loaded());
  EXPECT_EQ(0u, catalogue.entries().size());
  EXPECT_EQ(0, fs.open_files());
}

TEST_F(CatalogueLoadTest, EntryWithoutNameOrIdFailsTheWholeLoad) {
  const char* bad[] = {
      "Basis{ Textur{name(a)id(1)} Textur{ id(2) } }",
      "Basis{ Textur{name(a)id(1)} Textur{ name(b) } }",
      "Basis{ Textur{name(a)id(1)} Textur{ id(2) name(b } }",
      "Basis{ Textur{name(a)id(1)} Textur{ name(b) id(2 } }",
  };
  for (const char* data : bad) {
    fs.AddFile(kPath, data);
    EXPECT_FALSE(catalogue.Load(kPath)) << data;
    EXPECT_FALSE(catalogue.loaded());
    EXPECT_EQ(0u, catalogue.entries().size()) << data;
  }
}

TEST_F(CatalogueLoadTest, LoadStartsFromAnEmptyCatalogue) {
  Load("Basis{Textur{name(a)id(1)}}");
  catalogue.AddEntry("Textur{name(b)id(2)}");
  EXPECT_EQ((EntryList{{3, "Textur{\tname(c)\tid(3)\t}"}}), Load("Basis{Textur{name(c)id(3)}}"));
}

TEST_F(CatalogueLoadTest, FirstEntryOfAnIdWins) {
  EXPECT_EQ((EntryList{{5, "Textur{\tname(erst)\tid(5)\t}"}}),
            Load("Basis{ Textur{name(erst) id(5)} Textur{name(zweit) id(+5)} }"));
}

TEST_F(CatalogueLoadTest, IdsAreConvertedWithWrapAndOrderedUnsigned) {
  EXPECT_EQ((EntryList{{0, "Textur{\tname(a)\tid(0)\t}"},
                       {12, "Textur{\tname(c)\tid(+12)\t}"},
                       {4294967291u, "Textur{\tname(b)\tid(-5)\t}"}}),
            Load("Basis{ Textur{name(a)id(0)} Textur{name(b)id(-5)} Textur{name(c)id(+12)} }"));
  EXPECT_EQ(
      (EntryList{{0, "Textur{\tname(a)\tid(abc)\t}"}, {12, "Textur{\tname(b)\tid(12abc)\t}"}}),
      Load("Basis{ Textur{name(a)id(abc)} Textur{name(b)id(12abc)} }"));
}

TEST_F(CatalogueLoadTest, IdInsideGridIsTakenFirst) {
  EXPECT_EQ((EntryList{{3, "Textur{\tname(Gitter)\tgrid(3)\tid(7)\t}"}}),
            Load("Basis{ Textur{ name(Gitter) grid(3) id(7) } }"));
}

TEST_F(CatalogueLoadTest, WordsBetweenEntriesLeadTheNextEntry) {
  EXPECT_EQ((EntryList{{1, "Version(2)\tTextur{\tname(a)\tid(1)\t}"}}),
            Load("Basis{ Version(2) Textur{ name(a) id(1) } }"));
  EXPECT_TRUE(catalogue.loaded_whole());
}

TEST_F(CatalogueLoadTest, NestedBlockStaysInsideItsEntry) {
  EXPECT_EQ((EntryList{{1, "Textur{\tname(a)\tid(1)\tSub{\tx(2)\t}}"}}),
            Load("Basis{ Textur{ name(a) id(1) Sub{ x(2)\r\n } } }"));
  EXPECT_TRUE(catalogue.loaded_whole());
}

TEST_F(CatalogueLoadTest, TopLevelEntryIsNotRecognisedAndNotWhole) {
  EXPECT_TRUE(Load("Textur{ name(a) id(1) }").empty());
  EXPECT_FALSE(catalogue.loaded_whole());
}

TEST_F(CatalogueLoadTest, FileCutOffInsideAnEntryKeepsCompleteEntriesButIsNotWhole) {
  EXPECT_EQ((EntryList{{1, "Textur{\tname(a)\tid(1)\t}"}}),
            Load("Basis{ Textur{name(a)id(1)} Textur{name(b)id(2)"));
  EXPECT_FALSE(catalogue.loaded_whole());
  Load("Basis{ Textur{name(a)id(1)} Version(3)");
  EXPECT_FALSE(catalogue.loaded_whole());
}

TEST_F(CatalogueLoadTest, FileMissingOnlyItsOuterCloseIsWhole) {
  EXPECT_EQ((EntryList{{1, "Textur{\tname(a)\tid(1)\t}"}}),
            Load("Basis{ Textur{name(a)id(1)}\r\n"));
  EXPECT_TRUE(catalogue.loaded_whole());
  EXPECT_TRUE(Whole("Basis"));
  EXPECT_TRUE(Whole("Basis{"));
  EXPECT_TRUE(Whole("{ Textur{name(a)id(1)} }"));
}

TEST_F(CatalogueLoadTest, CtrlZHidesTheRestAndIsNotWhole) {
  EXPECT_EQ((EntryList{{1, "Textur{\tname(a)\tid(1)\t}"}}),
            Load("Basis{ Textur{name(a)id(1)}\x1a Textur{name(b)id(2)} }"));
  EXPECT_FALSE(catalogue.loaded_whole());
  EXPECT_TRUE(Whole("Basis{ Textur{name(a)id(1)} }\x1a"));
}

TEST_F(CatalogueLoadTest, TextOutsideTheOuterBlockIsNotWhole) {
  EXPECT_FALSE(Whole("Katalog{ Textur{name(a)id(1)} }"));
  EXPECT_FALSE(Whole("Basis Basis{ Textur{name(a)id(1)} }"));
  EXPECT_FALSE(Whole("Basis{ Textur{name(a)id(1)} } Rest"));
  EXPECT_FALSE(Whole("Basis{ Textur{name(a)id(1)} Nachsatz(1) }"));
  EXPECT_FALSE(Whole("} Basis{ Textur{name(a)id(1)} }"));
}

TEST_F(CatalogueLoadTest, ParenthesisBeforeTheOuterBlockTabsTheFirstEntry) {
  EXPECT_EQ((EntryList{{1, "\tTextur{\tname(a)\tid(1)\t}"}}),
            Load("Basis() { Textur{name(a)id(1)} }"));
  EXPECT_FALSE(catalogue.loaded_whole());
}

TEST_F(CatalogueLoadTest, SecondTopLevelBlockCarriesTheCloseAndIsNotWhole) {
  EXPECT_EQ((EntryList{{1, "Textur{\tname(a)\tid(1)\t}"}, {2, "}Textur{\tname(b)\tid(2)\t}"}}),
            Load("Basis{ Textur{name(a)id(1)} } Basis{ Textur{name(b)id(2)} }"));
  EXPECT_FALSE(catalogue.loaded_whole());
}
