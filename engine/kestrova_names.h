// The names of the files and sections that Packwright and Kestrova agree on.
#ifndef PACKWRIGHT_ENGINE_KESTROVA_NAMES_H_
#define PACKWRIGHT_ENGINE_KESTROVA_NAMES_H_

// The installation script, in the package's folder.
constexpr char kScriptFileName[] = "InstSkript.txt";
// The script's section of files to copy.
constexpr char kFileSection[] = "Dateinstallation";
// The script's section of texture entries.
constexpr char kTextureSection[] = "Texturskript";
// Kestrova's texture catalogue, relative to Kestrova's folder.
constexpr char kCataloguePath[] = "Resourcen\\Parallels\\Texturen.txt";

#endif  // PACKWRIGHT_ENGINE_KESTROVA_NAMES_H_
