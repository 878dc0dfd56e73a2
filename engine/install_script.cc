#include "engine/install_script.h"

#include <utility>

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

bool CInstallScript::FindSection(const std::string& name) {
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
  // The word is compared before the end of the file is tested, so that a
  // name standing last in the file is still found.
  for (std::string word = ReadWord(); word != name; word = ReadWord()) {
    if (eof_)
      return false;
  }
  char opening;
  ReadSignificant(&opening);  // Taken as the block's "{" without a look.
  return true;
}

bool CInstallScript::NextEntry(std::string* text) {
  text->clear();
  char c;
  if (!ReadSignificant(&c) || c != '{')
    return false;
  int depth = 1;
  while (ReadSignificant(&c)) {
    if (c == '{') {
      ++depth;
    } else if (c == '}' && --depth == 0) {
      return true;
    }
    text->push_back(c);
  }
  return false;  // Not closed before the end of the file.
}

bool CInstallScript::Close() {
  stream.reset();
  return true;
}

bool CInstallScript::PeekSignificant(char* c) {
  if (stream) {
    while (stream->Peek(c)) {
      if (!IsScriptBlank(*c))
        return true;
      stream->Get(c);
    }
  }
  eof_ = true;
  return false;
}

bool CInstallScript::ReadSignificant(char* c) {
  if (!PeekSignificant(c))
    return false;
  stream->Get(c);
  return true;
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

std::string CInstallScript::ReadToken() {
  std::string token;
  char c;
  while (!eof_ && PeekSignificant(&c) && !IsScriptBrace(c)) {
    stream->Get(&c);
    token.push_back(c);
  }
  return token;
}

std::string CInstallScript::ReadWord() {
  if (eof_)
    return std::string();
  if (PeekBrace())
    SkipBlock();
  return ReadToken();
}
