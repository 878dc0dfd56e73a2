#include "res/string_table.h"

namespace {

const StringTableEntry kTable[] = {
#define PW_STRING(id, name, text) {id, text},
#include "res/strings.def"
#undef PW_STRING
};

}  // namespace

const StringTableEntry* StringTable(std::size_t* count) {
  *count = sizeof(kTable) / sizeof(kTable[0]);
  return kTable;
}

const char* BuiltInString(unsigned id) {
  for (const StringTableEntry& entry : kTable) {
    if (entry.id == id)
      return entry.text;
  }
  return nullptr;
}
