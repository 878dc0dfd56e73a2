// Reading the records that installs and undos keep in Kestrova's Packwright
// folder (their format: engine/install_record.h).
#ifndef PACKWRIGHT_RECORD_RECORD_READER_H_
#define PACKWRIGHT_RECORD_RECORD_READER_H_

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/checksum.h"
#include "platform/file_system.h"

// One file action: its intent, and whether its outcome line followed.
struct RecordedFile {
  // kTemporary: a copy's temporary beside `path`, done once the copy's
  // create or replace line follows.
  enum Kind { kCreate, kReplace, kRemove, kAttributes, kTemporary };
  Kind kind = kCreate;
  // Full paths.
  std::string path;
  std::string backup;
  std::uint32_t attrs = 0;
  // What the change wrote (create, replace) or what it moved away (remove).
  FileSum sum;
  bool done = false;
  // A failed outcome followed: the change was not made.
  bool failed = false;
  // The last-write time after the change; 0 when not known.
  std::uint64_t time = 0;
};

struct RecordedTexture {
  // True for an entry the save added, false for one it took out.
  bool added = true;
  std::uint32_t id = 0;
  std::string text;
};

struct RecordedCatalogue {
  bool present = false;
  std::string path;
  std::string backup;
  // The save's temporary.
  std::string temp;
  FileSum before;
  bool saved = false;
  FileSum after;
  std::uint64_t time = 0;
  std::vector<RecordedTexture> textures;
};

// A folder inside Kestrova that the run went through as a link.
struct RecordedLink {
  // Full paths: the link, and where it led.
  std::string path;
  std::string target;
};

struct RunRecord {
  unsigned number = 0;
  // Kestrova\Packwright\NNNN.
  std::string folder;
  std::string package;
  std::string script_sum;
  std::string time;
  std::string kind;
  // The hash of every sum on record.
  SumKind sums = SumKind::kXxh64;
  // For an undo, the number of the record it reverses; 0 otherwise.
  unsigned undoes = 0;
  // An install's destinations, as full paths (what its script named);
  // empty in a record written before they were kept.
  std::vector<std::string> destinations;
  // The end line's word; empty when the run never ended.
  std::string end;
  std::vector<RecordedFile> files;
  // Folders the run made or was about to make, in order, as full paths.
  std::vector<std::string> folders_made;
  std::vector<std::string> folders_removed;
  RecordedCatalogue catalogue;
  std::vector<RecordedLink> links;
  // How many of `files` came before the catalogue's intent: the change to
  // undo between them (all of them when there is no catalogue).
  std::size_t catalogue_at = 0;
  // Paths on record, as written, that name no place inside Kestrova: an
  // undo cannot reverse them and lists them.
  std::vector<std::string> passed_over;
  // The backups were dropped by prune: the run can no longer be undone.
  bool pruned = false;
  // The record did not read (see ReadRunRecord); only its number and folder
  // are known.
  bool unreadable = false;
  // Set by ReadRecords: a later undo that ended "ok", itself not undone,
  // reverses this run.
  bool undone = false;
};

// The whole of file `path`, read in binary; false when it does not open or
// a read fails.
bool ReadWholeFile(FileSystem& files, const std::string& path, std::string* data);

// Reads the record of folder `number` under `hostDir` (ending in a
// backslash), of any version written so far (1 or 2). False when the file
// does not open, cannot be read, does not start with a version line, holds
// an `undoes` line without a record number, names a hash this reader does
// not know, or holds a line longer than 64 KiB. The paths of version 1 are
// read in the ANSI code page (AnsiToUtf8) unless they are UTF-8 already.
// Lines end in LF or CR LF; a last line without its line feed, and other
// lines not understood, are passed over. A path on record counts only when
// it names a place inside Kestrova as an installer's destination must
// (StaysInside), with no control byte in it; a line with any other path is
// passed over whole. Never throws.
bool ReadRunRecord(FileSystem& files, const std::string& hostDir, unsigned number,
                   RunRecord* record);

// Every record under `hostDir`, newest first, with `undone` set; one that
// does not read comes as `unreadable`, with its number and folder only.
// None when the Packwright folder is a link, and no record whose folder is
// one.
std::vector<RunRecord> ReadRecords(FileSystem& files, const std::string& hostDir);

// The records, each read once, with what an undo looks up across them.
struct RecordSet {
  // As ReadRecords returns them.
  std::vector<RunRecord> runs;
  // By lower-case full path, the highest number of an install on record,
  // not undone, that touched the file.
  std::map<std::string, unsigned> latest_install;
  // By number, each run's place in `runs`.
  std::map<unsigned, std::size_t> at;
  // The installs that an undo on record ended on, whole or in part.
  std::set<unsigned> undone_installs;
  // By lower-case full path, the numbers of the installs that wrote the
  // file (a copy done, created or replaced), lowest first.
  std::map<std::string, std::vector<unsigned>> writers;
  // The real paths (FileSystem::RealPath) of Kestrova's directory and of
  // its Packwright folder.
  std::string host_real;
  std::string records_real;
};
RecordSet ReadRecordSet(FileSystem& files, const std::string& hostDir);

#endif  // PACKWRIGHT_RECORD_RECORD_READER_H_
