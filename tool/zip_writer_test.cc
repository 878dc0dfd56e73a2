#include "tool/zip_writer.h"

#include <gtest/gtest.h>

#include "platform/dos_time.h"

namespace {

class StringFile : public OutputFile {
 public:
  bool Write(const char* data, std::size_t size) override {
    bytes.append(data, size);
    return true;
  }
  bool Flush() override { return true; }
  bool StampFrom(InputFile&, std::uint64_t*) override { return false; }
  bool Close() override { return true; }
  std::string bytes;
};

}  // namespace

TEST(ZipWriterTest, Crc32MeetsItsCheckValueInAnySplit) {
  const char text[] = "123456789";
  EXPECT_EQ(0xCBF43926u, Crc32(0, text, 9));
  for (std::size_t cut = 0; cut <= 9; ++cut)
    EXPECT_EQ(0xCBF43926u, Crc32(Crc32(0, text, cut), text + cut, 9 - cut)) << cut;
}

TEST(ZipWriterTest, RefusesWhatAZipWithoutItsExtensionCannotHoldOrBytesThatDoNotAddUp) {
  StringFile out;
  ZipWriter zip(out);
  EXPECT_FALSE(zip.Begin("Paket/big.dat", 0, 0, 0xFFFFFFFFull));
  EXPECT_NE(std::string::npos, zip.error().find("4 GiB")) << zip.error();

  ZipWriter short_entry(out);
  ASSERT_TRUE(short_entry.Begin("Paket/a.dat", 0, 0, 4));
  ASSERT_TRUE(short_entry.Write("abc", 3));
  EXPECT_FALSE(short_entry.Finish());
  ZipWriter long_entry(out);
  ASSERT_TRUE(long_entry.Begin("Paket/a.dat", 0, 0, 2));
  EXPECT_FALSE(long_entry.Write("abc", 3));
  EXPECT_EQ("'Paket/a.dat' changed while it was packed", long_entry.error());
}

TEST(DosTimeTest, KeepsEvenSecondsAndClampsToWhatDosHolds) {
  struct Case {
    CalendarTime time;
    std::uint32_t dos;
  };
  const Case cases[] = {
      {{2026, 12, 9, 19, 44, 53}, (46u << 9 | 12 << 5 | 9) << 16 | (19u << 11 | 44 << 5 | 26)},
      {{1980, 1, 1, 0, 0, 1}, (1u << 5 | 1) << 16},
      {{1969, 12, 31, 23, 59, 59}, (1u << 5 | 1) << 16},
      {{2108, 1, 1, 0, 0, 0}, (127u << 9 | 12 << 5 | 31) << 16 | (23u << 11 | 59 << 5 | 29)},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.dos, DosTimeOf(c.time)) << c.time.year;
}
