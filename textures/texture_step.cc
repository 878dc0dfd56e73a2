#include "textures/texture_step.h"

#include <algorithm>
#include <vector>

#include "engine/install_record.h"
#include "engine/installer.h"
#include "engine/kestrova_names.h"
#include "textures/texture_catalogue.h"

namespace {

// Backs the catalogue up and names the entries that the save will add, all
// on disk before the save replaces the catalogue.
bool RecordCatalogueIntent(CInstallRecord* record, const CTextureCatalogue& catalogue,
                           const std::string& path, const std::vector<std::uint32_t>& added) {
  if (!record->Catalogue(path))
    return false;
  std::string stored;
  for (std::uint32_t id : added) {
    if (!catalogue.entries().Find(id, &stored) || !record->Texture("texture", id, stored))
      return false;
  }
  return record->Flush();
}

// Tells the observer of each entry that the saved catalogue gained.
void TellAdded(IInstallObserver& events, const CTextureCatalogue& catalogue,
               const std::vector<std::uint32_t>& added) {
  for (std::uint32_t id : added) {
    TextureEvent event{TextureEvent::kAdded, id, {}, {}};
    catalogue.entries().Find(id, &event.entry);
    events.TextureDone(event);
  }
}

}  // namespace

bool BuildTextureText(const std::string& entry, std::string* text) {
  std::size_t mark = entry.find(">>");
  if (mark == std::string::npos)
    return false;
  text->clear();
  for (std::size_t i = mark + 2; i < entry.size(); ++i) {
    char c = entry[i];
    *text += c;
    if (c == ')' || c == '{')
      *text += '\t';
    else if (c == '}')
      *text += "\n\t\t";
  }
  return true;
}

// What the script's entry says after its ">>".
std::string ScriptText(const std::string& entry) {
  std::size_t mark = entry.find(">>");
  return mark == std::string::npos ? std::string() : entry.substr(mark + 2);
}

// Merges the script's Texturskript entries into Kestrova's catalogue. A
// catalogue that is missing, unreadable or not read in whole fails the step
// before the script is consulted, and a script that cannot be read to the
// end of its section fails it before anything is saved; either way the
// catalogue is left as it is. Entries that the catalogue refuses or holds
// already are passed over, told to the observer alone; the added ones are
// told once the catalogue is saved.
bool CInstaller::InstallTextures() {
  CTextureCatalogue catalogue(platform_.files);
  std::string path = hostDir + kCataloguePath;
  if (!catalogue.Load(path) || !catalogue.loaded_whole())
    return false;
  if (!script.FindSection(kTextureSection))
    return false;
  std::string entry;
  std::string text;
  std::vector<std::uint32_t> added;
  while (script.NextEntry(&entry)) {
    TextureEvent event{TextureEvent::kRefused, 0, ScriptText(entry), {}};
    CTextureCatalogue::Added as = CTextureCatalogue::Added::kRefused;
    if (BuildTextureText(entry, &text))
      as = catalogue.AddEntryAs(text, &event.id);
    if (as == CTextureCatalogue::Added::kAdded) {
      added.push_back(event.id);
      continue;
    }
    if (as == CTextureCatalogue::Added::kHeld) {
      event.outcome = TextureEvent::kPassedOver;
      if (std::find(added.begin(), added.end(), event.id) == added.end())
        catalogue.entries().Find(event.id, &event.held_by);
    }
    events().TextureDone(event);
  }
  // A read error ends the section as if it were complete; saving then would
  // report a partial merge as success.
  if (script.ReadFailed())
    return false;
  if (record && !RecordCatalogueIntent(record, catalogue, path, added))
    return false;
  if (!catalogue.Save(path, record ? record->CatalogueTemp(path) : std::string()))
    return false;
  TellAdded(events(), catalogue, added);
  bool noted = !record || record->CatalogueSaved(path);
  // The save flushed the new catalogue before its replace; the sync makes
  // the replace itself durable before the step reports success.
  std::string err;
  return platform_.files.SyncFiles({path}, &err) && noted;
}
