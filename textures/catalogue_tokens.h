// The two layers beneath the catalogue's reader, shared by Load and by the
// check that an added entry reads back as itself:
// - CatalogueTokenizer splits a character stream into tokens: each of
//   "{}()" is a token of its own, every other run of non-whitespace is one
//   word, and whitespace is dropped.
// - EntryAssembler applies the nesting and tab rules by which tokens become
//   normalised entry texts.
#ifndef PACKWRIGHT_TEXTURES_CATALOGUE_TOKENS_H_
#define PACKWRIGHT_TEXTURES_CATALOGUE_TOKENS_H_

#include <cstddef>
#include <string>

// Space, tab, line feed, carriage return, vertical tab and form feed; bytes
// of 0x80 and above are ordinary characters.
inline bool IsCatalogueSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// `Source` offers bool Get(char*), false at the end of the input.
template <typename Source>
class CatalogueTokenizer {
 public:
  explicit CatalogueTokenizer(Source& source) : source_(source) {}

  // Stores the next token in `*token`; false at the end of the input. A word
  // is read from the source whole and handed out piece by piece: the word
  // Textur{name(Kies) yields Textur, {, name, (, Kies and ) in six calls.
  bool Next(std::string* token) {
    while (pos_ == pending_.size()) {
      if (!ReadWord())
        return false;
    }
    std::size_t mark = pending_.find_first_of("{}()", pos_);
    std::size_t end = mark == pos_ ? pos_ + 1 : mark;
    if (end == std::string::npos)
      end = pending_.size();
    token->assign(pending_, pos_, end - pos_);
    pos_ = end;
    return true;
  }

 private:
  // Reads the next word, skipping whitespace before it; false at the end of
  // the input.
  bool ReadWord() {
    pending_.clear();
    pos_ = 0;
    char c;
    do {
      if (!source_.Get(&c))
        return false;
    } while (IsCatalogueSpace(c));
    do {
      pending_ += c;
    } while (source_.Get(&c) && !IsCatalogueSpace(c));
    return true;
  }

  Source& source_;
  std::string pending_;
  std::size_t pos_ = 0;
};

// Reads a string as a token source.
class StringSource {
 public:
  explicit StringSource(const std::string& text) : text_(text) {}
  bool Get(char* c) {
    if (pos_ == text_.size())
      return false;
    *c = text_[pos_++];
    return true;
  }

 private:
  const std::string& text_;
  std::size_t pos_ = 0;
};

// Builds entry texts from tokens. At depth 0 nothing is taken; ")" puts a
// tab into the text at every depth, "{" puts one in unless it opens the
// outermost block, and "(" and "}" get none. The text is emptied only by
// ClearText(), so words between entries lead the next entry's text.
class EntryAssembler {
 public:
  explicit EntryAssembler(int depth) : depth_(depth) {}

  // Takes one token. True when it is a "}" that closed an entry, that is,
  // brought the depth back to 1; the entry's text is then text().
  bool Take(const std::string& token);

  int depth() const { return depth_; }
  const std::string& text() const { return text_; }
  void ClearText() { text_.clear(); }

 private:
  int depth_;
  std::string text_;
};

inline bool EntryAssembler::Take(const std::string& token) {
  if (depth_ != 0)
    text_ += token;
  switch (token[0]) {
    case ')':
      text_ += '\t';
      return false;
    case '{':
      if (depth_ != 0)
        text_ += '\t';
      ++depth_;
      return false;
    case '}':
      --depth_;
      return depth_ == 1;
    default:
      return false;
  }
}

#endif  // PACKWRIGHT_TEXTURES_CATALOGUE_TOKENS_H_
