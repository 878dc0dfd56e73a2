#include "textures/entry_table.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<std::pair<std::uint32_t, std::string>> List(const EntryTable& table) {
  std::vector<std::pair<std::uint32_t, std::string>> list;
  table.ForEach([&](std::uint32_t id, std::string_view text) { list.emplace_back(id, text); });
  return list;
}

}  // namespace

TEST(EntryTableTest, InsertedEntriesMergeInOrderAndNeverReplace) {
  EntryTable table;
  table.Append(10, "ten");
  table.Append(30, "thirty");
  table.Seal();
  EXPECT_FALSE(table.Insert(10, "other ten"));
  EXPECT_TRUE(table.Insert(20, "twenty"));
  EXPECT_FALSE(table.Insert(20, "other twenty"));
  EXPECT_TRUE(table.Insert(40, "forty"));
  EXPECT_TRUE(table.Insert(1, "one"));
  EXPECT_EQ((std::vector<std::pair<std::uint32_t, std::string>>{
                {1, "one"}, {10, "ten"}, {20, "twenty"}, {30, "thirty"}, {40, "forty"}}),
            List(table));
  std::string text;
  EXPECT_TRUE(table.Find(20, &text));
  EXPECT_EQ("twenty", text);
  EXPECT_TRUE(table.Find(30, &text));
  EXPECT_EQ("thirty", text);
  EXPECT_FALSE(table.Find(25, &text));
  EXPECT_TRUE(table.Contains(40));
  EXPECT_FALSE(table.Contains(0));
}

TEST(EntryTableTest, FirstOfAnIdStaysInALargeUnsortedTable) {
  // Large enough that the sort leaves small-range insertion behind.
  EntryTable table;
  for (std::uint32_t id = 40; id >= 1; --id) {
    table.Append(id, "first " + std::to_string(id));
    if (id % 3 == 0)
      table.Append(id, "later " + std::to_string(id));
  }
  table.Append(20, "last 20");
  table.Seal();
  ASSERT_EQ(40u, table.size());
  std::uint32_t want = 1;
  for (const auto& [id, text] : List(table)) {
    EXPECT_EQ(want, id);
    EXPECT_EQ("first " + std::to_string(want++), text);
  }
}

TEST(EntryTableTest, TextsSpanningBlocksStayIntact) {
  EntryTable table;
  std::string big(3 << 20, 'x');
  big.back() = '}';
  std::vector<std::pair<std::uint32_t, std::string>> expected;
  for (std::uint32_t id = 1; id <= 5000; ++id) {
    std::string text =
        id == 2500 ? big : "Textur{" + std::to_string(id) + std::string(id % 300, 'y');
    table.Append(id, text);
    expected.emplace_back(id, text);
  }
  table.Seal();
  EXPECT_EQ(expected, List(table));
  table.Clear();
  EXPECT_EQ(0u, table.size());
  EXPECT_TRUE(List(table).empty());
}
