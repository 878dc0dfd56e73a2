// The two layers beneath the catalogue's reader, shared by Load and by the
// check that an added entry reads back as itself:
// - CatalogueTokenizer splits text into tokens: each of "{}()" is a token of
//   its own, every other run of non-whitespace is one word, and whitespace
//   is dropped.
// - EntryAssembler applies the nesting and tab rules by which tokens become
//   normalised entry texts.
#ifndef PACKWRIGHT_TEXTURES_CATALOGUE_TOKENS_H_
#define PACKWRIGHT_TEXTURES_CATALOGUE_TOKENS_H_

#include <cstddef>
#include <string>
#include <string_view>

// Space, tab, line feed, carriage return, vertical tab and form feed; bytes
// of 0x80 and above are ordinary characters.
constexpr bool IsCatalogueSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The characters that end a word, whitespace and "{}()", marked in a table
// because every byte of a catalogue is looked up in it.
struct CatalogueWordEnds {
  constexpr CatalogueWordEnds() : ends() {
    for (int c = 0; c < 256; ++c)
      ends[c] =
          IsCatalogueSpace(static_cast<char>(c)) || c == '{' || c == '}' || c == '(' || c == ')';
  }
  bool ends[256];
};
inline constexpr CatalogueWordEnds kCatalogueWordEnds;

inline bool EndsCatalogueWord(char c) {
  return kCatalogueWordEnds.ends[static_cast<unsigned char>(c)];
}

// Takes the input in pieces of any size and hands out its tokens; a word cut
// by the end of a piece is held until the next piece or Finish. Whitespace
// carries no meaning, so a CR before LF may stay in the input.
class CatalogueTokenizer {
 public:
  // Calls take(token) with each token that `piece` completes, as a
  // std::string_view valid during that call only. Stops at the first take
  // that returns false, and then returns false.
  template <typename Take>
  bool Feed(std::string_view piece, Take take);
  // Hands out the word held back at the end of the input; the result of
  // take, or true when there was none.
  template <typename Take>
  bool Finish(Take take);
  // True while a word cut by the end of a piece is held.
  bool holding() const { return !held_.empty(); }

 private:
  std::string held_;
};

template <typename Take>
bool CatalogueTokenizer::Feed(std::string_view piece, Take take) {
  const std::size_t n = piece.size();
  std::size_t i = 0;
  if (!held_.empty()) {
    while (i < n && !EndsCatalogueWord(piece[i]))
      ++i;
    held_.append(piece.data(), i);
    if (i == n)
      return true;
    if (!Finish(take))
      return false;
  }
  while (i < n) {
    char c = piece[i];
    if (IsCatalogueSpace(c)) {
      ++i;
      continue;
    }
    std::size_t start = i++;
    if (c != '{' && c != '}' && c != '(' && c != ')') {
      while (i < n && !EndsCatalogueWord(piece[i]))
        ++i;
      if (i == n) {
        held_.assign(piece.data() + start, n - start);
        return true;
      }
    }
    if (!take(piece.substr(start, i - start)))
      return false;
  }
  return true;
}

template <typename Take>
bool CatalogueTokenizer::Finish(Take take) {
  if (held_.empty())
    return true;
  bool go_on = take(std::string_view(held_));
  held_.clear();
  return go_on;
}

// Builds entry texts from tokens. At depth 0 nothing is taken; ")" puts a
// tab into the text at every depth, "{" puts one in unless it opens the
// outermost block, and "(" and "}" get none. The text is emptied only by
// ClearText(), so words between entries lead the next entry's text.
class EntryAssembler {
 public:
  explicit EntryAssembler(int depth) : depth_(depth) {}

  // Takes one token. True when it is a "}" that closed an entry, that is,
  // brought the depth back to 1; the entry's text is then text().
  bool Take(std::string_view token);

  int depth() const { return depth_; }
  const std::string& text() const { return text_; }
  void ClearText() { text_.clear(); }

 private:
  int depth_;
  std::string text_;
};

inline bool EntryAssembler::Take(std::string_view token) {
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

// The length of the entry at the start of `text` when it stands there as
// EntryAssembler, at depth 1 with an empty text, would assemble it: no
// whitespace but one tab after each "{" and ")", up to the "}" that brings
// the depth back to 1. Then the assembled text is that span, byte for byte,
// and the tokens need not be looked at one by one; Save writes every entry
// so. 0 when `text` does not start so (whitespace first, a "}" that closes
// the outer block) or ends before that "}".
inline std::size_t NormalEntryLength(std::string_view text) {
  const std::size_t n = text.size();
  int depth = 1;
  for (std::size_t i = 0; i < n;) {
    char c = text[i++];
    if (!EndsCatalogueWord(c) || c == '(')
      continue;
    if (c == '}') {
      if (--depth <= 1)
        return depth == 1 ? i : 0;
      continue;
    }
    if (c == '{')
      ++depth;
    else if (c != ')')
      return 0;  // Whitespace the assembler would drop.
    if (i == n || text[i] != '\t')
      return 0;
    ++i;
  }
  return 0;
}

#endif  // PACKWRIGHT_TEXTURES_CATALOGUE_TOKENS_H_
