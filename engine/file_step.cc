#include "engine/installer.h"

// Placeholder until the file installation step lands.
bool CInstaller::InstallFiles() { return true; }
