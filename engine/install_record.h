// CInstallRecord writes the record of one run that changes Kestrova's tree:
// an install, or an undo of one (record/undo.h). Each run gets a folder of
// its own, Kestrova\Packwright\NNNN, numbered upwards so that the newest has
// the highest number; it holds Record.txt and the backups of the files the
// run replaced or removed.
//
// Record.txt is plain text, one action per line, its fields separated by
// tabs. Each field is escaped so that any byte comes back: '%', DEL and
// every byte below 0x20 are written as %XX. Paths are UTF-8, resolved and
// written relative to Kestrova's directory. The lines, in order:
//   packwright-record 2    (version 1 lacks the lines marked 2, and holds
//                          its paths in the code page it was written in;
//                          both are read)
//   hash xxh64             (2; the hash of every SUM below)
//   package NAME SCRIPT_SUM      time TEXT      kind install|undo
//   undoes NNNN                  (an undo: the record it reverses)
//   destination PATH             (2; an install: one per entry of its
//                                 script, so that the record alone tells
//                                 which package it was)
// then the actions, each as an intent line written before the change and an
// outcome line after it:
//   link PATH TARGET     (2; a folder on the way that is a link, and its
//                         real path; no outcome)
//   make-folder LEVEL                   folder-made LEVEL
//   temporary PATH  (2)                 (its outcome: the create or replace)
//   create PATH SIZE SUM                created PATH TIME
//   replace PATH BACKUP ATTRS SIZE SUM  replaced PATH TIME
//   remove PATH BACKUP ATTRS SIZE SUM   removed PATH (moved to BACKUP)
//   attributes PATH ATTRS               attributes-set PATH
//   folder-removed DIR                  (outcome only: nothing is lost)
//   catalogue PATH BACKUP SIZE SUM TEMP catalogue-saved PATH SIZE TIME SUM
//     (TEMP, 2: the save's temporary, unique to the run; without it,
//     PATH.pwtmp)
//     with, between them, one line per entry the save adds or takes out:
//     texture ID TEXT / texture-removed ID TEXT
//   scan BEFORE                         scan-set AFTER
//   failed PATH          (2; outcome only: a copy that was not made, its
//                         intent, if any, not carried out)
//   pruned               (2; the backups were dropped: no longer undoable)
//   end ok|partly|failed  (partly: an undo that left something alone)
// A copy writes the temporary beside PATH (PATH + kReplaceTempSuffix) after
// its temporary line and before its create or replace line, which carries
// the sum taken while the temporary was written; a temporary line without
// one names a temporary that may be left half written. Records of format 1
// have no hash line and no temporary lines, and their sums are 64-bit
// FNV-1a; they are still read.
// SIZE and SUM describe the file as the change leaves it (create, replace)
// or as it was (remove, catalogue: the backup); ATTRS are the attributes
// the file had before (FileSystem::GetAttributes); TIME is its last-write
// time after the change, 0 when it could not be read. A line counts only
// when it ends in a line feed, so a line cut short by a crash is no line.
//
// Durability: the record stays open for the run and is written with plain
// writes, which survive the program's death but not a power cut. An intent
// line is written before its change; an outcome line waits to go out with
// the next line, so that a file costs one write, and the program's death
// may lose the last outcomes but never an intent. It is
// forced to disk at the file step's points: before an existing file is
// replaced (together with that file's backup), before the catalogue is
// replaced (with the catalogue's backup), and with the file step's final
// sync; Finish forces it once more. So whatever a power cut may take back,
// a replaced file's backup and the line that names it are on disk before
// the file is replaced.
//
// Failure: every method that writes returns false when the record could not
// be written, and from then on the record is broken() and every later one
// fails without writing. The caller then makes no further change: the
// change whose intent failed is not made, and the run fails.
#ifndef PACKWRIGHT_ENGINE_INSTALL_RECORD_H_
#define PACKWRIGHT_ENGINE_INSTALL_RECORD_H_

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/checksum.h"
#include "platform/file_system.h"

// The folder of the records inside Kestrova's directory, and each run's file.
extern const char kRecordsFolder[];
extern const char kRecordFileName[];
// The first line of a record as this build writes it (format 2: paths in
// UTF-8), and of format 1, whose paths are in the code page of the
// system that wrote it.
extern const char kRecordVersionLine[];
extern const char kRecordVersion1Line[];

// The escaping of one field, and back; UnescapeField is false for a '%'
// not followed by two hex digits.
std::string EscapeField(const std::string& text);
bool UnescapeField(const std::string& text, std::string* out);

// The fields of a record line without its line feed, unescaped; false when
// any field does not unescape.
bool SplitRecordLine(const std::string& line, std::vector<std::string>* fields);

// The number of a run's folder as its name: at least four digits.
std::string RecordFolderName(unsigned number);

// The temporary that run `folder` (its record folder's name) saves the
// catalogue `path` through: `path`.NNNN.pwtmp, unique to the run.
std::string RunCatalogueTemp(const std::string& path, const std::string& folder);

// The number that `text` spells in one to nine decimal digits, leading
// zeros allowed; false for any other text.
bool ParseRecordNumber(const std::string& text, unsigned* number);

class CInstallRecord {
 public:
  // `hostDir` is Kestrova's directory, ending in a backslash.
  CInstallRecord(FileSystem& files, const std::string& hostDir);
  ~CInstallRecord();

  // Makes the next run folder and writes the header lines. `undoes` is
  // empty for an install, else the undone record's folder name. False, with nothing
  // written but possibly the folder, when the folder or the file cannot be
  // made or the header cannot be written.
  bool Begin(const std::string& kind, const std::string& package, const std::string& scriptSum,
             const std::string& time, const std::string& undoes = std::string());

  // Kestrova\Packwright\NNNN, the run's folder (the one that was to be made
  // when Begin failed), without trailing backslash.
  const std::string& folder() const { return folder_; }
  // After Begin failed: the existing folder in which the records folder or
  // the run's folder could not be made (Kestrova's folder, or its
  // Packwright folder), without trailing backslash; empty when the failure
  // came later, with the record's own file.
  const std::string& unwritable() const { return unwritable_; }
  bool broken() const { return broken_; }
  // The latest backup taken (by Replace, Remove or Catalogue), as a full
  // path; empty before the first.
  std::string LastBackup() const;

  // The intents and outcomes of the header's list. A replace or remove
  // first copies `path` (a replace) or moves it (a remove) into the run's
  // folder as the next backup; a replace or catalogue intent flushes that
  // backup and the record before returning. A replace whose `path` cannot
  // be examined or backed up (a folder, an unreadable file) writes the
  // failed outcome instead and returns false, the record staying whole.
  bool Destination(const std::string& path);
  bool MakeFolder(const std::string& dir);
  bool FolderMade(const std::string& level);
  bool Temporary(const std::string& path);
  bool Create(const std::string& path, const FileSum& written);
  // `time` is the file's last-write time as the copy left it.
  bool Created(const std::string& path, std::uint64_t time);
  bool Replace(const std::string& path, const FileSum& written);
  bool Replaced(const std::string& path, std::uint64_t time);
  bool Failed(const std::string& path);
  bool Remove(const std::string& path);
  bool Removed(const std::string& path);
  bool Attributes(const std::string& path, std::uint32_t old_attrs);
  bool AttributesSet(const std::string& path);
  bool FolderRemoved(const std::string& dir);
  bool Catalogue(const std::string& path);
  // The temporary that this run saves the catalogue `path` through, unique
  // to the run: `path`.NNNN.pwtmp, NNNN the run's number. The catalogue
  // line names it, so that an undo can remove one left over.
  std::string CatalogueTemp(const std::string& path) const;
  bool Texture(const char* keyword, std::uint32_t id, const std::string& text);
  bool CatalogueSaved(const std::string& path);
  bool Scan(const char* keyword, const std::string& value);

  // Writes a link line for each folder on the way to `path`, inside
  // Kestrova's directory, that is a link (a player's folder kept elsewhere,
  // say) and not on record yet: its path and its real path. A folder whose
  // real path cannot be found is passed over. False when the record fails.
  bool Links(const std::string& path);

  // Forces what was written onto the disk.
  bool Flush();
  // Writes the end line ("ok", "partly" or "failed"), flushes and closes
  // the record.
  bool Finish(const std::string& outcome);

  // `path` as the record writes it: resolved (FileSystem::FullPath), and
  // relative to Kestrova's directory when it lies inside it. A reader takes
  // only relative paths without "..", so the one outside is written but
  // never undone.
  std::string Relative(const std::string& path) const;

 private:
  // Writes the line, after any outcome lines waiting; an outcome line
  // (`outcome` set) waits for the next one.
  bool Line(const std::vector<std::string>& fields, bool outcome = false);
  bool Fail();
  // Copies (or moves) `path` to the next backup file; its name in `name`.
  bool TakeBackup(const std::string& path, bool move, std::string* name);
  bool FileLine(const char* keyword, const std::string& path, bool outcome = false);

  FileSystem& files_;
  std::string host_;
  std::string folder_;
  std::string unwritable_;
  std::unique_ptr<OutputFile> out_;
  std::string waiting_;
  // The folders looked at by Links, by lower-case relative path.
  std::set<std::string> looked_at_;
  unsigned backups_ = 0;
  bool broken_ = false;
};

// Makes directory `dir` and its missing parents (CreateDirectoryTree), with
// a record first writing a make-folder intent for each level found missing
// and after it a folder-made outcome for each level made. Each level made is
// appended to `made` (if given), the outermost first. False when the
// directory was not made or the record failed.
bool MakeFoldersRecorded(FileSystem& files, CInstallRecord* record, const std::string& dir,
                         std::vector<std::string>* made = nullptr);

// Copies what is left of the open `from` over `to` as CopyFileSafely does,
// `status` being `to`'s as looked up before. A folder, a read-only `to`
// and one that cannot be examined are refused, and nothing is written.
// With a record: the temporary line, the temporary written and summed,
// the create or replace intent with that sum (backing the old `to` up),
// the move, and its outcome, or the failed outcome when the copy was not
// made. False when the copy or the record failed; a failed intent leaves
// `to` untouched, and the record is broken() only when it could not be
// written. When the file system refused a step, `err` (if given) says why.
bool CopyOpenFileRecorded(FileSystem& files, CInstallRecord* record, InputFile& from,
                          const std::string& to, const FileStatus& status,
                          std::string* err = nullptr);

// As CopyOpenFileRecorded, opening `from` and looking `to` up first.
bool CopyFileRecorded(FileSystem& files, CInstallRecord* record, const std::string& from,
                      const std::string& to);

#endif  // PACKWRIGHT_ENGINE_INSTALL_RECORD_H_
