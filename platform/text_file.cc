#include "platform/text_file.h"

#include <utility>

namespace {
const std::size_t kBufferSize = 64 * 1024;
}

TextReader::TextReader(std::unique_ptr<InputFile> file) : file_(std::move(file)) {}

bool TextReader::Fill() {
  if (at_end_)
    return false;
  buf_.resize(kBufferSize);
  long got = file_->Read(&buf_[0], buf_.size());
  if (got <= 0) {
    failed_ = got < 0;
    at_end_ = true;
    buf_.clear();
    pos_ = 0;
    return false;
  }
  buf_.resize(static_cast<std::size_t>(got));
  pos_ = 0;
  return true;
}

bool TextReader::RawGet(char* c) {
  if (pos_ >= buf_.size() && !Fill())
    return false;
  *c = buf_[pos_++];
  return true;
}

bool TextReader::Get(char* c) {
  if (has_peeked_) {
    has_peeked_ = false;
    *c = peeked_;
    return true;
  }
  if (ctrl_z_ || !RawGet(c))
    return false;
  if (*c == '\x1a') {
    ctrl_z_ = true;
    return false;
  }
  if (*c == '\r') {
    char next;
    if (!RawGet(&next))
      return true;
    if (next == '\n') {
      *c = '\n';
    } else {
      --pos_;  // RawGet just filled or advanced within buf_, so pos_ > 0.
    }
  }
  return true;
}

bool TextReader::Peek(char* c) {
  if (!has_peeked_) {
    if (!Get(&peeked_))
      return false;
    has_peeked_ = true;
  }
  *c = peeked_;
  return true;
}

bool TextReader::CutShortByCtrlZ() {
  if (!ctrl_z_)
    return false;
  char c;
  while (RawGet(&c)) {
    if (c != ' ' && (c < '\t' || c > '\r'))
      return true;
  }
  return false;
}

TextWriter::TextWriter(std::unique_ptr<OutputFile> file) : file_(std::move(file)) {}

TextWriter::~TextWriter() {
  if (file_)
    file_->Close();
}

void TextWriter::Write(const std::string& text) {
  for (char c : text) {
    if (c == '\n')
      buf_ += '\r';
    buf_ += c;
  }
  if (buf_.size() >= kBufferSize)
    Drain();
}

void TextWriter::Drain() {
  if (ok_ && !buf_.empty())
    ok_ = file_->Write(buf_.data(), buf_.size());
  buf_.clear();
}

bool TextWriter::Finish() {
  Drain();
  if (ok_)
    ok_ = file_->Flush();
  bool closed = file_->Close();
  file_.reset();
  return ok_ && closed;
}

bool ReadTextFile(FileSystem& files, const std::string& path, std::string* text) {
  std::string err;
  std::unique_ptr<InputFile> file = files.OpenRead(path, &err);
  if (!file)
    return false;
  TextReader reader(std::move(file));
  text->clear();
  char c;
  while (reader.Get(&c))
    *text += c;
  return !reader.failed();
}
