// CTextureCatalogue holds Kestrova's texture catalogue, Texturen.txt, in
// memory: an ordered map from unsigned 32-bit texture id to entry text. It
// reads the file (Load), takes new entries as text (AddEntry) and writes the
// whole catalogue back sorted by id (Save). Every file access goes through
// the FileSystem given at construction; nothing is shown to the user.
//
// The file: a keyword "Basis", then one outer brace block whose inner
// blocks are the entries, such as Textur{ name(Kies) id(12) }. Whitespace
// carries no meaning and is dropped; reading puts one tab after every ")"
// and after every "{" of an entry, so the entry above is held as
// Textur{\tname(Kies)\tid(12)\t}. Words in the outer block between two
// entries lead the next entry's text. Save writes "Basis{", one line per
// entry ("\t" + text), then "}", with CR LF line ends.
//
// The catalogue is the user's shared file, rewritten by every package, so
// this class refuses whatever would lose or corrupt part of it:
// - Load records whether it took the file in whole (loaded_whole()); Save
//   refuses to write a catalogue that it did not.
// - AddEntry refuses an entry that would not read back as that same single
//   entry.
// - Save writes a temporary file beside the catalogue, made new
//   (FileSystem::CreateNew: never through a link or a leftover), and
//   replaces the catalogue with it in one step, or leaves the old file as
//   it was.
#ifndef PACKWRIGHT_TEXTURES_TEXTURE_CATALOGUE_H_
#define PACKWRIGHT_TEXTURES_TEXTURE_CATALOGUE_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "textures/entry_table.h"

class CTextureCatalogue {
 public:
  // An empty catalogue, not loaded.
  explicit CTextureCatalogue(FileSystem& files);

  // Replaces the whole content by the entries of the file at `path`. True
  // when the file was read to its end (a 0x1A ends the input early and is
  // not a failure); then loaded() is true. False, with the catalogue empty
  // and not loaded, when the file does not open, a read error occurs, or an
  // entry lacks "name(" or "id(" with a ")" somewhere after it. Of entries
  // with one id the first in the file stays.
  bool Load(const std::string& path);

  // Cuts the span from the first "Textur" to the last "}" out of `text` and
  // stores it unchanged under the id that follows its first "id(", unless
  // that id is present already (the stored entry stays; still true). False,
  // nothing stored, when there is no such span or id, the id is 0, or the
  // span would not read back from the file as one entry with that id: its
  // braces must form one block ending at its last "}", it must hold
  // "name(" and "id(" each with a ")" after them, it must hold no byte 0x1A,
  // and whitespace in it must not change the id. Works without a Load.
  bool AddEntry(const std::string& text);

  // AddEntry, saying what became of the entry: kAdded when it was stored,
  // kHeld when its id was present already (the stored entry stays), and
  // kRefused when AddEntry would return false. `id` (if given) receives the
  // entry's id when it has one, 0 otherwise.
  enum class Added { kAdded, kHeld, kRefused };
  Added AddEntryAs(const std::string& text, std::uint32_t* id = nullptr);

  // Takes the entry of `id` out, when its stored text is `text`. False,
  // nothing changed, when there is no entry of that id or its text differs.
  bool RemoveEntry(std::uint32_t id, const std::string& text);

  // Writes the catalogue to `path`: to a temporary file in the same folder,
  // flushed to disk, which then replaces `path` in one step. True only when
  // all of that succeeded. False, with `path` untouched and no temporary
  // file left, when the catalogue was not loaded, was not loaded whole,
  // `path` is read-only, or any write, flush, close or replace fails. The
  // temporary is `temp`, or when empty `path` + kReplaceTempSuffix.
  bool Save(const std::string& path, const std::string& temp = std::string());

  // True when the last Load took in everything that its file held, so that
  // Save loses nothing of it. False when the file had text Load does not
  // keep: anything before the outer "{" other than the keyword "Basis", a
  // "}" outside the outer block, text after the outer block's "}", text in
  // the outer block after its last entry, a byte 0x1A before the file's
  // end, or a file that ends inside an entry. A file that ends after a
  // complete entry, only its outer "}" missing, counts as whole: Save
  // supplies the "}". Entries dropped for a duplicate id and whitespace
  // inside values are not counted as loss.
  bool loaded_whole() const { return loaded_ && whole_; }

  bool loaded() const { return loaded_; }
  // The file the last Load read; empty before the first.
  const std::string& path() const { return path_; }
  const EntryTable& entries() const { return entries_; }

 private:
  bool ParseFile();
  bool WriteCatalogue(const std::string& path, const std::string& temp);
  // Writes the catalogue into the new temporary `file` and closes it.
  bool WriteTo(std::unique_ptr<OutputFile> file);

  FileSystem& files_;
  std::string path_;
  EntryTable entries_;
  bool loaded_ = false;
  bool whole_ = false;
};

// The name in an entry text: what lies between the first "name(" and the
// first ")" after it. False when either is missing.
bool FindEntryName(std::string_view text, std::string* name);

// The id in an entry text: the decimal conversion of what follows the first
// "id(" (also inside words such as grid(), which must have a ")" somewhere
// after it. False when either is missing; an id of 0 counts as found.
bool FindEntryId(std::string_view text, std::uint32_t* id);

// Decimal conversion from `pos`: leading whitespace skipped, one optional
// sign, then digits accumulated modulo 2^32 up to the first non-digit; a
// "-" negates. No digit gives 0. So "-5" is 4294967291 and "12abc" is 12.
std::uint32_t ConvertTextureId(std::string_view text, std::size_t pos);

#endif  // PACKWRIGHT_TEXTURES_TEXTURE_CATALOGUE_H_
