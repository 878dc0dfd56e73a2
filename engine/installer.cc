#include "engine/installer.h"

#include "engine/messages.h"
#include "engine/reg_key_path.h"

namespace {

const char kHostKeyPath[] = "Software\\Brindlewood\\KSVX";
const char kScriptName[] = "\\InstSkript.txt";

// Stands in when a run is given no progress interface.
class NullProgress : public IInstallProgress {
 public:
  bool SetRange(int, int) override { return true; }
  void GetRange(int* lower, int* upper) override { *lower = *upper = 0; }
  bool SetPos(int) override { return true; }
  int GetPos() override { return 0; }
  int OffsetPos(int) override { return 0; }
  int SetStep(int) override { return 0; }
  int StepIt() override { return 0; }
  bool SetStatusText1(const std::string&) override { return true; }
  bool SetStatusText2(const std::string&) override { return true; }
  bool SetStatusText3(const std::string&) override { return true; }
};

}  // namespace

CInstaller::CInstaller(Platform& platform) : script(platform.files), platform_(platform) {
  LookUpHost();
}

long CInstaller::Run(IInstallProgress* progress) {
  NullProgress none;
  if (!progress)
    progress = &none;
  progress->SetRange(0, 4);
  progress->SetPos(0);
  std::string module = platform_.shell.ModulePath();
  std::string::size_type slash = module.rfind('\\');
  scriptDir = slash == std::string::npos ? std::string() : module.substr(0, slash);
  progress->SetPos(1);
  // A module path without a directory cannot name the package folder, so no
  // script is looked for then.
  if (slash == std::string::npos || !script.CheckOpen(scriptDir + kScriptName)) {
    ShowMessage(platform_.shell, IDS_SCRIPT_MISSING, kMbOk);
    return kInstallFailed;
  }
  long result = 0;
  progress->SetPos(2);
  if (!InstallFiles())
    result = kInstallFailed;
  progress->SetPos(3);
  if (!InstallTextures())
    result = kInstallFailed;
  progress->SetPos(4);
  UpdateScan();
  return result;
}

void CInstaller::LookUpHost() {
  CRegKeyPath key(platform_.registry);
  std::string app_path;
  if (key.SetPath(kHkeyClassesRoot, kHostKeyPath) && key.Open(kKeyRead) &&
      key.ReadString("AppPath", &app_path)) {
    // A value without any backslash names no directory at all; Kestrova
    // then counts as not found rather than guessing a relative path.
    std::string::size_type slash = app_path.rfind('\\');
    if (slash != std::string::npos)
      hostDir = app_path.substr(0, slash + 1);
  }
  key.Close();
}

bool CInstaller::UpdateScan() {
  CRegKeyPath key(platform_.registry);
  if (!key.SetPath(kHkeyClassesRoot, kHostKeyPath) || !key.Open(kKeyAllAccess))
    return false;
  std::uint32_t scan = 0;
  bool wrote = false;
  if (key.ReadDword("Scan", &scan) && scan != 1)
    wrote = key.WriteDword("Scan", 2);
  key.Close();
  return wrote;
}
