// The message texts compiled into the program, in UTF-8. They serve the
// POSIX build and the test fakes; on Windows the program loads the same
// texts from its STRINGTABLE resource.
#ifndef PACKWRIGHT_RES_STRING_TABLE_H_
#define PACKWRIGHT_RES_STRING_TABLE_H_

#include <cstddef>

struct StringTableEntry {
  unsigned id;
  const char* text;
};

// All 92 entries, in the order of the table file.
const StringTableEntry* StringTable(std::size_t* count);

// The text of `id`, or null when the table has none.
const char* BuiltInString(unsigned id);

#endif  // PACKWRIGHT_RES_STRING_TABLE_H_
