#include "textures/entry_table.h"

#include <algorithm>

namespace {
// Texts are packed into blocks of this size; a longer text gets a block of
// its own. Whole blocks are never copied, so the table grows without the
// doubling peaks of one large buffer.
const std::size_t kBlockSize = 1 << 20;
const std::uint64_t kMaxText = 0xFFFFFFFFu;
}  // namespace

void EntryTable::Clear() {
  blocks_.clear();
  blocks_.shrink_to_fit();
  sealed_.clear();
  sealed_.shrink_to_fit();
  added_.clear();
}

bool EntryTable::Append(std::uint32_t id, std::string_view text) {
  if (static_cast<std::uint64_t>(text.size()) > kMaxText ||
      static_cast<std::uint64_t>(blocks_.size()) >= kMaxText)
    return false;
  if (blocks_.empty() || blocks_.back().capacity() - blocks_.back().size() < text.size()) {
    blocks_.emplace_back();
    blocks_.back().reserve(std::max(kBlockSize, text.size()));
  }
  std::string& block = blocks_.back();
  Slot slot{id, static_cast<std::uint32_t>(blocks_.size() - 1),
            static_cast<std::uint32_t>(block.size()), static_cast<std::uint32_t>(text.size())};
  block += text;
  sealed_.push_back(slot);
  return true;
}

void EntryTable::Seal() {
  auto by_id = [](const Slot& a, const Slot& b) { return a.id < b.id; };
  // A catalogue that Packwright wrote is sorted already.
  if (!std::is_sorted(sealed_.begin(), sealed_.end(), by_id))
    std::stable_sort(sealed_.begin(), sealed_.end(), by_id);
  auto same_id = [](const Slot& a, const Slot& b) { return a.id == b.id; };
  sealed_.erase(std::unique(sealed_.begin(), sealed_.end(), same_id), sealed_.end());
}

const EntryTable::Slot* EntryTable::FindSealed(std::uint32_t id) const {
  auto it = std::lower_bound(sealed_.begin(), sealed_.end(), id,
                             [](const Slot& slot, std::uint32_t key) { return slot.id < key; });
  return it != sealed_.end() && it->id == id ? &*it : nullptr;
}

bool EntryTable::Insert(std::uint32_t id, const std::string& text) {
  if (FindSealed(id))
    return false;
  return added_.emplace(id, text).second;
}

bool EntryTable::Contains(std::uint32_t id) const {
  return FindSealed(id) || added_.count(id) > 0;
}

bool EntryTable::Find(std::uint32_t id, std::string* text) const {
  if (const Slot* slot = FindSealed(id)) {
    text->assign(TextOf(*slot));
    return true;
  }
  auto it = added_.find(id);
  if (it == added_.end())
    return false;
  *text = it->second;
  return true;
}

bool EntryTable::Remove(std::uint32_t id) {
  if (const Slot* slot = FindSealed(id)) {
    // The text stays in its block until the table is cleared.
    sealed_.erase(sealed_.begin() + (slot - sealed_.data()));
    return true;
  }
  return added_.erase(id) > 0;
}
