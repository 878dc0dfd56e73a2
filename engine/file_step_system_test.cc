// The file step against the running system's file system: directory
// searches with wildcards, the copy and its replacement, times and the
// read-only attribute as the system really has them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/installer.h"
#include "engine/messages.h"
#include "engine/safe_copy.h"
#include "platform/code_page.h"
#include "platform/fake_platform.h"
#include "platform/test_dir.h"

namespace {

const std::uint64_t kOld = 132223104000000000ULL;  // 2020-01-01, as FILETIME
const std::uint64_t kDay = 864000000000ULL;

class FileStepSystemTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.path().empty());
    fake_.shell.language = 0x0409;
    for (const char* sub : {"Paket", "Paket\\Dateien", "Sim", "Sim\\Resourcen"})
      ASSERT_TRUE(TestMakeDir(At(sub))) << sub;
    Write("Paket\\a.dat", "package a", kOld + kDay);
    Write("Paket\\b.dat", "package b", kOld + kDay);
    Write("Sim\\Resourcen\\b.dat", "read-only b", kOld);
    ASSERT_TRUE(TestSetReadOnly(At("Sim\\Resourcen\\b.dat"), true));
    Write("Sim\\Resourcen\\w.dat", "existing w", kOld);
    Write("Sim\\Resourcen\\newer.dat", "newer", kOld + 2 * kDay);
    Write("outside.dat", "outside", kOld);
    ASSERT_TRUE(TestWriteFile(At("Paket\\InstSkript.txt"),
                              "Dateinstallation\r\n{\r\n"
                              "{a.dat>>Resourcen\\Neu\\Tief\\a.dat}\r\n"
                              "{b.dat>>Resourcen\\b.dat}\r\n"
                              "{*.dat>>Resourcen\\w.dat}\r\n"
                              "{Dateien>>Resourcen\\d.dat}\r\n"
                              "{a.dat>>..\\outside.dat}\r\n"
                              "{a.dat>>Resourcen\\newer.dat}\r\n"
                              "{fehlt.dat>>Resourcen\\f.dat}\r\n}\r\n"));
  }
  void TearDown() override { files_.SetNormalAttributes(At("Sim\\Resourcen\\b.dat")); }

  std::string At(const std::string& name) const { return dir_.path() + "\\" + name; }
  void Write(const std::string& name, const std::string& data, std::uint64_t time) {
    ASSERT_TRUE(TestWriteFile(At(name), data)) << name;
    ASSERT_TRUE(TestSetWriteTime(At(name), time)) << name;
  }
  std::string Content(const std::string& name) const {
    std::string data;
    return TestReadFile(At(name), &data) ? data : "-";
  }

  bool Install() {
    fake_.shell.boxes.clear();
    CInstaller installer(platform_);
    installer.hostDir = At("Sim\\");
    installer.scriptDir = At("Paket");
    EXPECT_TRUE(installer.script.CheckOpen(At("Paket\\InstSkript.txt")));
    return installer.InstallFiles();
  }
  std::vector<std::string> Boxes() {
    std::vector<std::string> texts;
    for (const FakeShell::Box& box : fake_.shell.boxes)
      texts.push_back(box.text);
    return texts;
  }
  std::string Text(unsigned id, const std::vector<std::string>& args) {
    return FormatLocalized(fake_.shell, id, args);
  }

  ScopedTempDir dir_;
  FakePlatform fake_;
  FileSystem& files_ = SystemPlatform().files;
  Platform platform_{files_, fake_.registry, fake_.shell};
};

TEST_F(FileStepSystemTest, InstallsAPackageTwice) {
  std::string a = At("Paket\\a.dat"), wild = At("Paket\\*.dat"), dir = At("Paket\\Dateien");
  std::string b_dest = At("Sim\\Resourcen\\b.dat"), w_dest = At("Sim\\Resourcen\\w.dat");
  std::string newer = At("Sim\\Resourcen\\newer.dat");
  fake_.shell.answers = {kIdOk, kIdYes, kIdOk, kIdOk, kIdNo};
  EXPECT_FALSE(Install());
  EXPECT_EQ(
      (std::vector<std::string>{
          Text(IDS_COPY_FAILED, {At("Paket\\b.dat"), b_dest}), Text(IDS_KEEP_NEWER, {w_dest, wild}),
          Text(IDS_COPY_FAILED, {dir, At("Sim\\Resourcen\\d.dat")}),
          Text(IDS_COPY_FAILED, {a, At("Sim\\..\\outside.dat")}), Text(IDS_KEEP_NEWER, {newer, a}),
          Text(IDS_SOURCE_MISSING, {At("Paket\\fehlt.dat")})}),
      Boxes());
  EXPECT_EQ("package a", Content("Sim\\Resourcen\\Neu\\Tief\\a.dat"));
  EXPECT_EQ("read-only b", Content("Sim\\Resourcen\\b.dat"));
  EXPECT_FALSE(files_.IsReadOnly(b_dest));
  EXPECT_EQ("existing w", Content("Sim\\Resourcen\\w.dat"));
  EXPECT_EQ("-", Content("Sim\\Resourcen\\d.dat"));
  EXPECT_EQ("outside", Content("outside.dat"));
  EXPECT_EQ("package a", Content("Sim\\Resourcen\\newer.dat"));
  EXPECT_FALSE(files_.Exists(At("Sim\\Resourcen\\*") + kReplaceTempSuffix));

  // The second run replaces the file whose read-only flag was cleared, and
  // finds the copied file's time equal to its source's, so asks nothing.
  EXPECT_FALSE(Install());
  EXPECT_EQ((std::vector<std::string>{Text(IDS_KEEP_NEWER, {w_dest, wild}),
                                      Text(IDS_COPY_FAILED, {dir, At("Sim\\Resourcen\\d.dat")}),
                                      Text(IDS_COPY_FAILED, {a, At("Sim\\..\\outside.dat")}),
                                      Text(IDS_SOURCE_MISSING, {At("Paket\\fehlt.dat")})}),
            Boxes());
  EXPECT_EQ("package b", Content("Sim\\Resourcen\\b.dat"));
  EXPECT_EQ("package a", Content("Sim\\Resourcen\\newer.dat"));
  EXPECT_FALSE(files_.Exists(At("Sim\\Resourcen\\*") + kReplaceTempSuffix));
  EXPECT_FALSE(files_.Exists(At("Sim\\Resourcen\\Neu\\Tief\\*") + kReplaceTempSuffix));
}

// The script names "Brücke.ksm" in the ANSI code page (the byte 0xFC); the
// package's file is named in Unicode, as Windows keeps names. Names that
// differ only in case are one file, as on Windows and under Wine.
TEST_F(FileStepSystemTest, ScriptNamesAreCodePageTextAndIgnoreCase) {
  const std::string bruecke =
      "Br\xC3\xBC"
      "cke.ksm";
  Write("Paket\\" + bruecke, "package br", kOld + kDay);
  ASSERT_TRUE(TestMakeDir(At("Sim\\Modelle")));
  ASSERT_TRUE(TestWriteFile(At("Paket\\InstSkript.txt"),
                            "Dateinstallation\r\n{\r\n"
                            "{Br\xFC"
                            "cke.ksm>>Modelle\\Neu\\Br\xFC"
                            "cke.ksm}\r\n"
                            "{b.dat>>modelle\\NEU\\BR\xDC"
                            "CKE.KSM}\r\n}\r\n"));
  ASSERT_TRUE(SetAnsiCodePage(1252));
  EXPECT_TRUE(Install());
  SetAnsiCodePage(0);
  EXPECT_TRUE(Boxes().empty());
  std::vector<std::string> names;
  ASSERT_TRUE(files_.ListDirectory(At("Sim\\Modelle"), &names));
  EXPECT_EQ(std::vector<std::string>{"Neu"}, names);
  ASSERT_TRUE(files_.ListDirectory(At("Sim\\Modelle\\Neu"), &names));
  EXPECT_EQ(std::vector<std::string>{bruecke}, names);
  EXPECT_EQ("package b", Content("Sim\\Modelle\\Neu\\" + bruecke));
}

}  // namespace
