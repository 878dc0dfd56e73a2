#include "engine/install_script.h"

#include <utility>

void ScriptPosCounter::Advance(char c) {
  static const char kBom[] = "\xEF\xBB\xBF";
  if (offset_++ == bom_bytes_ && bom_bytes_ < 3 && c == kBom[bom_bytes_]) {
    ++bom_bytes_;
    return;
  }
  if (c == '\r' || (c == '\n' && last_ != '\r')) {
    ++pos_.line;
    pos_.column = 1;
  } else if (c != '\n') {
    ++pos_.column;
  }
  last_ = c;
}

ScriptPos PosInText(const std::string& text, std::size_t offset) {
  ScriptPosCounter counter;
  for (std::size_t i = 0; i < offset && i < text.size(); ++i)
    counter.Advance(text[i]);
  return counter.pos();
}

CInstallScript::CInstallScript(FileSystem& files) : files_(files) {}

CInstallScript::~CInstallScript() {
  Close();
}

bool CInstallScript::CheckOpen(const std::string& path) {
  Close();
  scriptPath = path;
  std::string err;
  return files_.OpenRead(scriptPath, &err) != nullptr;
}

bool CInstallScript::Reopen() {
  Close();
  std::string err;
  std::unique_ptr<InputFile> file = files_.OpenRead(scriptPath, &err);
  // The script opened when the run began, so failing now is a fault, not
  // a script without this section.
  reopen_failed_ = !file;
  if (!file)
    return false;
  stream = std::make_unique<TextReader>(std::move(file));
  eof_ = false;
  counter_ = ScriptPosCounter();
  return true;
}

bool CInstallScript::FindSection(const std::string& name) {
  if (!Reopen())
    return false;
  // The word is compared before the end of the file is tested, so that a
  // name standing last in the file is still found.
  ScriptPos at;
  for (std::string word = ReadWord(&at); word != name; word = ReadWord(&at)) {
    if (eof_)
      return false;
  }
  name_pos_ = at;
  end_ = SectionEnd::kEndOfInput;
  end_pos_ = ScriptPos();
  opening_ = '\0';
  opening_pos_ = ScriptPos();
  char opening;
  if (PeekSignificant(&opening)) {
    // Taken as the block's "{" without a look.
    opening_pos_ = pos();
    Take(&opening_);
  }
  return true;
}

bool CInstallScript::NextEntry(std::string* text) {
  ScriptPos at;
  return ReadEntry(text, nullptr, &at);
}

bool CInstallScript::NextEntry(ScriptEntry* entry) {
  return ReadEntry(&entry->text, &entry->raw, &entry->pos);
}

bool CInstallScript::ReadEntry(std::string* text, std::string* raw, ScriptPos* at) {
  text->clear();
  if (raw)
    raw->clear();
  char c;
  if (!PeekSignificant(&c))
    return false;
  *at = pos();
  Take(&c);
  if (c != '{') {
    end_ = c == '}' ? SectionEnd::kClosed : SectionEnd::kStray;
    end_pos_ = *at;
    return false;
  }
  capture_ = raw;
  int depth = 1;
  while (ReadSignificant(&c)) {
    if (c == '{') {
      ++depth;
    } else if (c == '}' && --depth == 0) {
      capture_ = nullptr;
      if (raw)
        raw->pop_back();
      return true;
    }
    text->push_back(c);
  }
  capture_ = nullptr;
  end_ = SectionEnd::kUnclosedEntry;  // Not closed before the end of the file.
  end_pos_ = *at;
  return false;
}

bool CInstallScript::Close() {
  stream.reset();
  return true;
}

bool CInstallScript::ReadTopLevelWords(std::vector<ScriptWord>* words) {
  words->clear();
  if (!Reopen())
    return false;
  do {
    ScriptWord word;
    word.text = ReadWord(&word.pos);
    if (!word.text.empty())
      words->push_back(word);
  } while (!eof_);
  return !stream->failed();
}

bool CInstallScript::Take(char* c) {
  if (!stream->Get(c))
    return false;
  counter_.Advance(*c);
  if (capture_)
    capture_->push_back(*c);
  return true;
}

bool CInstallScript::PeekSignificant(char* c) {
  if (stream) {
    while (stream->Peek(c)) {
      if (!IsScriptBlank(*c))
        return true;
      Take(c);
    }
  }
  eof_ = true;
  return false;
}

bool CInstallScript::ReadSignificant(char* c) {
  return PeekSignificant(c) && Take(c);
}

bool CInstallScript::PeekBrace() {
  char c;
  return PeekSignificant(&c) && IsScriptBrace(c);
}

void CInstallScript::SkipBlock() {
  int depth = 0;
  char c;
  while (ReadSignificant(&c)) {
    if (c == '{')
      ++depth;
    else if (c == '}')
      --depth;
    if (depth < 1)
      return;
  }
}

std::string CInstallScript::ReadToken(ScriptPos* at) {
  std::string token;
  char c;
  while (!eof_ && PeekSignificant(&c) && !IsScriptBrace(c)) {
    if (token.empty())
      *at = pos();
    Take(&c);
    token.push_back(c);
  }
  return token;
}

std::string CInstallScript::ReadWord(ScriptPos* at) {
  if (eof_)
    return std::string();
  if (PeekBrace())
    SkipBlock();
  return ReadToken(at);
}
