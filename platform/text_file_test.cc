#include "platform/text_file.h"

#include <gtest/gtest.h>

#include "platform/fake_platform.h"

namespace {

std::string ReadAll(FakeFileSystem& fs, const std::string& path) {
  std::string text;
  EXPECT_TRUE(ReadTextFile(fs, path, &text));
  return text;
}

}  // namespace

TEST(TextReaderTest, CrLfReadsAsLfAndLoneCrStays) {
  FakeFileSystem fs;
  fs.AddFile("C:\\t.txt", "a\r\nb\rc\r\r\nd\r");
  EXPECT_EQ("a\nb\rc\r\nd\r", ReadAll(fs, "C:\\t.txt"));
}

TEST(TextReaderTest, CtrlZEndsTheInput) {
  FakeFileSystem fs;
  fs.AddFile("C:\\t.txt",
             "ab\x1a"
             "cd");
  fs.AddFile("C:\\u.txt", "ab\x1a\r\n \t");
  std::string err;
  TextReader cut(fs.OpenRead("C:\\t.txt", &err));
  char c;
  EXPECT_TRUE(cut.Get(&c));
  EXPECT_TRUE(cut.Get(&c));
  EXPECT_FALSE(cut.Get(&c));
  EXPECT_TRUE(cut.CutShortByCtrlZ());
  TextReader trailing(fs.OpenRead("C:\\u.txt", &err));
  while (trailing.Get(&c)) {
  }
  EXPECT_FALSE(trailing.CutShortByCtrlZ());
}

TEST(TextReaderTest, PiecesKeepLineEndsAndStopAtCtrlZ) {
  FakeFileSystem fs;
  std::string data(64 * 1024, 'x');
  data +=
      "a\r\nb\x1a"
      "c";
  fs.AddFile("C:\\t.txt", data);
  std::string err;
  TextReader reader(fs.OpenRead("C:\\t.txt", &err));
  std::string text;
  std::string_view piece;
  while (reader.ReadPiece(&piece))
    text.append(piece);
  EXPECT_EQ(data.substr(0, data.size() - 2), text);
  EXPECT_TRUE(reader.CutShortByCtrlZ());
  EXPECT_FALSE(reader.failed());
}

TEST(TextReaderTest, CrLfSplitAcrossBuffersStillJoins) {
  FakeFileSystem fs;
  std::string data(64 * 1024 - 1, 'x');
  data += "\r\ny";
  fs.AddFile("C:\\big.txt", data);
  std::string text = ReadAll(fs, "C:\\big.txt");
  EXPECT_EQ(64u * 1024 + 1, text.size());
  EXPECT_EQ("x\ny", text.substr(text.size() - 3));
}

TEST(TextReaderTest, ReadErrorEndsInputAndIsReported) {
  FakeFileSystem fs;
  fs.AddFile("C:\\t.txt", "abc");
  fs.FailMatching("Read", "t.txt");
  std::string text;
  EXPECT_FALSE(ReadTextFile(fs, "C:\\t.txt", &text));
}

TEST(TextWriterTest, WritesLfAsCrLf) {
  FakeFileSystem fs;
  fs.AddDir("C:\\d");
  std::string err;
  TextWriter writer(fs.CreateWrite("C:\\d\\out.txt", &err));
  writer.Write("Basis{\n\tx\n}");
  EXPECT_TRUE(writer.Finish());
  EXPECT_EQ("Basis{\r\n\tx\r\n}", fs.Content("C:\\d\\out.txt"));
  std::string line(40 * 1024, 'y');
  TextWriter big(fs.CreateWrite("C:\\d\\big.txt", &err));
  for (int i = 0; i < 3; ++i)
    big.Write(line + "\n");
  EXPECT_TRUE(big.Finish());
  EXPECT_EQ(line + "\r\n" + line + "\r\n" + line + "\r\n", fs.Content("C:\\d\\big.txt"));
  EXPECT_EQ(0, fs.open_files());
}

TEST(TextWriterTest, FailedFlushOrCloseIsReported) {
  for (const char* op : {"Write", "Flush", "Close"}) {
    FakeFileSystem fs;
    fs.AddDir("C:\\d");
    fs.FailMatching(op, "out.txt");
    std::string err;
    TextWriter writer(fs.CreateWrite("C:\\d\\out.txt", &err));
    writer.Write("abc\n");
    EXPECT_FALSE(writer.Finish()) << op;
    EXPECT_EQ(0, fs.open_files());
  }
}
