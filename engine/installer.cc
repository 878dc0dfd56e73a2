#include "engine/installer.h"

#include <vector>

#include "engine/checksum.h"
#include "engine/install_record.h"
#include "engine/kestrova_names.h"
#include "engine/messages.h"
#include "engine/package_identity.h"
#include "engine/reg_key_path.h"
#include "engine/run_lock.h"
#include "engine/seal.h"
#include "platform/paths.h"
#include "res/resource.h"

namespace {

const char kHostKeyPath[] = "Software\\Brindlewood\\KSVX";

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

// The package folder: `given` when the caller named one, else the running
// program's folder; empty when the program's path holds no directory.
std::string PackageFolder(Shell& shell, const std::string& given) {
  return given.empty() ? DirectoryOf(shell.ModulePath()) : given;
}

}  // namespace

CInstaller::CInstaller(Platform& platform) : script(platform.files), platform_(platform) {
  LookUpHost();
}

long CInstaller::Run(IInstallProgress* progress) {
  // An empty hostDir would turn every destination into a relative path.
  if (!IsHostFound())
    return Ended(RunOutcome::kNoHost, kInstallFailed);
  NullProgress none;
  if (!progress)
    progress = &none;
  progress->SetRange(0, 4);
  progress->SetPos(0);
  scriptDir = PackageFolder(platform_.shell, packageDir);
  progress->SetPos(1);
  // A module path without a directory cannot name the package folder, so no
  // script is looked for then.
  if (scriptDir.empty() || !script.CheckOpen(scriptDir + "\\" + kScriptFileName)) {
    Tell(IDS_SCRIPT_MISSING);
    return Ended(RunOutcome::kScriptMissing, kInstallFailed);
  }
  events().RunStarted(scriptDir, hostDir);
  SealVerdict seal = VerifySeal(platform_.files, scriptDir, kScriptFileName);
  if (seal.state == SealVerdict::kDamaged) {
    damagedFile = seal.file;
    Tell(IDS_PACKAGE_DAMAGED, {seal.file});
    return Ended(RunOutcome::kPackageDamaged, kInstallFailed);
  }
  long result = 0;
  progress->SetPos(2);
  std::unique_ptr<FileLock> lock;
  std::string err;
  LockResult locked =
      keepRecord ? LockRuns(platform_.files, hostDir, lockWait, &lock, &err) : LockResult::kLocked;
  CInstallRecord run_record(platform_.files, hostDir);
  if (locked == LockResult::kBusy) {
    script.Close();
    Tell(IDS_INSTALL_BUSY);
    return Ended(RunOutcome::kBusy, kInstallFailed);
  }
  if (locked == LockResult::kFailed || (keepRecord && !BeginRecord(&run_record))) {
    script.Close();
    std::string unwritable = locked == LockResult::kFailed
                                 ? UnwritableForLock(platform_.files, hostDir)
                                 : run_record.unwritable();
    std::string folder =
        run_record.folder().empty() ? hostDir + kRecordsFolder : run_record.folder();
    events().RecordFailed(folder);
    if (!unwritable.empty())
      Tell(IDS_HOST_NOT_WRITABLE, {unwritable});
    else
      Tell(IDS_RECORD_FAILED, {folder});
    return Ended(RunOutcome::kRecordFailed, kInstallFailed);
  }
  record = keepRecord ? &run_record : nullptr;
  if (record)
    events().RecordBegun(run_record.folder());
  if (!InstallFiles())
    result = kInstallFailed;
  progress->SetPos(3);
  if (!InstallTextures())
    result = kInstallFailed;
  progress->SetPos(4);
  if (setScan && UpdateScan(platform_.registry, record))
    events().ScanSet(2);
  if (record && (!record->Finish(result == 0 ? "ok" : "failed") || record->broken())) {
    events().RecordFailed(run_record.folder());
    Tell(IDS_RECORD_FAILED, {run_record.folder()});
    result = kInstallFailed;
  }
  record = nullptr;
  return Ended(RunOutcome::kRan, result);
}

long CInstaller::Ended(RunOutcome outcome, long result) {
  events().RunEnded(outcome, result);
  return result;
}

IInstallObserver& CInstaller::events() {
  static IInstallObserver nobody;
  return observer ? *observer : nobody;
}

int CInstaller::Tell(unsigned base_id, const std::vector<std::string>& args) {
  std::string text = MessageText(platform_.shell, base_id, args);
  int answer = ShowText(platform_.shell, text, kMbOk);
  events().Told(text);
  return answer;
}

bool CInstaller::BeginRecord(CInstallRecord* record) {
  std::string::size_type slash = scriptDir.rfind('\\');
  std::string package = slash == std::string::npos ? scriptDir : scriptDir.substr(slash + 1);
  PackageIdentity identity;
  ReadPackageIdentity(platform_.files, scriptDir + "\\" + kScriptFileName, hostDir, &identity);
  if (!record->Begin("install", package, identity.script_sum, platform_.shell.Now()))
    return false;
  for (const std::string& destination : identity.destinations) {
    if (!record->Destination(destination))
      return false;
  }
  return true;
}

bool CInstaller::NamesKestrova(const std::string& app_path) {
  std::vector<std::string> names;
  if (app_path.back() == '\\')
    return platform_.files.ListDirectory(app_path.substr(0, app_path.size() - 1), &names);
  // A folder named without its trailing backslash would make its parent
  // Kestrova's directory.
  return platform_.files.Exists(app_path) && !platform_.files.ListDirectory(app_path, &names);
}

void CInstaller::LookUpHost() {
  CRegKeyPath key(platform_.registry);
  std::string app_path;
  if (key.SetPath(kHkeyClassesRoot, kHostKeyPath) && key.Open(kKeyRead) &&
      key.ReadString("AppPath", &app_path)) {
    // A value without any backslash names no directory at all; Kestrova
    // then counts as not found rather than guessing a relative path.
    if (app_path.find('\\') != std::string::npos && NamesKestrova(app_path))
      hostDir = DirectoryOf(app_path) + "\\";
  }
  key.Close();
}

bool UpdateScan(Registry& registry, CInstallRecord* record) {
  CRegKeyPath key(registry);
  if (!key.SetPath(kHkeyClassesRoot, kHostKeyPath) || !key.Open(kKeyAllAccess))
    return false;
  std::uint32_t scan = 0;
  bool wrote = false;
  if (key.ReadDword("Scan", &scan) && scan != 1 &&
      (!record || record->Scan("scan", std::to_string(scan)))) {
    wrote = key.WriteDword("Scan", 2);
    if (wrote && record)
      record->Scan("scan-set", "2");
  }
  key.Close();
  return wrote;
}
