// The texture script step is CInstaller::InstallTextures (engine/installer.h);
// this is the one piece of it that others need to see.
#ifndef PACKWRIGHT_TEXTURES_TEXTURE_STEP_H_
#define PACKWRIGHT_TEXTURES_TEXTURE_STEP_H_

#include <string>

// The texture text of a Texturskript entry: what follows its first ">>",
// laid out as the catalogue file lays out entries: a tab after every ")"
// and "{", a line feed and two tabs after every "}". False when the entry
// has no ">>".
bool BuildTextureText(const std::string& entry, std::string* text);

#endif  // PACKWRIGHT_TEXTURES_TEXTURE_STEP_H_
