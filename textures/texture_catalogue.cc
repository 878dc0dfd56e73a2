#include "textures/texture_catalogue.h"

#include <memory>
#include <utility>

#include "platform/text_file.h"
#include "textures/catalogue_tokens.h"

namespace {

// Notes, token by token, whether a load meets text that the catalogue does
// not keep, so that Save will not rewrite the file without it.
class LossWatch {
 public:
  // Sees each token with the depth before it was taken.
  void Before(const std::string& token, int depth) {
    if (depth > 0)
      return;
    if (depth == 0 && !closed_ && token == "{")
      return;
    if (depth == 0 && !closed_ && !keyword_ && token == "Basis") {
      keyword_ = true;
      return;
    }
    lost_ = true;
  }
  // The outer block closed; `text` is what had gathered since the last
  // entry, the closing "}" included. Anything more is dropped by the load.
  void OuterClosed(const std::string& text) {
    closed_ = true;
    if (text != "}")
      lost_ = true;
  }
  // Whether the load kept everything, given where the input ended.
  bool Whole(const EntryAssembler& entry) const {
    if (lost_ || entry.depth() > 1)
      return false;
    return entry.depth() == 0 || entry.text().empty();
  }

 private:
  bool keyword_ = false;
  bool closed_ = false;
  bool lost_ = false;
};

}  // namespace

CTextureCatalogue::CTextureCatalogue(FileSystem& files) : files_(files) {}

bool CTextureCatalogue::Load(const std::string& path) {
  loaded_ = false;
  whole_ = false;
  entries_.Clear();
  path_ = path;
  if (!ParseFile()) {
    entries_.Clear();
    return false;
  }
  loaded_ = true;
  return true;
}

bool CTextureCatalogue::ParseFile() {
  std::string err;
  std::unique_ptr<InputFile> file = files_.OpenRead(path_, &err);
  if (!file)
    return false;
  TextReader reader(std::move(file));
  CatalogueTokenizer<TextReader> tokens(reader);
  EntryAssembler entry(0);
  LossWatch watch;
  std::string token;
  while (tokens.Next(&token)) {
    int before = entry.depth();
    watch.Before(token, before);
    bool closed = entry.Take(token);
    if (before == 1 && entry.depth() == 0)
      watch.OuterClosed(entry.text());
    if (closed) {
      if (!StoreParsedEntry(entry.text()))
        return false;
      entry.ClearText();
    }
  }
  // A read error would pass for the end of the file; the entries after it
  // would then vanish from the rewritten catalogue.
  if (reader.failed())
    return false;
  whole_ = watch.Whole(entry) && !reader.CutShortByCtrlZ();
  entries_.Seal();
  return true;
}

bool CTextureCatalogue::StoreParsedEntry(const std::string& text) {
  std::string name;
  std::uint32_t id;
  if (!FindEntryName(text, &name) || !FindEntryId(text, &id))
    return false;
  return entries_.Append(id, text);
}

bool FindEntryName(const std::string& text, std::string* name) {
  std::size_t start = text.find("name(");
  if (start == std::string::npos)
    return false;
  start += 5;
  std::size_t end = text.find(')', start);
  if (end == std::string::npos)
    return false;
  name->assign(text, start, end - start);
  return true;
}

bool FindEntryId(const std::string& text, std::uint32_t* id) {
  std::size_t start = text.find("id(");
  if (start == std::string::npos)
    return false;
  start += 3;
  if (text.find(')', start) == std::string::npos)
    return false;
  // The conversion stops at the first non-digit, so never beyond that ")".
  *id = ConvertTextureId(text, start);
  return true;
}

std::uint32_t ConvertTextureId(const std::string& text, std::size_t pos) {
  while (pos < text.size() && IsCatalogueSpace(text[pos]))
    ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  std::uint32_t value = 0;
  for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos)
    value = value * 10u + static_cast<std::uint32_t>(text[pos] - '0');
  return negative ? 0u - value : value;
}
