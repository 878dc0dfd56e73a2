// The undo of a run's change to Kestrova's texture catalogue.
#include "engine/safe_copy.h"
#include "platform/paths.h"
#include "platform/unicode.h"
#include "record/undoer.h"
#include "textures/texture_catalogue.h"

namespace {

std::string NameOf(const std::string& path) {
  return path.substr(path.rfind('\\') + 1);
}

std::vector<std::pair<std::uint32_t, std::string>> Entries(const CTextureCatalogue& catalogue) {
  std::vector<std::pair<std::uint32_t, std::string>> entries;
  catalogue.entries().ForEach([&](std::uint32_t id, std::string_view text) {
    entries.emplace_back(id, std::string(text));
  });
  return entries;
}

}  // namespace

void Undoer::UndoCatalogue() {
  const RecordedCatalogue& c = target_.catalogue;
  FileSum now;
  if (!c.present)
    return;
  if (!Reachable(c.path) || (Present(c.backup) && !IsOwnBackup(c.backup)))
    return LeaveAlone(c.path, kNotReachable);
  // The temporary of a save that never finished is the run's own half file.
  if (!c.saved && Present(c.temp) && Reachable(c.temp) && Step("remove " + c.temp) &&
      !files_.Remove(c.temp))
    return Fail("cannot remove " + c.temp);
  if (!ChecksumFile(files_, c.path, &now, target_.sums))
    return LeaveAlone(c.path);
  if (now == c.before)
    return;  // never saved, or as it was already
  // Even a forced undo takes the entries out one by one from a catalogue
  // changed since, so that it never takes out what the run did not add.
  bool as_left = (c.saved && now == c.after) || CatalogueAsLeft();
  if (as_left && Present(c.backup))
    return RestoreCatalogue();
  catalogue_changed_ = true;
  TakeOutEntries();
}

// True when the catalogue holds what its backup held with the run's entry
// changes made, nothing more: it was saved by the run (its outcome may be
// missing after a crash) and not changed since.
bool Undoer::CatalogueAsLeft() {
  const RecordedCatalogue& c = target_.catalogue;
  CTextureCatalogue now(files_);
  CTextureCatalogue expected(files_);
  if (!now.Load(c.path) || !now.loaded_whole() || !expected.Load(c.backup))
    return false;
  for (const RecordedTexture& t : c.textures) {
    if (!(t.added ? expected.AddEntry(t.text) : expected.RemoveEntry(t.id, t.text)))
      return false;
  }
  return Entries(now) == Entries(expected);
}

void Undoer::RestoreCatalogue() {
  const RecordedCatalogue& c = target_.catalogue;
  placed_[FoldCase(c.path)] = c.before;
  if (!Step("restore " + c.path))
    return;
  std::string err;
  if (!(record_.Catalogue(c.path) && record_.Flush() &&
        CopyFileSafely(files_, c.backup, c.path, &err) && record_.CatalogueSaved(c.path)))
    Fail("cannot restore " + c.path + " from " + c.backup);
}

// Takes the run's entries out of a catalogue that has changed since, and
// puts back those an undo took out, leaving alone any whose id now holds
// another text.
void Undoer::TakeOutEntries() {
  const RecordedCatalogue& c = target_.catalogue;
  CTextureCatalogue catalogue(files_);
  if (!catalogue.Load(c.path) || !catalogue.loaded_whole())
    return LeaveAlone(c.path);
  std::vector<RecordedTexture> changes;
  std::string stored;
  for (auto t = c.textures.rbegin(); t != c.textures.rend(); ++t) {
    std::string item = NameOf(c.path) + ": id " + std::to_string(t->id);
    bool held = catalogue.entries().Find(t->id, &stored);
    if (!held && t->added)
      continue;  // taken out already
    if (held && !t->added) {
      if (stored != t->text)
        LeaveAlone(item);
      continue;
    }
    if (held && stored != t->text && !options_.force) {
      LeaveAlone(item);
      continue;
    }
    if (!Step((t->added ? "take out " : "put back ") + item))
      continue;
    bool changed = t->added ? catalogue.RemoveEntry(t->id, stored) : catalogue.AddEntry(t->text);
    if (changed)
      changes.push_back({!t->added, t->id, t->added ? stored : t->text});
  }
  if (changes.empty())
    return;
  bool ok = record_.Catalogue(c.path);
  for (const RecordedTexture& t : changes)
    ok = ok && record_.Texture(t.added ? "texture" : "texture-removed", t.id, t.text);
  if (!(ok && record_.Flush() && catalogue.Save(c.path, record_.CatalogueTemp(c.path)) &&
        record_.CatalogueSaved(c.path)))
    Fail("cannot save " + c.path);
}
