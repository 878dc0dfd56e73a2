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

TEST_F(CopyFileSafelyTest, CreatesOrReplacesTheDestinationWithTheSourcesTime) {
  EXPECT_TRUE(Copy());
  EXPECT_EQ("new content", files.Content(kTo));
  EXPECT_EQ(7u, files.Find(kTo)->time);
  files.AddFile(kTo, "old", 3);
  EXPECT_TRUE(Copy());
  EXPECT_EQ("new content", files.Content(kTo));
  EXPECT_EQ(nullptr, files.Find(kTemp));
}

TEST_F(CopyFileSafelyTest, AReadOnlyDestinationIsRefusedAndUntouched) {
  files.AddFile(kTo, "old", 3);
  files.Find(kTo)->read_only = true;
  EXPECT_FALSE(Copy());
  EXPECT_EQ("CopyFileSafely(C:\\Paket\\x.dat, D:\\Sim\\x.dat): destination is read-only", err);
  EXPECT_EQ("old", files.Content(kTo));
  EXPECT_TRUE(files.Find(kTo)->read_only);
  EXPECT_EQ(nullptr, files.Find(kTemp));
}

TEST_F(CopyFileSafelyTest, ACopyFailingPartWayLeavesTheOldFileAndNoTemporary) {
  files.AddFile(kTo, "old", 3);
  files.FailOp("Copy", "x.dat");
  EXPECT_FALSE(Copy());
  EXPECT_EQ("old", files.Content(kTo));
  EXPECT_EQ(nullptr, files.Find(kTemp));

  files.ClearFaults();
  files.Remove(kTo);
  files.FailOp("Copy", "x.dat");
  EXPECT_FALSE(Copy());
  EXPECT_EQ(nullptr, files.Find(kTo));
  EXPECT_EQ(nullptr, files.Find(kTemp));
}

TEST_F(CopyFileSafelyTest, AFailedReplaceLeavesTheOldFileAndNoTemporary) {
  files.AddFile(kTo, "old", 3);
  files.Find(kTo)->locked = true;
  // The package's file is read-only, and so is its copy, until cleared.
  files.Find(kFrom)->read_only = true;
  EXPECT_FALSE(Copy());
  EXPECT_EQ("old", files.Content(kTo));
  EXPECT_EQ(nullptr, files.Find(kTemp));

  files.Find(kTo)->locked = false;
  files.FailOp("Replace", "x.dat");
  EXPECT_FALSE(Copy());
  EXPECT_EQ("old", files.Content(kTo));
  EXPECT_EQ(nullptr, files.Find(kTemp));
}

TEST_F(CopyFileSafelyTest, AStaleReadOnlyTemporaryIsClearedAway) {
  files.AddFile(kTemp, "stale", 1);
  files.Find(kTemp)->read_only = true;
  EXPECT_FALSE(Copy());
  EXPECT_EQ(nullptr, files.Find(kTemp));
  EXPECT_TRUE(Copy());
  EXPECT_EQ("new content", files.Content(kTo));
}

}  // namespace
