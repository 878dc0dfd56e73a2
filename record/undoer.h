// The undo of one run, step by step (see record/undo.h for the rules).
#ifndef PACKWRIGHT_RECORD_UNDOER_H_
#define PACKWRIGHT_RECORD_UNDOER_H_

#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/install_record.h"
#include "platform/platform.h"
#include "record/record_reader.h"
#include "record/undo.h"

class Undoer {
 public:
  // `all` is every record (ReadRecordSet), `target` one of them.
  Undoer(Platform& platform, const std::string& hostDir, const UndoOptions& options,
         const RecordSet& all, const RunRecord& target, UndoReport* report);

  // Reverses the target and fills in the report.
  void Run();

 private:
  // Why a path is left alone that the undo may not reach.
  static const char kNotReachable[];

  void Finish();
  // True unless two probes (Exists, GetAttributes) both find nothing, so
  // that one failing call cannot make the undo pass over a file.
  bool Present(const std::string& path);
  // True when a later install on record, not undone, touched `path`.
  bool Overlapped(const std::string& path) const;
  // True when the undo may act on `path`: its real path lies inside
  // Kestrova's real folder but outside the records, or it goes through a
  // link that the record names, which still leads where it led, and stays
  // within where it leads.
  bool Reachable(const std::string& path);
  // True when `backup` is a file of the record's own folder.
  bool IsOwnBackup(const std::string& backup);
  // True when `path` holds `sum` (and, when `time` is not 0, that time).
  bool Holds(const std::string& path, const FileSum& sum, std::uint64_t time);
  // As Holds, except that a file this undo put in place (or, in a dry run,
  // would have) holds what it put there.
  bool HoldsNow(const std::string& path, const FileSum& sum, std::uint64_t time);
  void UndoFiles(std::size_t from, std::size_t to);
  void UndoFile(const RecordedFile& file);
  void UndoCreate(const RecordedFile& file);
  void UndoReplace(const RecordedFile& file);
  void UndoRemove(const RecordedFile& file);
  void UndoAttributes(const RecordedFile& file);
  // Removes `path`, which the run made, keeping it in the undo's record.
  void RemoveMade(const std::string& path);
  // Where the content `sum` that the run replaced at `path` came from: the
  // latest write of the file by an install on record before record number
  // `before`, when it wrote `sum` and has since been undone, fully or in
  // part; null otherwise. Its undo left the file alone because the run had
  // changed it, so the run's undo finishes that undo's work.
  const RecordedFile* UndoneOrigin(const std::string& path, unsigned before, const FileSum& sum,
                                   unsigned* number) const;
  // The checksum that record `number` keeps its sums in.
  SumKind SumsOf(unsigned number) const;
  // True when an undo of record `number` ended on record, whole or in part.
  bool UndoneSince(unsigned number) const;
  void RemakeFolders();
  void RemoveFolders();
  // Removes those of `made` (made in this order) that are empty, or hold
  // only what the undo removed, deepest first.
  void RemoveEmptyFolders(const std::vector<std::string>& made);
  // Puts `backup` in place at `path` with attributes `attrs`.
  void Restore(const std::string& path, const std::string& backup, std::uint32_t attrs);
  // Gives a file that holds what it held before the run its attributes
  // from before the run too.
  void RestoreAttributes(const std::string& path, std::uint32_t attrs);
  bool EnsureParent(const std::string& path);

  // record/undo_catalogue.cc
  void UndoCatalogue();
  bool CatalogueAsLeft();
  void RestoreCatalogue();
  void TakeOutEntries();

  // True (and the step listed) when the step is to be carried out.
  bool Step(const std::string& text);
  void LeaveAlone(const std::string& item, const std::string& why = "changed since");
  void Fail(const std::string& what);

  Platform& platform_;
  FileSystem& files_;
  std::string host_;
  UndoOptions options_;
  const RecordSet& all_;
  const RunRecord& target_;
  UndoReport* report_;
  CInstallRecord record_;
  // What the undo removed (or, in a dry run, would remove), by lower-case
  // full path.
  std::set<std::string> gone_;
  // What the undo put in place (or would), by lower-case full path.
  std::map<std::string, FileSum> placed_;
  // The files the undo wrote or moved, to be synced before it ends.
  std::vector<std::string> written_;
  bool failed_ = false;
  // The catalogue changed since the run saved it, so its entries were taken
  // out one by one: a forced undo must not put back the file the run
  // replaced by copying, which would lose the entries others added.
  bool catalogue_changed_ = false;
};

#endif  // PACKWRIGHT_RECORD_UNDOER_H_
