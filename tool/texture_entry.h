// What the texture step makes of one Texturskript entry, for explaining it.
#ifndef PACKWRIGHT_TOOL_TEXTURE_ENTRY_H_
#define PACKWRIGHT_TOOL_TEXTURE_ENTRY_H_

#include <cstdint>
#include <string>

// The id under which the catalogue would file `entry`: that of the first
// "id(" in the span from the first "Textur" after the entry's first ">>" to
// its last "}". False when the entry has no ">>" or no such span or id.
bool TextureIdOf(const std::string& entry, std::uint32_t* id);

#endif  // PACKWRIGHT_TOOL_TEXTURE_ENTRY_H_
