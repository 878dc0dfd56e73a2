#include <windows.h>

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "platform/system_win32.h"

namespace {

const char kScratchParent[] = "Software\\PackwrightTest";

// A scratch key under HKEY_CURRENT_USER\Software\PackwrightTest, filled
// through the system's own calls and deleted afterwards.
class RegistryWin32Test : public testing::Test {
 protected:
  void SetUp() override {
    name_ = "run-" + std::to_string(GetCurrentProcessId());
    std::string path = std::string(kScratchParent) + "\\" + name_;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &scratch_, nullptr));
  }
  void TearDown() override {
    if (scratch_)
      RegCloseKey(scratch_);
    RegDeleteTreeA(HKEY_CURRENT_USER, kScratchParent);
    EXPECT_EQ(0, open_keys_) << "keys left open";
  }

  void Put(const char* name, DWORD type, const void* data, DWORD size) {
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExA(scratch_, name, 0, type, static_cast<const BYTE*>(data), size));
  }

  // Opens the scratch key level by level, as the engine does.
  RegKey OpenScratch(std::uint32_t access) {
    RegKey software = 0, parent = 0, key = 0;
    EXPECT_EQ(kErrorSuccess, registry_.OpenKey(kHkeyCurrentUser, "Software", access, &software));
    EXPECT_EQ(kErrorSuccess, registry_.OpenKey(software, "PackwrightTest", access, &parent));
    EXPECT_EQ(kErrorSuccess, registry_.OpenKey(parent, name_, access, &key));
    EXPECT_EQ(kErrorSuccess, registry_.CloseKey(parent));
    EXPECT_EQ(kErrorSuccess, registry_.CloseKey(software));
    ++open_keys_;
    return key;
  }
  void Close(RegKey key) {
    EXPECT_EQ(kErrorSuccess, registry_.CloseKey(key));
    --open_keys_;
  }

  Registry& registry_ = Win32Registry();
  HKEY scratch_ = nullptr;
  std::string name_;
  int open_keys_ = 0;
};

TEST_F(RegistryWin32Test, QueriesEachValueTypeWithItsLength) {
  Put("sz", REG_SZ, "D:\\Sim\\", 8);
  Put("expand", REG_EXPAND_SZ, "%Sim%\\", 7);
  Put("multi", REG_MULTI_SZ, "a\0b\0", 5);
  DWORD two = 2;
  Put("dword", REG_DWORD, &two, sizeof(two));

  RegKey key = OpenScratch(kKeyRead);
  struct Expected {
    const char* name;
    std::uint32_t type;
    std::string bytes;
  } cases[] = {{"sz", kRegSz, std::string("D:\\Sim\\", 8)},
               {"expand", kRegExpandSz, std::string("%Sim%\\", 7)},
               {"multi", kRegMultiSz, std::string("a\0b\0", 5)},
               {"dword", kRegDword, std::string("\2\0\0\0", 4)}};
  for (const Expected& expected : cases) {
    unsigned char data[64] = {};
    std::uint32_t type = 0, size = sizeof(data);
    EXPECT_EQ(kErrorSuccess, registry_.QueryValue(key, expected.name, &type, data, &size));
    EXPECT_EQ(expected.type, type) << expected.name;
    EXPECT_EQ(expected.bytes, std::string(reinterpret_cast<char*>(data), size)) << expected.name;
  }
  Close(key);
}

TEST_F(RegistryWin32Test, ValueOverTheBufferGivesMoreDataAndItsLength) {
  Put("sz", REG_SZ, "D:\\Simulation\\", 15);
  RegKey key = OpenScratch(kKeyRead);
  unsigned char data[4];
  std::uint32_t type = 0, size = sizeof(data);
  EXPECT_EQ(kErrorMoreData, registry_.QueryValue(key, "sz", &type, data, &size));
  EXPECT_EQ(15u, size);
  EXPECT_EQ(kRegSz, type);
  Close(key);
}

TEST_F(RegistryWin32Test, MissingKeyAndValueAreNotFound) {
  RegKey key = OpenScratch(kKeyRead);
  RegKey missing = 0;
  EXPECT_EQ(kErrorFileNotFound, registry_.OpenKey(key, "Missing", kKeyRead, &missing));
  unsigned char data[4];
  std::uint32_t type = 0, size = sizeof(data);
  EXPECT_EQ(kErrorFileNotFound, registry_.QueryValue(key, "Scan", &type, data, &size));
  Close(key);
}

TEST_F(RegistryWin32Test, SetDwordStoresARegDword) {
  RegKey key = OpenScratch(kKeyAllAccess);
  EXPECT_EQ(kErrorSuccess, registry_.SetDword(key, "Scan", 2));
  Close(key);

  DWORD type = 0, value = 0, size = sizeof(value);
  EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(scratch_, "Scan", nullptr, &type,
                                            reinterpret_cast<BYTE*>(&value), &size));
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
  EXPECT_EQ(2u, value);
}

// Each root stands for its own hive: a key made only under
// HKEY_CLASSES_ROOT opens through kHkeyClassesRoot and through no other.
TEST_F(RegistryWin32Test, EachRootIsItsOwnHive) {
  const std::string name = "PackwrightTest." + name_;
  HKEY made = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CLASSES_ROOT, name.c_str(), 0, nullptr, 0,
                                           KEY_ALL_ACCESS, nullptr, &made, nullptr));
  RegCloseKey(made);
  RegKey key = 0;
  EXPECT_EQ(kErrorSuccess, registry_.OpenKey(kHkeyClassesRoot, name, kKeyRead, &key));
  EXPECT_EQ(kErrorSuccess, registry_.CloseKey(key));
  EXPECT_EQ(kErrorFileNotFound, registry_.OpenKey(kHkeyCurrentUser, name, kKeyRead, &key));
  EXPECT_EQ(kErrorFileNotFound, registry_.OpenKey(kHkeyLocalMachine, name, kKeyRead, &key));
  EXPECT_EQ(ERROR_SUCCESS, RegDeleteTreeA(HKEY_CLASSES_ROOT, name.c_str()));
}

}  // namespace
