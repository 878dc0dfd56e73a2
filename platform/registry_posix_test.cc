// The POSIX registry: the store file named by PACKWRIGHT_REGISTRY, read and
// written through the Registry interface as CRegKeyPath uses it.
#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/system_posix.h"
#include "platform/test_dir.h"

namespace {

const char kStore[] =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "[HKEY_CLASSES_ROOT\\Software\\Brindlewood\\KSVX]\r\n"
    "\"AppPath\"=\"Z:\\\\home\\\\u\\\\Kestrova\\\\Kestrova.exe\"\r\n"
    "\"Scan\"=dword:00000000\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Other]\r\n"
    "\"Keep\"=hex(7):61,00,00,00,00,00\r\n";

class PosixRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.path().empty());
    const char* old = getenv("PACKWRIGHT_REGISTRY");
    had_old_ = old != nullptr;
    old_ = old ? old : "";
    store_ = dir_.path() + "\\registry.reg";
    setenv("PACKWRIGHT_REGISTRY", ToPosixPath(store_).c_str(), 1);
    ASSERT_TRUE(TestWriteFile(store_, kStore));
  }
  void TearDown() override {
    if (had_old_)
      setenv("PACKWRIGHT_REGISTRY", old_.c_str(), 1);
    else
      unsetenv("PACKWRIGHT_REGISTRY");
  }

  // Opens HKCR\Software\Brindlewood\KSVX level by level; closes what it
  // opened on the way.
  long OpenKsvx(std::uint32_t access, RegKey* key) {
    RegKey parent = kHkeyClassesRoot;
    long result = kErrorSuccess;
    for (const char* name : {"Software", "brindlewood", "KSVX"}) {
      result = registry_.OpenKey(parent, name, access, key);
      if (parent != kHkeyClassesRoot)
        registry_.CloseKey(parent);
      if (result != kErrorSuccess)
        return result;
      parent = *key;
    }
    return result;
  }

  std::string Store() {
    std::string data;
    EXPECT_TRUE(TestReadFile(store_, &data));
    return data;
  }

  ScopedTempDir dir_;
  std::string store_;
  bool had_old_ = false;
  std::string old_;
  Registry& registry_ = SystemPlatform().registry;
};

TEST_F(PosixRegistryTest, QueryFollowsTheAnsiCallsRules) {
  RegKey key;
  ASSERT_EQ(kErrorSuccess, OpenKsvx(kKeyRead, &key));
  std::uint32_t type = 0;
  unsigned char data[260];
  std::uint32_t size = sizeof data;
  ASSERT_EQ(kErrorSuccess, registry_.QueryValue(key, "APPPATH", &type, data, &size));
  EXPECT_EQ(kRegSz, type);
  const std::string path = "Z:\\home\\u\\Kestrova\\Kestrova.exe";
  EXPECT_EQ(path.size() + 1, size);
  EXPECT_EQ(path + '\0', std::string(reinterpret_cast<char*>(data), size));
  size = 4;
  EXPECT_EQ(kErrorMoreData, registry_.QueryValue(key, "AppPath", &type, data, &size));
  EXPECT_EQ(path.size() + 1, size);
  size = 0;
  EXPECT_EQ(kErrorSuccess, registry_.QueryValue(key, "Scan", &type, nullptr, &size));
  EXPECT_EQ(kRegDword, type);
  EXPECT_EQ(4u, size);
  EXPECT_EQ(kErrorFileNotFound, registry_.QueryValue(key, "Missing", &type, data, &size));
  EXPECT_EQ(kErrorSuccess, registry_.CloseKey(key));
  EXPECT_EQ(kErrorInvalidHandle, registry_.CloseKey(key));
  EXPECT_EQ(kErrorInvalidHandle, registry_.QueryValue(key, "Scan", &type, data, &size));
}

TEST_F(PosixRegistryTest, MissingKeysAndStoresAreNotFound) {
  RegKey key;
  EXPECT_EQ(kErrorFileNotFound, registry_.OpenKey(kHkeyLocalMachine, "Software", kKeyRead, &key));
  EXPECT_EQ(kErrorInvalidHandle, registry_.OpenKey(0x1234, "Software", kKeyRead, &key));
  ASSERT_TRUE(TestWriteFile(store_, "[HKEY_CLASSES_ROOT\\Software]\r\n"));
  EXPECT_EQ(kErrorFileNotFound, registry_.OpenKey(kHkeyClassesRoot, "Software", kKeyRead, &key));
  setenv("PACKWRIGHT_REGISTRY", ToPosixPath(dir_.path() + "\\none.reg").c_str(), 1);
  EXPECT_EQ(kErrorFileNotFound, registry_.OpenKey(kHkeyClassesRoot, "Software", kKeyRead, &key));
}

TEST_F(PosixRegistryTest, SetDwordRewritesTheStoreKeepingEverythingElse) {
  RegKey key;
  ASSERT_EQ(kErrorSuccess, OpenKsvx(kKeyAllAccess, &key));
  ASSERT_EQ(kErrorSuccess, registry_.SetDword(key, "Scan", 2));
  ASSERT_EQ(kErrorSuccess, registry_.SetDword(key, "Neu", 0xabc));
  EXPECT_EQ(kErrorSuccess, registry_.CloseKey(key));
  std::string expected = kStore;
  expected.replace(expected.find("dword:00000000"), 14, "dword:00000002\r\n\"Neu\"=dword:00000abc");
  EXPECT_EQ(expected, Store());
  // Only the store itself is left in its directory: no temporary file.
  DIR* dir = opendir(ToPosixPath(dir_.path()).c_str());
  ASSERT_NE(nullptr, dir);
  int entries = 0;
  while (readdir(dir))
    ++entries;
  closedir(dir);
  EXPECT_EQ(3, entries);
}

TEST_F(PosixRegistryTest, AReadOnlyStoreRefusesWriteAccess) {
  ASSERT_TRUE(TestSetReadOnly(store_, true));
  RegKey key;
  EXPECT_EQ(kErrorAccessDenied, OpenKsvx(kKeyAllAccess, &key));
  ASSERT_EQ(kErrorSuccess, OpenKsvx(kKeyRead, &key));
  EXPECT_EQ(kErrorAccessDenied, registry_.SetDword(key, "Scan", 2));
  EXPECT_EQ(kErrorSuccess, registry_.CloseKey(key));
  EXPECT_EQ(kStore, Store());
  struct stat st;
  ASSERT_EQ(0, stat(ToPosixPath(store_).c_str(), &st));
  EXPECT_EQ(0u, st.st_mode & 0222u);
}

TEST_F(PosixRegistryTest, TheStoreKeepsItsPermissionsWhenRewritten) {
  ASSERT_EQ(0, chmod(ToPosixPath(store_).c_str(), 0640));
  RegKey key;
  ASSERT_EQ(kErrorSuccess, OpenKsvx(kKeyAllAccess, &key));
  ASSERT_EQ(kErrorSuccess, registry_.SetDword(key, "Scan", 2));
  registry_.CloseKey(key);
  struct stat st;
  ASSERT_EQ(0, stat(ToPosixPath(store_).c_str(), &st));
  EXPECT_EQ(0640u, st.st_mode & 07777u);
}

TEST(RegistryStorePathTest, DefaultsToTheHomeDirectory) {
  const char* old_store = getenv("PACKWRIGHT_REGISTRY");
  std::string saved_store = old_store ? old_store : "";
  const char* old_home = getenv("HOME");
  std::string saved_home = old_home ? old_home : "";
  setenv("PACKWRIGHT_REGISTRY", "/srv/reg.reg", 1);
  setenv("HOME", "/home/u", 1);
  EXPECT_EQ("/srv/reg.reg", RegistryStorePath());
  setenv("PACKWRIGHT_REGISTRY", "", 1);
  EXPECT_EQ("/home/u/.packwright/registry.reg", RegistryStorePath());
  if (old_store)
    setenv("PACKWRIGHT_REGISTRY", saved_store.c_str(), 1);
  else
    unsetenv("PACKWRIGHT_REGISTRY");
  if (old_home)
    setenv("HOME", saved_home.c_str(), 1);
  else
    unsetenv("HOME");
}

}  // namespace
