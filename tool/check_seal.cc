// The finding about a sealed package whose files no longer match the seal.
#include "engine/kestrova_names.h"
#include "engine/seal.h"
#include "tool/check.h"

void CheckSeal(FileSystem& files, const CheckInput& input, std::vector<Finding>* findings) {
  if (!input.seal)
    return;
  SealVerdict verdict = VerifySeal(files, input.package, kScriptFileName);
  if (verdict.state != SealVerdict::kDamaged)
    return;
  std::string what = verdict.file == kSealName
                         ? "The seal Packwright.sum is missing, unreadable or not of this format"
                         : "'" + verdict.file + "' is not the file that Packwright.sum seals";
  findings->push_back({"seal-mismatch", Severity::kError, 0, 0,
                       what + ", so Packwright refuses to install the package; pack it again "
                              "with packwright-tool pack.",
                       FindingFile::kPackageFile, verdict.file});
}
