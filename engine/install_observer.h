// What a run of CInstaller did, told as it happens. The dialog shows the
// run through its boxes and its progress bar alone; the tool's commands
// listen here, so that none of them has to read the run back from its
// effects. Every event has a default that does nothing, and a run without
// an observer tells nobody.
#ifndef PACKWRIGHT_ENGINE_INSTALL_OBSERVER_H_
#define PACKWRIGHT_ENGINE_INSTALL_OBSERVER_H_

#include <cstdint>
#include <string>

// How a run ended, beside its result.
enum class RunOutcome {
  // Both steps ran; the result says whether all went well.
  kRan,
  // Kestrova's directory was not known; nothing was done.
  kNoHost,
  // The script next to the program did not open.
  kScriptMissing,
  // A sealed package was found damaged; nothing was changed.
  kPackageDamaged,
  // Another run held Kestrova's lock; nothing was changed.
  kBusy,
  // The lock could not be taken or the run's record could not be begun;
  // nothing was changed.
  kRecordFailed,
};

struct FileEvent {
  enum Outcome { kCreated, kReplaced, kKeptNewer, kFailed };
  Outcome outcome;
  // Full paths of the package's file and of its place in Kestrova's tree.
  std::string source;
  std::string destination;
  // For kFailed: what the file system said, when it said anything; for a
  // source that exists but does not open, unreadable is set and `why` is
  // the open's error.
  bool unreadable = false;
  std::string why;
};

struct TextureEvent {
  enum Outcome { kAdded, kPassedOver, kRefused };
  Outcome outcome;
  // The entry's id, 0 when it has none that the catalogue can read.
  std::uint32_t id = 0;
  // The entry's text: as the catalogue holds it when added, else as the
  // script gives it after its ">>".
  std::string entry;
  // For kPassedOver: the text that holds the id, or empty when an earlier
  // entry of the package does.
  std::string held_by;
};

class IInstallObserver {
 public:
  virtual ~IInstallObserver() = default;

  // The run has found its package folder and Kestrova's.
  virtual void RunStarted(const std::string& /*package*/, const std::string& /*host*/) {}
  // The run is over; `result` is what Run returns.
  virtual void RunEnded(RunOutcome /*outcome*/, long /*result*/) {}
  // A box that asks nothing was shown with `text`.
  virtual void Told(const std::string& /*text*/) {}
  // The newer-file question was asked with `text` and answered (kIdYes,
  // kIdNo or kIdCancel).
  virtual void Asked(const std::string& /*destination*/, const std::string& /*text*/,
                     int /*answer*/) {}
  // An entry of the file step is done with.
  virtual void FileDone(const FileEvent& /*event*/) {}
  // An entry's source does not exist.
  virtual void SourceMissing(const std::string& /*source*/) {}
  // A folder of Kestrova's tree was made.
  virtual void FolderMade(const std::string& /*path*/) {}
  // A Texturskript entry is done with.
  virtual void TextureDone(const TextureEvent& /*event*/) {}
  // The run's record was begun in `folder`, or could not be: `folder` is
  // then the run's folder or, when none was reached, the records' folder.
  virtual void RecordBegun(const std::string& /*folder*/) {}
  virtual void RecordFailed(const std::string& /*folder*/) {}
  // Kestrova's Scan value was set to `value`.
  virtual void ScanSet(std::uint32_t /*value*/) {}
};

#endif  // PACKWRIGHT_ENGINE_INSTALL_OBSERVER_H_
