#include "engine/installer.h"

// Placeholder until the texture script step lands.
bool CInstaller::InstallTextures() { return true; }
