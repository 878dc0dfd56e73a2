// The catalogue's writing side: taking entries in and saving the file.
#include <memory>
#include <utility>

#include "platform/file_system.h"
#include "platform/text_file.h"
#include "textures/catalogue_tokens.h"
#include "textures/texture_catalogue.h"

namespace {

// True when `span`, written as a line of the catalogue file, reads back as
// exactly one entry with the id `id`: a "}" that closed the outer block, a
// second entry, an entry the reader refuses or a different id would all
// damage the catalogue for every later run.
bool ReadsBackAs(const std::string& span, std::uint32_t id) {
  if (span.find('\x1a') != std::string::npos)
    return false;
  CatalogueTokenizer tokens;
  EntryAssembler entry(1);
  bool closed = false;
  auto take = [&](std::string_view token) {
    if (closed)
      return false;
    closed = entry.Take(token);
    return entry.depth() >= 1;
  };
  if (!tokens.Feed(span, take) || !tokens.Finish(take))
    return false;
  std::string name;
  std::uint32_t read_id;
  return closed && FindEntryName(entry.text(), &name) && FindEntryId(entry.text(), &read_id) &&
         read_id == id;
}

}  // namespace

bool CTextureCatalogue::AddEntry(const std::string& text) {
  return AddEntryAs(text) != Added::kRefused;
}

CTextureCatalogue::Added CTextureCatalogue::AddEntryAs(const std::string& text,
                                                       std::uint32_t* id_out) {
  std::uint32_t ignored = 0;
  std::uint32_t& id = id_out ? *id_out : ignored;
  id = 0;
  std::size_t start = text.find("Textur");
  std::size_t end = text.rfind('}');
  if (start == std::string::npos || end == std::string::npos || end < start)
    return Added::kRefused;
  std::string span = text.substr(start, end + 1 - start);
  std::size_t id_at = span.find("id(");
  if (id_at == std::string::npos)
    return Added::kRefused;
  id = ConvertTextureId(span, id_at + 3);
  if (id == 0 || !ReadsBackAs(span, id))
    return Added::kRefused;
  return entries_.Insert(id, span) ? Added::kAdded : Added::kHeld;
}

bool CTextureCatalogue::Save(const std::string& path, const std::string& temp) {
  if (!loaded_whole())
    return false;
  return WriteCatalogue(path, temp.empty() ? path + kReplaceTempSuffix : temp);
}

bool CTextureCatalogue::WriteCatalogue(const std::string& path, const std::string& temp) {
  // Renaming replaces a read-only file on POSIX and under Wine, where
  // Windows would refuse; the catalogue must stay read-only either way.
  if (files_.IsReadOnly(path))
    return false;
  // Written beside the catalogue, then moved over it, as a copied file is.
  std::string err;
  std::unique_ptr<OutputFile> file = files_.CreateNew(temp, &err);
  // A name that cannot be made new is left alone: it may lead elsewhere.
  if (!file)
    return false;
  if (WriteTo(std::move(file)) && files_.Replace(temp, path, &err))
    return true;
  files_.Remove(temp);
  return false;
}

bool CTextureCatalogue::WriteTo(std::unique_ptr<OutputFile> file) {
  TextWriter writer(std::move(file));
  writer.Write("Basis{\n");
  std::string line;
  entries_.ForEach([&](std::uint32_t, std::string_view text) {
    line.assign(1, '\t');
    line.append(text);
    line += '\n';
    writer.Write(line);
  });
  writer.Write("}");
  return writer.Finish();
}

bool CTextureCatalogue::RemoveEntry(std::uint32_t id, const std::string& text) {
  std::string stored;
  return entries_.Find(id, &stored) && stored == text && entries_.Remove(id);
}
