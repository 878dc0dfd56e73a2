#include "platform/text_file.h"

#include <cstring>
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

bool TextReader::ReadPiece(std::string_view* piece) {
  if (ctrl_z_ || (pos_ >= buf_.size() && !Fill()))
    return false;
  const char* start = buf_.data() + pos_;
  std::size_t size = buf_.size() - pos_;
  const void* ctrl_z = std::memchr(start, '\x1a', size);
  pos_ = buf_.size();
  if (ctrl_z) {
    ctrl_z_ = true;
    size = static_cast<std::size_t>(static_cast<const char*>(ctrl_z) - start);
    pos_ = static_cast<std::size_t>(start - buf_.data()) + size + 1;
  }
  *piece = std::string_view(start, size);
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

TextWriter::TextWriter(std::unique_ptr<OutputFile> file)
    : file_(std::move(file)), buf_(new char[kSize]) {}

TextWriter::~TextWriter() {
  if (file_)
    file_->Close();
}

void TextWriter::Write(std::string_view text) {
  for (std::size_t lf; (lf = text.find('\n')) != std::string_view::npos;) {
    Put(text.data(), lf);
    Put("\r\n", 2);
    text.remove_prefix(lf + 1);
  }
  Put(text.data(), text.size());
}

void TextWriter::PutAcross(const char* data, std::size_t size) {
  while (size > kSize - used_) {
    std::size_t part = kSize - used_;
    std::memcpy(buf_.get() + used_, data, part);
    used_ = kSize;
    Drain();
    data += part;
    size -= part;
  }
  std::memcpy(buf_.get() + used_, data, size);
  used_ += size;
}

void TextWriter::Drain() {
  if (ok_ && used_ != 0)
    ok_ = file_->Write(buf_.get(), used_);
  used_ = 0;
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
