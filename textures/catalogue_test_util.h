// Test helpers for the texture catalogue.
#ifndef PACKWRIGHT_TEXTURES_CATALOGUE_TEST_UTIL_H_
#define PACKWRIGHT_TEXTURES_CATALOGUE_TEST_UTIL_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "textures/texture_catalogue.h"

using EntryList = std::vector<std::pair<std::uint32_t, std::string>>;

// Every entry of `catalogue`, in the order Save writes them.
inline EntryList ListEntries(const CTextureCatalogue& catalogue) {
  EntryList list;
  catalogue.entries().ForEach(
      [&](std::uint32_t id, std::string_view text) { list.emplace_back(id, std::string(text)); });
  return list;
}

#endif  // PACKWRIGHT_TEXTURES_CATALOGUE_TEST_UTIL_H_
