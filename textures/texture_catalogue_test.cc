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
  FakeFileSystem fs;
  CTextureCatalogue catalogue{fs};
};

struct LoadCase {
  const char* what;
  std::string data;
  EntryList want;
  bool whole;
};

const std::string kA = "Textur{\tname(a)\tid(1)\t}";

// The tokens of `text` fed in two pieces, cut at `cut`.
std::vector<std::string> Tokens(const std::string& text, std::size_t cut = 0) {
  CatalogueTokenizer tokenizer;
  std::vector<std::string> tokens;
  auto take = [&tokens](std::string_view token) {
    tokens.emplace_back(token);
    return true;
  };
  std::string_view all(text);
  tokenizer.Feed(all.substr(0, cut), take);
  tokenizer.Feed(all.substr(cut), take);
  tokenizer.Finish(take);
  return tokens;
}

}  // namespace

TEST(CatalogueTokenizerTest, BracesAndParenthesesStandAloneAndWhitespaceDivides) {
  EXPECT_EQ((std::vector<std::string>{"Textur", "{", "name", "(", "Kies", ")"}),
            Tokens("Textur{name(Kies)"));
  EXPECT_EQ((std::vector<std::string>{"}", "}", "a", "b", "(", "(", "c\xe4"}),
            Tokens(" \t}}a\r\n\v\fb((c\xe4 \n"));
  EXPECT_TRUE(Tokens(" \t\r\n").empty());
  const std::string text = "Basis{ Textur{name(Kies)  id(12)}\r\n}";
  for (std::size_t cut = 1; cut <= text.size(); ++cut)
    EXPECT_EQ(Tokens(text), Tokens(text, cut)) << cut;
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

TEST_F(CatalogueLoadTest, FilesLoadAsTheirEntriesAndTellWhetherWhole) {
  const LoadCase cases[] = {
      {"worked example",
       "Basis {\r\n    Textur{ name(Ziegelrot) id(4711) }\r\n    Textur{ name(Kies) id(12) "
       "}\r\n}\r\n",
       {{12, "Textur{\tname(Kies)\tid(12)\t}"}, {4711, "Textur{\tname(Ziegelrot)\tid(4711)\t}"}},
       true},
      {"empty file", "", {}, true},
      {"blank file", " \r\n\t \n", {}, true},
      {"first of an id wins",
       "Basis{ Textur{name(erst) id(5)} Textur{name(zweit) id(+5)} }",
       {{5, "Textur{\tname(erst)\tid(5)\t}"}},
       true},
      {"ids wrap and order unsigned",
       "Basis{ Textur{name(a)id(0)} Textur{name(b)id(-5)} Textur{name(c)id(+12)} }",
       {{0, "Textur{\tname(a)\tid(0)\t}"},
        {12, "Textur{\tname(c)\tid(+12)\t}"},
        {4294967291u, "Textur{\tname(b)\tid(-5)\t}"}},
       true},
      {"ids without digits or with a tail",
       "Basis{ Textur{name(a)id(abc)} Textur{name(b)id(12abc)} }",
       {{0, "Textur{\tname(a)\tid(abc)\t}"}, {12, "Textur{\tname(b)\tid(12abc)\t}"}},
       true},
      {"grid( holds the first id(",
       "Basis{ Textur{ name(Gitter) grid(3) id(7) } }",
       {{3, "Textur{\tname(Gitter)\tgrid(3)\tid(7)\t}"}},
       true},
      {"words between entries lead the next",
       "Basis{ Version(2) Textur{ name(a) id(1) } }",
       {{1, "Version(2)\t" + kA}},
       true},
      {"nested block over two lines",
       "Basis{ Textur{ name(a) id(1) Sub{ x(2)\r\n } } }",
       {{1, "Textur{\tname(a)\tid(1)\tSub{\tx(2)\t}}"}},
       true},
      {"only the outer close missing", "Basis{ Textur{name(a)id(1)}\r\n", {{1, kA}}, true},
      {"keyword alone", "Basis", {}, true},
      {"outer block open", "Basis{", {}, true},
      {"no keyword", "{ Textur{name(a)id(1)} }", {{1, kA}}, true},
      {"Ctrl-Z as the last byte", "Basis{ Textur{name(a)id(1)} }\x1a", {{1, kA}}, true},
      {"top-level entry", "Textur{ name(a) id(1) }", {}, false},
      {"cut inside an entry", "Basis{ Textur{name(a)id(1)} Textur{name(b)id(2)", {{1, kA}}, false},
      {"cut after words", "Basis{ Textur{name(a)id(1)} Version(3)", {{1, kA}}, false},
      {"Ctrl-Z hides the rest",
       "Basis{ Textur{name(a)id(1)}\x1a Textur{name(b)id(2)} }",
       {{1, kA}},
       false},
      {"other keyword", "Katalog{ Textur{name(a)id(1)} }", {{1, kA}}, false},
      {"two keywords", "Basis Basis{ Textur{name(a)id(1)} }", {{1, kA}}, false},
      {"text after the outer block", "Basis{ Textur{name(a)id(1)} } Rest", {{1, kA}}, false},
      {"text after the last entry", "Basis{ Textur{name(a)id(1)} Nachsatz(1) }", {{1, kA}}, false},
      {"close before the outer block", "} Basis{ Textur{name(a)id(1)} }", {}, false},
      {"parenthesis before the outer block",
       "Basis() { Textur{name(a)id(1)} }",
       {{1, "\t" + kA}},
       false},
      {"second top-level block",
       "Basis{ Textur{name(a)id(1)} } Basis{ Textur{name(b)id(2)} }",
       {{1, kA}, {2, "}Textur{\tname(b)\tid(2)\t}"}},
       false},
  };
  for (const LoadCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.want, Load(c.data));
    EXPECT_EQ(c.whole, catalogue.loaded_whole());
    EXPECT_EQ(kPath, catalogue.path());
  }
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
  fs.FailMatching("Read", "Texturen");
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

TEST_F(CatalogueLoadTest, EntriesLoadAlikeWhateverTheirFormAndWhereverTheReadsCutThem) {
  // Lines as Save writes them, and lines that differ from that form only
  // by whitespace, which the load must still drop; enough of them to span
  // several reads of the file.
  const std::string forms[][2] = {
      {"Textur{\tname(a)\tid(@)\t}", "Textur{\tname(a)\tid(@)\t}"},
      {"Version(2)\tTextur{\tname(b)\tid(@)\tSub{\tx(1)\t}}", ""},
      {"Textur{\t\tname(c)\tid(@)\t}", "Textur{\tname(c)\tid(@)\t}"},
      {"Textur{\tname( d)\tid(@)\t}", "Textur{\tname(d)\tid(@)\t}"},
      {"Textur{\tname(e)\tid(@)\tSub{\tx(1)\t} }", "Textur{\tname(e)\tid(@)\tSub{\tx(1)\t}}"},
      {"Textur{\tname(f) id(@)\t}", "Textur{\tname(f)\tid(@)\t}"},
  };
  std::string file = "Basis{\r\n";
  EntryList want;
  for (std::uint32_t id = 1; id <= 6000; ++id) {
    const std::string* form = forms[id % 6];
    std::string line = form[0];
    std::string text = form[1].empty() ? form[0] : form[1];
    line.replace(line.find('@'), 1, std::to_string(id));
    text.replace(text.find('@'), 1, std::to_string(id));
    file += "\t" + line + "\r\n";
    want.emplace_back(id, text);
  }
  EXPECT_EQ(want, Load(file + "}"));
  EXPECT_TRUE(catalogue.loaded_whole());
}
