#include "platform/xxhash64.h"

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

// Published vectors: the xxHash reference and its Python binding's docs.
TEST(Xxh64Test, MatchesPublishedVectors) {
  struct {
    std::string text;
    std::uint64_t seed, hash;
  } cases[] = {
      {"", 0, 0xEF46DB3751D8E999ULL},
      {"a", 0, 0xD24EC4F1A98C6E5BULL},
      {"abc", 0, 0x44BC2CF5AD770999ULL},
      {"Nobody inspects the spammish repetition", 0, 0xFBCEA83C8A378BF1ULL},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.hash, Xxh64::Of(c.text.data(), c.text.size(), c.seed)) << c.text;
}

// A copy feeds the hash whatever its reads return, so every split of the
// same bytes, across the 32-byte stripes and the tail, gives one digest.
TEST(Xxh64Test, AnySplitGivesTheWholeDigest) {
  std::string data;
  for (int i = 0; i < 1000; ++i)
    data += static_cast<char>(i * 131 + (i >> 3));
  for (std::size_t len : {0u, 3u, 31u, 32u, 33u, 64u, 100u, 999u, 1000u}) {
    std::uint64_t whole = Xxh64::Of(data.data(), len);
    for (std::size_t step : {1u, 7u, 32u, 33u, 500u}) {
      Xxh64 hash;
      for (std::size_t at = 0; at < len; at += step)
        hash.Update(data.data() + at, std::min(step, len - at));
      EXPECT_EQ(whole, hash.Digest()) << len << " by " << step;
    }
  }
}
