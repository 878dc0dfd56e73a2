#include "engine/reg_key_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake_platform.h"

namespace {

const char kKey[] = "HKEY_CLASSES_ROOT\\Software\\Brindlewood\\KSVX";

class RegKeyPathTest : public testing::Test {
 protected:
  RegKeyPathTest() {
    registry.AddKey(kKey);
    registry.AddKey("HKEY_CLASSES_ROOT\\Software\\Other");
  }

  std::vector<std::string> Calls(const std::string& prefix) {
    std::vector<std::string> out;
    for (const std::string& call : registry.calls()) {
      if (call.compare(0, prefix.size(), prefix) == 0)
        out.push_back(call);
    }
    return out;
  }

  bool OpenKsvx(std::uint32_t access = kKeyRead) {
    return path.SetPath(kHkeyClassesRoot, "Software\\Brindlewood\\KSVX") && path.Open(access);
  }

  FakeRegistry registry;
  CRegKeyPath path{registry};
};

}  // namespace

TEST_F(RegKeyPathTest, SkipsEmptyComponentsAndClosesDeepestFirst) {
  ASSERT_TRUE(path.SetPath(kHkeyClassesRoot, "\\\\Software\\\\Brindlewood\\KSVX\\"));
  ASSERT_TRUE(path.Open(kKeyRead));
  EXPECT_EQ(3, registry.open_keys());
  EXPECT_TRUE(path.Close());
  EXPECT_EQ(0, registry.open_keys());
  EXPECT_EQ((std::vector<std::string>{"CloseKey(HKEY_CLASSES_ROOT\\Software\\Brindlewood\\KSVX)",
                                      "CloseKey(HKEY_CLASSES_ROOT\\Software\\Brindlewood)",
                                      "CloseKey(HKEY_CLASSES_ROOT\\Software)"}),
            Calls("CloseKey"));
}

TEST_F(RegKeyPathTest, PathsWithoutComponentsDoNotOpen) {
  EXPECT_FALSE(path.SetPath(kHkeyClassesRoot, nullptr));
  EXPECT_FALSE(path.Open(kKeyRead));
  EXPECT_FALSE(path.SetPath(kHkeyClassesRoot, ""));
  EXPECT_FALSE(path.SetPath(kHkeyClassesRoot, "\\\\"));
  EXPECT_FALSE(path.Open(kKeyRead));
  EXPECT_TRUE(registry.calls().empty());
}

TEST_F(RegKeyPathTest, FailedLevelLeavesNothingOpen) {
  ASSERT_TRUE(path.SetPath(kHkeyClassesRoot, "Software\\Brindlewood\\Missing"));
  EXPECT_FALSE(path.Open(kKeyRead));
  EXPECT_EQ(0, registry.open_keys());
  std::uint32_t value = 7;
  EXPECT_FALSE(path.ReadDword("Scan", &value));
  EXPECT_FALSE(path.WriteDword("Scan", 2));
  EXPECT_EQ(7u, value);
}

TEST_F(RegKeyPathTest, NewPathAndDestructionCloseWhatIsOpen) {
  ASSERT_TRUE(OpenKsvx());
  ASSERT_TRUE(path.SetPath(kHkeyClassesRoot, "Software\\Other"));
  EXPECT_EQ(0, registry.open_keys());
  {
    CRegKeyPath other(registry);
    ASSERT_TRUE(other.SetPath(kHkeyClassesRoot, "Software\\Other"));
    ASSERT_TRUE(other.Open(kKeyRead));
  }
  EXPECT_EQ(0, registry.open_keys());
}

TEST_F(RegKeyPathTest, CloseReportsAFailedClose) {
  ASSERT_TRUE(OpenKsvx());
  // The second close, of Brindlewood, fails; the one after it still runs.
  registry.FailNth(2);
  EXPECT_FALSE(path.Close());
  EXPECT_EQ(3u, Calls("CloseKey").size());
  EXPECT_EQ(0, registry.open_keys());
}

TEST_F(RegKeyPathTest, ReadDwordTakesBothDwordTypesAsStored) {
  registry.SetDwordValue(kKey, "Scan", 3);
  registry.SetRaw(kKey, "Big", kRegDwordBigEndian, std::string("\0\0\0\x03", 4));
  registry.SetString(kKey, "Text", "3");
  registry.SetRaw(kKey, "Long", kRegBinary, std::string(8, '\x01'));
  ASSERT_TRUE(OpenKsvx());
  std::uint32_t value = 0;
  EXPECT_TRUE(path.ReadDword("Scan", &value));
  EXPECT_EQ(3u, value);
  EXPECT_TRUE(path.ReadDword("Big", &value));
  EXPECT_EQ(0x03000000u, value);
  EXPECT_FALSE(path.ReadDword("Text", &value));
  EXPECT_FALSE(path.ReadDword("Long", &value));
  EXPECT_FALSE(path.ReadDword("Missing", &value));
}

// The host lookup's tests cover the ordinary forms; these are the edges.
TEST_F(RegKeyPathTest, ReadStringStopsAtTheFirstNulOrTheDataEnd) {
  const std::string full(260, 'b');
  registry.SetRaw(kKey, "Multi", kRegMultiSz, std::string("D:\\A\0E:\\B\0\0", 11));
  registry.SetRaw(kKey, "FullNoNul", kRegSz, full);
  registry.SetRaw(kKey, "ShortNoNul", kRegSz, "abc");
  registry.SetString(kKey, "TooLong", full);
  ASSERT_TRUE(OpenKsvx());
  std::string text = "stale";
  EXPECT_TRUE(path.ReadString("Multi", &text));
  EXPECT_EQ("D:\\A", text);
  EXPECT_TRUE(path.ReadString("FullNoNul", &text));
  EXPECT_EQ(full, text);
  EXPECT_TRUE(path.ReadString("ShortNoNul", &text));
  EXPECT_EQ("abc", text);
  EXPECT_FALSE(path.ReadString("TooLong", &text));
  EXPECT_FALSE(path.ReadString("Missing", &text));
}
