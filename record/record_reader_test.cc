// Reading records that were edited, damaged or written elsewhere.
#include "record/record_reader.h"

#include <gtest/gtest.h>

#include "engine/install_record.h"
#include "platform/fake_file_system.h"

namespace {

const char kHost[] = "D:\\Sim\\";
const char kRecord[] = "D:\\Sim\\Packwright\\0001\\Record.txt";
const char kSum[] = "0000000000000000";

std::string Header(const char* version = "2", const char* eol = "\n") {
  return std::string("packwright-record\t") + version + eol + "package\tPaket\t-" + eol +
         "kind\tinstall" + eol;
}

// Every line that names a path, with `path` (escaped as on record) in it.
std::string PathLines(const std::string& path) {
  std::string sum = std::string("\t1\t") + kSum + "\n";
  return "make-folder\t" + path + "\nfolder-removed\t" + path + "\ncreate\t" + path + sum +
         "replace\t" + path + "\t1.bak\t0" + sum + "remove\t" + path + "\t2.bak\t0" + sum +
         "attributes\t" + path + "\t0\ncatalogue\t" + path + "\t3.bak" + sum;
}

TEST(RecordReaderTest, PathsThatLeaveKestrovaAreRefusedWhole) {
  const char* const kOutside[] = {"..%00",
                                  "X%00",
                                  "Modelle\\a%00b",
                                  "a%1B[2Jb",
                                  "a%0Ab",
                                  "%2E%2E\\x",
                                  "...\\x",
                                  ".. \\x",
                                  "Modelle\\..\\..\\x",
                                  "M\\...\\..\\x",
                                  "C:\\x",
                                  "%5C%5Csrv\\share\\x",
                                  "\\\\srv\\s\\x",
                                  "Modelle/../../x",
                                  "..",
                                  "",
                                  "a%7Fb"};
  for (const char* path : kOutside) {
    SCOPED_TRACE(path);
    FakeFileSystem files;
    files.AddFile(kRecord, Header() + PathLines(path));
    RunRecord record;
    ASSERT_TRUE(ReadRunRecord(files, kHost, 1, &record));
    EXPECT_TRUE(record.files.empty());
    EXPECT_TRUE(record.folders_made.empty());
    EXPECT_TRUE(record.folders_removed.empty());
    EXPECT_FALSE(record.catalogue.present);
  }
  FakeFileSystem files;
  files.AddFile(kRecord, Header() + PathLines("Modelle\\Neu\\..\\a.ksm"));
  RunRecord record;
  ASSERT_TRUE(ReadRunRecord(files, kHost, 1, &record));
  EXPECT_EQ(4u, record.files.size());
  EXPECT_EQ("D:\\Sim\\Modelle\\Neu\\..\\a.ksm", record.folders_made.at(0));
}

TEST(RecordReaderTest, LineEndsVersionsAndLongLines) {
  struct Case {
    std::string text;
    bool readable;
    std::size_t files;
  };
  std::string create = std::string("create\ta.ksm\t1\t") + kSum;
  const Case cases[] = {
      {Header("1") + create + "\n", true, 1},
      {Header("2") + create + "\n", true, 1},
      {Header("2", "\r\n") + create + "\r\n", true, 1},
      {Header("3") + create + "\n", false, 0},
      {Header() + create, true, 0},
      {Header() + "kind\t" + std::string(64 * 1024 - 5, 'x') + "\n" + create + "\n", true, 1},
      {Header() + "kind\t" + std::string(64 * 1024 - 4, 'x') + "\n" + create + "\n", false, 0},
      {Header() + create + "\n" + std::string(1 << 20, 'x'), false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 60));
    FakeFileSystem files;
    files.AddFile(kRecord, c.text);
    RunRecord record;
    ASSERT_EQ(c.readable, ReadRunRecord(files, kHost, 1, &record));
    if (c.readable) {
      EXPECT_EQ(c.files, record.files.size());
    }
  }
}

TEST(RecordReaderTest, NumbersPassOverFoldersThatDoNotReadBack) {
  struct Case {
    std::vector<const char*> folders;
    const char* next;
  };
  const Case cases[] = {
      {{}, "0001"},
      {{"0001", "0007", "00009", "Lock", "12x"}, "0008"},
      {{"999999999"}, "0001"},
      {{"0001", "0002", "0004", "999999999"}, "0003"},
  };
  for (const Case& c : cases) {
    FakeFileSystem files;
    files.AddDir("D:\\Sim\\Packwright");
    for (const char* folder : c.folders)
      files.AddDir(std::string("D:\\Sim\\Packwright\\") + folder);
    CInstallRecord record(files, kHost);
    ASSERT_TRUE(record.Begin("install", "Paket", "-", "now"));
    ASSERT_TRUE(record.Finish("ok"));
    EXPECT_EQ(std::string("D:\\Sim\\Packwright\\") + c.next, record.folder());
    unsigned number = 0;
    ASSERT_TRUE(ParseRecordNumber(c.next, &number));
    int read = 0;
    for (const RunRecord& run : ReadRecords(files, kHost))
      read += run.unreadable ? 0 : run.number == number ? 1 : 100;
    EXPECT_EQ(1, read);
  }
}

}  // namespace
