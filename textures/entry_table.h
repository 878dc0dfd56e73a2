// EntryTable is the catalogue's ordered map from texture id to entry text,
// kept compact because Kestrova's catalogue can hold a million entries:
// the texts lie back to back in large blocks, and each entry costs 16 bytes
// besides its text. Entries read from a file are appended in file order and
// sorted once by Seal(); entries inserted afterwards go to a small ordered
// map of their own. Either way the first text stored under an id stays.
#ifndef PACKWRIGHT_TEXTURES_ENTRY_TABLE_H_
#define PACKWRIGHT_TEXTURES_ENTRY_TABLE_H_

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

class EntryTable {
 public:
  // Removes every entry.
  void Clear();

  // Appends an entry while a file is read; duplicate ids are settled by
  // Seal(). False (nothing stored) when the text is too long to be held.
  bool Append(std::uint32_t id, std::string_view text);
  // Sorts the appended entries by id; of several with one id the first
  // appended stays. Call once after the last Append.
  void Seal();

  // Inserts after Seal() unless the id is present; true when inserted.
  bool Insert(std::uint32_t id, const std::string& text);
  // Removes the entry of `id`; false when there is none.
  bool Remove(std::uint32_t id);
  bool Contains(std::uint32_t id) const;
  // The text stored under `id` in `*text`; false when there is none.
  bool Find(std::uint32_t id, std::string* text) const;
  std::size_t size() const { return sealed_.size() + added_.size(); }

  // Calls visit(id, text) for every entry in ascending unsigned id order.
  template <typename Visit>
  void ForEach(Visit visit) const;

 private:
  struct Slot {
    std::uint32_t id;
    std::uint32_t block;
    std::uint32_t offset;
    std::uint32_t size;
  };

  std::string_view TextOf(const Slot& slot) const {
    return std::string_view(blocks_[slot.block].data() + slot.offset, slot.size);
  }
  const Slot* FindSealed(std::uint32_t id) const;

  std::vector<std::string> blocks_;
  std::vector<Slot> sealed_;
  std::map<std::uint32_t, std::string> added_;
};

template <typename Visit>
void EntryTable::ForEach(Visit visit) const {
  auto slot = sealed_.begin();
  auto add = added_.begin();
  while (slot != sealed_.end() || add != added_.end()) {
    if (add == added_.end() || (slot != sealed_.end() && slot->id < add->first)) {
      visit(slot->id, TextOf(*slot));
      ++slot;
    } else {
      visit(add->first, std::string_view(add->second));
      ++add;
    }
  }
}

#endif  // PACKWRIGHT_TEXTURES_ENTRY_TABLE_H_
