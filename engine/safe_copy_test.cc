#include "engine/safe_copy.h"

#include <gtest/gtest.h>

#include "platform/fake_platform.h"

namespace {

const char kFrom[] = "C:\\Paket\\x.dat";
const char kTo[] = "D:\\Sim\\x.dat";
const char kTemp[] = "D:\\Sim\\x.dat.pwtmp";

class CopyFileSafelyTest : public testing::Test {
 protected:
  CopyFileSafelyTest() {
    files.AddFile(kFrom, "new content", 7);
    files.AddDir("D:\\Sim");
  }
  bool Copy() { return CopyFileSafely(files, kFrom, kTo, &err); }

  FakeFileSystem files;
  std::string err;
};

TEST_F(CopyFileSafelyTest, AReadOnlyDestinationIsRefusedAndUntouched) {
  files.AddFile(kTo, "old", 3);
  files.Find(kTo)->read_only = true;
  EXPECT_FALSE(Copy());
  EXPECT_EQ("CopyFileSafely(C:\\Paket\\x.dat, D:\\Sim\\x.dat): destination is read-only", err);
  EXPECT_EQ("old", files.Content(kTo));
  EXPECT_TRUE(files.Find(kTo)->read_only);
  EXPECT_EQ(nullptr, files.Find(kTemp));
}

// The failures part way through are the fault test's business; what is left
// here is the temporary file that is read-only and will not simply go.
TEST_F(CopyFileSafelyTest, AReadOnlyTemporaryIsClearedAway) {
  files.AddFile(kTo, "old", 3);
  files.Find(kTo)->locked = true;
  // A copy of a read-only source is read-only itself.
  files.Find(kFrom)->read_only = true;
  EXPECT_FALSE(Copy());
  EXPECT_EQ("old", files.Content(kTo));
  EXPECT_EQ(nullptr, files.Find(kTemp));

  files.Find(kTo)->locked = false;
  files.AddFile(kTemp, "stale", 1);
  files.Find(kTemp)->read_only = true;
  EXPECT_TRUE(Copy());
  EXPECT_EQ(nullptr, files.Find(kTemp));
  EXPECT_EQ("new content", files.Content(kTo));
}

}  // namespace
