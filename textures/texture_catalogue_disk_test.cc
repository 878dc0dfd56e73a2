// The catalogue's save on the running system's own file system.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "platform/test_dir.h"
#include "textures/texture_catalogue.h"

namespace {

const char kOld[] = "Basis {\r\n  Textur{ name(Kies) id(12) }\r\n}\r\n";
const char kNew[] =
    "Basis{\r\n"
    "\tTextur{\tname(Kies)\tid(12)\t}\r\n"
    "\tTextur{\tname(Sand)\tid(13)\t}\r\n"
    "}";

class CatalogueOnDiskTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir.path().empty());
    path = dir.path() + "\\Texturen.txt";
    ASSERT_TRUE(TestWriteFile(path, kOld));
  }
  // Loads the catalogue, adds one entry and saves it; Save's result.
  bool AddAndSave() {
    CTextureCatalogue catalogue(SystemPlatform().files);
    EXPECT_TRUE(catalogue.Load(path));
    EXPECT_TRUE(catalogue.AddEntry("Textur{\tname(Sand)\tid(13)\t}"));
    return catalogue.Save(path);
  }
  std::string Content() {
    std::string data;
    EXPECT_TRUE(TestReadFile(path, &data));
    return data;
  }
  bool TempLeft() {
    std::string data;
    return TestReadFile(path + ".pwtmp", &data);
  }

  ScopedTempDir dir;
  std::string path;
};

}  // namespace

TEST_F(CatalogueOnDiskTest, SaveReplacesTheCatalogueWithoutLeavingATemporaryFile) {
  EXPECT_TRUE(AddAndSave());
  EXPECT_EQ(kNew, Content());
  EXPECT_FALSE(TempLeft());
}

// Replacing by rename would succeed over a read-only file on POSIX and
// under Wine; the catalogue must stay as it is, as on Windows.
TEST_F(CatalogueOnDiskTest, ReadOnlyCatalogueIsNotReplaced) {
  ASSERT_TRUE(TestSetReadOnly(path, true));
  EXPECT_FALSE(AddAndSave());
  EXPECT_EQ(kOld, Content());
  EXPECT_FALSE(TempLeft());
  EXPECT_TRUE(TestSetReadOnly(path, false));
}
