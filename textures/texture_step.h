// The texture script step's helpers; the step itself is
// CInstaller::InstallTextures (engine/installer.h).
#ifndef PACKWRIGHT_TEXTURES_TEXTURE_STEP_H_
#define PACKWRIGHT_TEXTURES_TEXTURE_STEP_H_

#include <string>

// Kestrova's texture catalogue under its directory `host_dir`, which ends in
// a backslash.
std::string TextureCataloguePath(const std::string& host_dir);

// The texture text of a Texturskript entry: what follows its first ">>",
// laid out as the catalogue file lays out entries: a tab after every ")"
// and "{", a line feed and two tabs after every "}". False when the entry
// has no ">>".
bool BuildTextureText(const std::string& entry, std::string* text);

#endif  // PACKWRIGHT_TEXTURES_TEXTURE_STEP_H_
