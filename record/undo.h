// Undoing a run on record (record/record_reader.h): an install, or an undo,
// which can itself be undone.
//
// Undo never destroys what someone else wrote. A file is reversed only when
// it is still as the run left it (size, last-write time and checksum as on
// record) and no later install on record, not itself undone, touched it;
// otherwise it is left alone and listed. The catalogue is restored from its
// backup when it is still as the run saved it; otherwise the entries the run
// added are taken out (and those an undo took out are put back) through the
// catalogue's own save, which refuses a catalogue it cannot read whole; an
// entry whose text has changed is left alone. With `force` the run's own
// files and entries are reversed even when changed since; the catalogue still
// loses only the ids the run added, never what it did not add, and a
// catalogue the run copied over as a file is not put back once others changed
// it. Paths on record that name no place inside Kestrova are left alone and
// listed. The steps are undone in the reverse order of the run. Whatever an
// undo overwrites or removes is kept in the undo's own record (kind undo), so
// that the undo can be undone in turn; each file is put in place through a
// temporary and a replace. Scan is set as an install sets it. An undo that
// left something alone is partial: it does not mark the run undone, so the
// run can be undone again later (with --force, say), and what was reversed
// already is passed over then.
#ifndef PACKWRIGHT_RECORD_UNDO_H_
#define PACKWRIGHT_RECORD_UNDO_H_

#include <string>
#include <vector>

#include "engine/package_identity.h"
#include "platform/platform.h"
#include "record/record_reader.h"

class ILockWait;

struct UndoOptions {
  bool force = false;
  bool dry_run = false;
  // How the undo waits while another run holds Kestrova's lock
  // (engine/run_lock.h); null: it does not wait. A dry run takes no lock.
  ILockWait* wait = nullptr;
  // Whether Scan is set: not in another Kestrova than the registry's.
  bool set_scan = true;
};
// kBusy: another run held Kestrova's lock, and nothing was done.
enum class UndoStatus { kUndone, kNothingToUndo, kPartly, kFailed, kBusy };
struct UndoOutcome {
  UndoStatus status = UndoStatus::kFailed;
  // What was left alone because it changed after the install, one item each: a full
  // path, or a catalogue entry as "Texturen.txt: id N".
  std::vector<std::string> left_alone;
};
// The outcome with what was done (or, in a dry run, would be done), one
// line each ("remove PATH", "restore PATH", ...), and the folders involved.
struct UndoReport {
  UndoOutcome outcome;
  std::vector<std::string> steps;
  // What went wrong, one line each, when the status is kFailed.
  std::vector<std::string> errors;
  // The record undone, and the undo's own record; empty when there was none.
  std::string undone_folder;
  std::string record_folder;
};

// The installs on record of the package `identity`, newest first, leaving
// out those undone: each install of a script with the same checksum, and
// each earlier version: an install older than the newest of those (when
// there is one) whose destinations (in a record without them, its files)
// all lie among the identity's, compared without regard to ASCII case. An
// install with neither is no earlier version of anything.
std::vector<const RunRecord*> InstallsOf(const std::vector<RunRecord>& all,
                                         const PackageIdentity& identity);

// The identity of the package that `install` installed, from its record
// alone: its script's checksum and its destinations (or files).
PackageIdentity IdentityOf(const RunRecord& install);

// Takes back every install of the package on record (InstallsOf), newest
// first, each by an undo of its own (UndoRun), back to the state before
// the first; stops after one that fails. The report joins theirs: its
// status is kNothingToUndo when there was none, else kFailed when one
// failed, kPartly when one left something alone (each item listed once),
// and kUndone otherwise; the folders are joined with ", ".
UndoReport UndoPackage(Platform& platform, const std::string& hostDir,
                       const PackageIdentity& identity, const UndoOptions& options);

// As UndoPackage for the package of the latest install of `name` (the
// folder it was installed from, compared without regard to ASCII case)
// that is not undone; its record tells which installs are of the same
// package, whatever their folders were named.
UndoReport UndoLatest(Platform& platform, const std::string& hostDir, const std::string& name,
                      const UndoOptions& options);

// Undoes the run whose record folder is number `number`, holding Kestrova's
// lock from before the records are read to the end (kBusy, or kFailed when
// it cannot be taken). kNothingToUndo when there is no such record or it is
// undone already. kFailed, changing nothing, when the record does not read,
// its backups were pruned, or the undo's own record cannot be begun;
// kFailed when a step fails, the steps before it staying done and on
// record.
UndoReport UndoRun(Platform& platform, const std::string& hostDir, unsigned number,
                   const UndoOptions& options);

// As UndoRun, for `target`, one of the records read already (`all`,
// ReadRecordSet) under `hostDir`.
UndoReport UndoInSet(Platform& platform, const std::string& hostDir, const RecordSet& all,
                     const RunRecord& target, const UndoOptions& options);

#endif  // PACKWRIGHT_RECORD_UNDO_H_
