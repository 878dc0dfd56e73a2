#include "textures/texture_catalogue.h"

#include <cstring>
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
  void Before(std::string_view token, int depth) {
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

// Where the text after the first `word` + "(" in `text` starts, or npos.
// Such a word ends at a "(", so only those are looked at.
template <std::size_t N>
std::size_t AfterCall(std::string_view text, const char (&word)[N]) {
  const std::size_t size = N - 1;
  for (std::size_t open = text.find('('); open != std::string_view::npos;
       open = text.find('(', open + 1)) {
    if (open >= size && std::memcmp(text.data() + open - size, word, size) == 0)
      return open + 1;
  }
  return std::string_view::npos;
}

// Checks an entry's text as the file format asks and stores it; false when
// the entry lacks its name or id.
bool StoreEntry(EntryTable& table, std::string_view text) {
  // FindEntryName's and FindEntryId's rule without copying the name: each
  // needs a ")" somewhere after it, so the last ")" answers for both.
  std::size_t name = AfterCall(text, "name");
  std::size_t id = AfterCall(text, "id");
  std::size_t last_close = text.rfind(')');
  if (last_close == std::string_view::npos || last_close < name || last_close < id)
    return false;
  return table.Append(ConvertTextureId(text, id), text);
}

// Turns the file's text, piece by piece, into entries in `table`. An entry
// that stands in the file as it is to be stored is taken whole; everything
// else, up to the end of its line, goes token by token.
class EntryReader {
 public:
  explicit EntryReader(EntryTable& table) : table_(table) {}

  // False when an entry lacks its name or id; the load then fails.
  bool Feed(std::string_view piece);
  // Takes what is still held at the end of the input.
  bool Finish() {
    return tokens_.Finish([this](std::string_view token) { return Take(token); });
  }
  bool Whole() const { return watch_.Whole(entry_); }

 private:
  bool Take(std::string_view token);
  // At depth 1, with nothing gathered for the next entry.
  bool BetweenEntries() const {
    return entry_.depth() == 1 && entry_.text().empty() && !tokens_.holding();
  }

  EntryTable& table_;
  CatalogueTokenizer tokens_;
  EntryAssembler entry_{0};
  LossWatch watch_;
};

bool EntryReader::Feed(std::string_view piece) {
  while (!piece.empty()) {
    if (BetweenEntries()) {
      std::size_t blank = 0;
      while (blank < piece.size() && IsCatalogueSpace(piece[blank]))
        ++blank;
      piece.remove_prefix(blank);
      std::size_t length = NormalEntryLength(piece);
      if (length != 0) {
        if (!StoreEntry(table_, piece.substr(0, length)))
          return false;
        piece.remove_prefix(length);
        continue;
      }
    }
    std::size_t line_end = piece.find('\n');
    std::size_t line = line_end == std::string_view::npos ? piece.size() : line_end + 1;
    if (!tokens_.Feed(piece.substr(0, line),
                      [this](std::string_view token) { return Take(token); }))
      return false;
    piece.remove_prefix(line);
  }
  return true;
}

bool EntryReader::Take(std::string_view token) {
  int before = entry_.depth();
  watch_.Before(token, before);
  bool closed = entry_.Take(token);
  if (before == 1 && entry_.depth() == 0)
    watch_.OuterClosed(entry_.text());
  if (!closed)
    return true;
  bool stored = StoreEntry(table_, entry_.text());
  entry_.ClearText();
  return stored;
}

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
  EntryReader entries(entries_);
  std::string_view piece;
  while (reader.ReadPiece(&piece)) {
    if (!entries.Feed(piece))
      return false;
  }
  if (!entries.Finish())
    return false;
  // A read error would pass for the end of the file; the entries after it
  // would then vanish from the rewritten catalogue.
  if (reader.failed())
    return false;
  whole_ = entries.Whole() && !reader.CutShortByCtrlZ();
  entries_.Seal();
  return true;
}

bool FindEntryName(std::string_view text, std::string* name) {
  std::size_t start = AfterCall(text, "name");
  if (start == std::string_view::npos)
    return false;
  std::size_t end = text.find(')', start);
  if (end == std::string_view::npos)
    return false;
  name->assign(text, start, end - start);
  return true;
}

bool FindEntryId(std::string_view text, std::uint32_t* id) {
  std::size_t start = AfterCall(text, "id");
  if (start == std::string_view::npos)
    return false;
  if (text.find(')', start) == std::string_view::npos)
    return false;
  // The conversion stops at the first non-digit, so never beyond that ")".
  *id = ConvertTextureId(text, start);
  return true;
}

std::uint32_t ConvertTextureId(std::string_view text, std::size_t pos) {
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
