#include "tool/zip_writer.h"

namespace {

const std::uint64_t kLimit = 0xFFFFFFFFu;

struct CrcTable {
  std::uint32_t value[256];
  CrcTable() {
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k)
        c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      value[n] = c;
    }
  }
};

void Le16(std::string* out, std::uint32_t v) {
  out->push_back(static_cast<char>(v & 0xFF));
  out->push_back(static_cast<char>(v >> 8 & 0xFF));
}

void Le32(std::string* out, std::uint32_t v) {
  Le16(out, v & 0xFFFF);
  Le16(out, v >> 16);
}

bool IsAscii(const std::string& name) {
  for (char c : name) {
    if (static_cast<unsigned char>(c) >= 0x80)
      return false;
  }
  return true;
}

// The fields that the local and the central header share, from "version
// needed" to the name's length, with no extra field.
std::string CommonFields(const std::string& name, std::uint32_t dos_time, std::uint32_t crc,
                         std::uint32_t size) {
  std::string out;
  Le16(&out, 10);                            // version 1.0 suffices for stored data
  Le16(&out, IsAscii(name) ? 0 : 1u << 11);  // bit 11: the name is UTF-8
  Le16(&out, 0);                             // stored
  Le32(&out, dos_time);
  Le32(&out, crc);
  Le32(&out, size);
  Le32(&out, size);
  Le16(&out, static_cast<std::uint32_t>(name.size()));
  Le16(&out, 0);
  return out;
}

}  // namespace

std::uint32_t Crc32(std::uint32_t crc, const void* data, std::size_t size) {
  static const CrcTable table;
  const unsigned char* p = static_cast<const unsigned char*>(data);
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i)
    crc = table.value[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

bool ZipWriter::Put(const char* data, std::size_t size) {
  if (!out_.Write(data, size)) {
    error_ = "the zip could not be written";
    return false;
  }
  offset_ += size;
  return true;
}

bool ZipWriter::Put(const std::string& bytes) {
  return Put(bytes.data(), bytes.size());
}

bool ZipWriter::EndEntry() {
  if (!entries_.empty() && written_in_entry_ != entries_.back().size) {
    error_ = "'" + entries_.back().name + "' changed while it was packed";
    return false;
  }
  return true;
}

bool ZipWriter::Begin(const std::string& name, std::uint32_t dos_time, std::uint32_t crc,
                      std::uint64_t size) {
  if (!EndEntry())
    return false;
  std::uint64_t end = offset_ + 30 + name.size() + size;
  if (entries_.size() == 0xFFFF || name.size() > 0xFFFF || end >= kLimit) {
    error_ = "the zip would pass 4 GiB or 65,535 files at '" + name +
             "', more than a zip without its 64-bit extension holds";
    return false;
  }
  entries_.push_back(
      {name, dos_time, crc, static_cast<std::uint32_t>(size), static_cast<std::uint32_t>(offset_)});
  written_in_entry_ = 0;
  std::string header;
  Le32(&header, 0x04034b50);
  return Put(header + CommonFields(name, dos_time, crc, static_cast<std::uint32_t>(size)) + name);
}

bool ZipWriter::Write(const char* data, std::size_t size) {
  written_in_entry_ += size;
  if (entries_.empty() || written_in_entry_ > entries_.back().size) {
    error_ = "'" + (entries_.empty() ? std::string() : entries_.back().name) +
             "' changed while it was packed";
    return false;
  }
  return Put(data, size);
}

bool ZipWriter::Finish() {
  if (!EndEntry())
    return false;
  std::string central;
  for (const Entry& e : entries_) {
    Le32(&central, 0x02014b50);
    Le16(&central, 20);  // made by: MS-DOS attributes (none set), version 2.0
    central += CommonFields(e.name, e.dos_time, e.crc, e.size);
    Le16(&central, 0);  // comment
    Le16(&central, 0);  // disk
    Le16(&central, 0);  // internal attributes
    Le32(&central, 0);  // external attributes
    Le32(&central, e.offset);
    central += e.name;
  }
  if (offset_ + central.size() + 22 >= kLimit) {
    error_ = "the zip would pass 4 GiB, more than a zip without its 64-bit extension holds";
    return false;
  }
  std::string end;
  Le32(&end, 0x06054b50);
  Le32(&end, 0);  // this disk, and the one where the directory starts
  Le16(&end, static_cast<std::uint32_t>(entries_.size()));
  Le16(&end, static_cast<std::uint32_t>(entries_.size()));
  Le32(&end, static_cast<std::uint32_t>(central.size()));
  Le32(&end, static_cast<std::uint32_t>(offset_));
  Le16(&end, 0);  // comment
  return Put(central + end);
}
