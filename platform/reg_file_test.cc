#include "platform/reg_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "platform/win_constants.h"

namespace {

const char kKsvx[] = "HKEY_CLASSES_ROOT\\Software\\Brindlewood\\KSVX";

// An export as the registry editor writes it, every type included.
const char kExport[] =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "[HKEY_CLASSES_ROOT\\Software\\Brindlewood]\r\n"
    "\r\n"
    "[HKEY_CLASSES_ROOT\\Software\\Brindlewood\\KSVX]\r\n"
    "@=\"Kestrova\"\r\n"
    "\"AppPath\"=\"D:\\\\Sim\\\\Kestrova \\\"2\\\".exe\"\r\n"
    "\"Scan\"=dword:0000000a\r\n"
    "; a comment\r\n"
    "\"Expand\"=hex(2):25,00,53,00,49,00,4d,00,25,00,5c,00,c4,00,00,00\r\n"
    "\"Big\"=hex(5):00,00,00,02\r\n"
    "\"Multi\"=hex(7):61,00,00,00,62,00,63,00,00,00,00,00\r\n"
    "\"Blob\"=hex:01,02,\\\r\n"
    "  03,04,\\\r\n"
    "  05\r\n"
    "\"Empty\"=hex:\r\n"
    "\r\n"
    "[HKEY_CLASSES_ROOT\\Software\\Brindlewood\\ZR\\Deep]\r\n"
    "\"Scan\"=dword:00000001\r\n"
    "\r\n";

std::string Utf16(const std::string& ascii) {
  std::string out = "\xFF\xFE";
  for (char c : ascii) {
    out += c;
    out += '\0';
  }
  return out;
}

std::string DataOf(const RegFile& file, const std::string& key, const std::string& name) {
  const RegValue* value = file.Find(key, name);
  return value ? value->data : "<absent>";
}

TEST(RegFileTest, ReadsEveryValueType) {
  RegFile file;
  ASSERT_TRUE(file.Parse(kExport));
  const RegValue* value = file.Find(kKsvx, "AppPath");
  ASSERT_NE(nullptr, value);
  EXPECT_EQ(kRegSz, value->type);
  EXPECT_EQ(std::string("D:\\Sim\\Kestrova \"2\".exe\0", 24), value->data);
  EXPECT_EQ(std::string("Kestrova\0", 9), DataOf(file, kKsvx, ""));
  ASSERT_NE(nullptr, value = file.Find(kKsvx, "Scan"));
  EXPECT_EQ(kRegDword, value->type);
  EXPECT_EQ(std::string("\x0a\0\0\0", 4), value->data);
  ASSERT_NE(nullptr, value = file.Find(kKsvx, "Expand"));
  EXPECT_EQ(kRegExpandSz, value->type);
  EXPECT_EQ(std::string("%SIM%\\\xC3\x84\0", 9), value->data);
  ASSERT_NE(nullptr, value = file.Find(kKsvx, "Big"));
  EXPECT_EQ(kRegDwordBigEndian, value->type);
  EXPECT_EQ(std::string("\0\0\0\x02", 4), value->data);
  ASSERT_NE(nullptr, value = file.Find(kKsvx, "Multi"));
  EXPECT_EQ(kRegMultiSz, value->type);
  EXPECT_EQ(std::string("a\0bc\0\0", 6), value->data);
  ASSERT_NE(nullptr, value = file.Find(kKsvx, "Blob"));
  EXPECT_EQ(kRegBinary, value->type);
  EXPECT_EQ("\x01\x02\x03\x04\x05", value->data);
  EXPECT_EQ("", DataOf(file, kKsvx, "Empty"));
}

TEST(RegFileTest, KeysAndNamesIgnoreCase) {
  RegFile file;
  ASSERT_TRUE(file.Parse(kExport));
  EXPECT_TRUE(file.HasKey("hkey_classes_root\\SOFTWARE\\brindlewood\\ksvx"));
  EXPECT_NE(nullptr, file.Find("hkey_classes_root\\software\\brindlewood\\ksvx", "SCAN"));
  EXPECT_EQ(nullptr, file.Find(kKsvx, "Sca"));
  EXPECT_EQ(nullptr, file.Find("HKEY_CLASSES_ROOT\\Software\\Brindlewood", "Scan"));
}

TEST(RegFileTest, AKeyExistsWhenItOrAKeyBelowIsListed) {
  RegFile file;
  ASSERT_TRUE(file.Parse(kExport));
  EXPECT_TRUE(file.HasKey("HKEY_CLASSES_ROOT"));
  EXPECT_TRUE(file.HasKey("HKEY_CLASSES_ROOT\\Software"));
  EXPECT_TRUE(file.HasKey("HKEY_CLASSES_ROOT\\Software\\Brindlewood\\ZR"));
  EXPECT_FALSE(file.HasKey("HKEY_CLASSES_ROOT\\Software\\Brindle"));
  EXPECT_FALSE(file.HasKey("HKEY_CLASSES_ROOT\\Software\\Brindlewood\\KSVX\\Sub"));
  EXPECT_FALSE(file.HasKey("HKEY_LOCAL_MACHINE"));
}

TEST(RegFileTest, LaterLinesWinAndDeletionsCount) {
  RegFile file;
  ASSERT_TRUE(
      file.Parse("Windows Registry Editor Version 5.00\n"
                 "[HKEY_CURRENT_USER\\A]\n\"X\"=dword:1\n\"Y\"=\"y\"\n"
                 "[HKEY_CURRENT_USER\\A]\n\"X\"=dword:2\n\"Y\"=-\n"
                 "[-HKEY_CURRENT_USER\\B]\n\"Z\"=dword:3\n"));
  EXPECT_EQ(std::string("\2\0\0\0", 4), DataOf(file, "HKEY_CURRENT_USER\\A", "X"));
  EXPECT_EQ(nullptr, file.Find("HKEY_CURRENT_USER\\A", "Y"));
  EXPECT_FALSE(file.HasKey("HKEY_CURRENT_USER\\B"));
}

TEST(RegFileTest, MalformedLinesMeanNothing) {
  RegFile file;
  ASSERT_TRUE(
      file.Parse("Windows Registry Editor Version 5.00\n"
                 "\"Orphan\"=dword:1\n"
                 "[HKEY_CURRENT_USER\\A]\n"
                 "\"Long\"=dword:123456789\n"
                 "\"Word\"=dword:xyz\n"
                 "\"Open\"=\"no end\n"
                 "\"Tail\"=\"x\" y\n"
                 "\"Odd\"=hex(2):41,00,42\n"
                 "\"Wide\"=hex:100\n"
                 "\"Type\"=hex(zz):00\n"
                 "NoQuotes=dword:1\n"
                 "\"Good\"=dword:ffffffff\n"));
  for (const char* name : {"Orphan", "Long", "Word", "Open", "Tail", "Odd", "Wide", "Type"})
    EXPECT_EQ(nullptr, file.Find("HKEY_CURRENT_USER\\A", name)) << name;
  EXPECT_EQ("\xff\xff\xff\xff", DataOf(file, "HKEY_CURRENT_USER\\A", "Good"));
}

TEST(RegFileTest, WithoutTheHeaderNothingIsThere) {
  RegFile file;
  EXPECT_FALSE(file.Parse(""));
  EXPECT_FALSE(file.Parse("REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"X\"=dword:1\r\n"));
  EXPECT_FALSE(file.Parse("[HKEY_CURRENT_USER\\A]\r\n\"X\"=dword:1\r\n"));
  EXPECT_FALSE(file.HasKey("HKEY_CURRENT_USER\\A"));
  EXPECT_FALSE(file.Parse(Utf16("Windows Registry Editor Version 5.00\r\n") + "x"));
  file.SetDword("HKEY_CURRENT_USER\\A", "X", 1);
  EXPECT_EQ("", file.Serialize());
}

TEST(RegFileTest, SetDwordChangesOnlyThatLine) {
  RegFile file;
  ASSERT_TRUE(file.Parse(kExport));
  file.SetDword(kKsvx, "scan", 2);
  std::string expected = kExport;
  expected.replace(expected.find("dword:0000000a"), 14, "dword:00000002");
  EXPECT_EQ(expected, file.Serialize());
  EXPECT_EQ(std::string("\2\0\0\0", 4), DataOf(file, kKsvx, "Scan"));
  // A value of another type becomes a DWORD in place, continuation lines and
  // all.
  file.SetDword(kKsvx, "Blob", 7);
  expected.replace(expected.find("hex:01"), 28, "dword:00000007");
  EXPECT_EQ(expected, file.Serialize());
}

TEST(RegFileTest, SetDwordAddsANewValueToItsSection) {
  RegFile file;
  ASSERT_TRUE(file.Parse(kExport));
  file.SetDword(kKsvx, "Neu \"1\"", 0x12345678);
  std::string expected = kExport;
  std::string after = "\"Empty\"=hex:\r\n";
  expected.insert(expected.find(after) + after.size(), "\"Neu \\\"1\\\"\"=dword:12345678\r\n");
  EXPECT_EQ(expected, file.Serialize());
  EXPECT_EQ(std::string("\x78\x56\x34\x12", 4), DataOf(file, kKsvx, "neu \"1\""));
}

TEST(RegFileTest, SetDwordAddsASectionForAKeyKnownOnlyByItsChildren) {
  RegFile file;
  const std::string text =
      "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\A\\B]\n\"X\"=dword:1";
  ASSERT_TRUE(file.Parse(text));
  file.SetDword("HKEY_CURRENT_USER\\A", "", 3);
  EXPECT_EQ(text + "\n\n[HKEY_CURRENT_USER\\A]\n@=dword:00000003\n", file.Serialize());
  EXPECT_EQ(std::string("\3\0\0\0", 4), DataOf(file, "HKEY_CURRENT_USER\\A", ""));
  EXPECT_EQ(std::string("\1\0\0\0", 4), DataOf(file, "HKEY_CURRENT_USER\\A\\B", "X"));
}

TEST(RegFileTest, KeepsTheEncodingItWasReadIn) {
  const std::string text =
      "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n"
      "\"S\"=\"\xC3\xA9t\xC3\xA9\"\r\n\"X\"=dword:00000001\r\n";
  std::string utf16 = "\xFF\xFE";
  for (char c : text) {
    if (c == '\xC3')
      continue;
    utf16 += c == '\xA9' ? '\xE9' : c;
    utf16 += '\0';
  }
  RegFile file;
  ASSERT_TRUE(file.Parse(utf16));
  EXPECT_EQ(std::string("\xC3\xA9t\xC3\xA9\0", 6), DataOf(file, "HKEY_CURRENT_USER\\A", "S"));
  file.SetDword("HKEY_CURRENT_USER\\A", "X", 2);
  std::string expected = utf16;
  expected[expected.size() - 6] = '2';
  EXPECT_EQ(expected, file.Serialize());

  ASSERT_TRUE(file.Parse("\xEF\xBB\xBF" + text));
  EXPECT_NE(nullptr, file.Find("HKEY_CURRENT_USER\\A", "X"));
  EXPECT_EQ("\xEF\xBB\xBF" + text, file.Serialize());
}

// Garbled versions of a good file must parse or not, never crash, and a
// value set in one must read back.
TEST(RegFileTest, SurvivesGarbledInput) {
  std::mt19937 random(20261209);
  const std::string base = kExport;
  const char noise[] = "[]\"\\=:,@-;\r\n\x00\xFF\xFE hexdword(2)0aZ";
  for (int round = 0; round < 1500; ++round) {
    std::string text = round % 2 ? base : Utf16(base);
    int edits = 1 + static_cast<int>(random() % 8);
    for (int e = 0; e < edits && !text.empty(); ++e) {
      std::size_t at = random() % text.size();
      char c = noise[random() % (sizeof noise - 1)];
      switch (random() % 3) {
        case 0:
          text[at] = c;
          break;
        case 1:
          text.insert(at, 1, c);
          break;
        default:
          text.erase(at, 1 + random() % 16);
      }
    }
    RegFile file;
    if (!file.Parse(text))
      continue;
    file.HasKey(kKsvx);
    file.Find(kKsvx, "Expand");
    file.SetDword(kKsvx, "Scan", 2);
    RegFile again;
    ASSERT_TRUE(again.Parse(file.Serialize()));
    const RegValue* scan = again.Find(kKsvx, "Scan");
    ASSERT_NE(nullptr, scan) << "round " << round;
    EXPECT_EQ(std::string("\2\0\0\0", 4), scan->data);
  }
}

}  // namespace
