// A registry file in the format that the Windows registry editor exports,
// read into memory and written back with every untouched line as it was.
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CLASSES_ROOT\Software\Brindlewood\KSVX]
//   "AppPath"="D:\\Sim\\Kestrova.exe"
//   "Scan"=dword:00000001
//
// Values: "text" (REG_SZ; \\ and \" are escapes), dword:0000000a (REG_DWORD),
// hex:.. (REG_BINARY) and hex(n):.. (type n, comma-separated bytes, lines
// continued with a trailing backslash). The bytes of hex(1), hex(2) and
// hex(7) (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) are UTF-16LE, as exported;
// they are handed out as UTF-8. @ names the default value, "name"=- deletes
// a value; lines starting with ";" and the sections of deleted keys
// ([-HKEY_...]) mean nothing. The file may be UTF-8,
// with or without a byte-order mark, or UTF-16LE with its byte-order mark.
//
// Key paths and value names compare without regard to ASCII case. A line
// that does not parse is kept but means nothing; a file without the header
// line holds no keys at all.
#ifndef PACKWRIGHT_PLATFORM_REG_FILE_H_
#define PACKWRIGHT_PLATFORM_REG_FILE_H_

#include <cstdint>
#include <string>
#include <vector>

struct RegValue {
  std::uint32_t type = 0;
  // The bytes RegQueryValueExA hands out; strings end with their NUL as
  // stored.
  std::string data;
};

class RegFile {
 public:
  // Reads a file's bytes, replacing what was held. False when they are not
  // a registry file (no header line, or broken UTF-16); it then holds
  // nothing.
  bool Parse(const std::string& bytes);

  // True when `key` ("HKEY_CLASSES_ROOT\Software\X") is listed, or any key
  // below it is.
  bool HasKey(const std::string& key) const;

  // The value `name` of `key` ("" for the default value); null when absent. Where a value is listed
  // more than once, the last one counts.
  const RegValue* Find(const std::string& key, const std::string& name) const;

  // Stores `value` as REG_DWORD `name` of `key`: rewrites the line that
  // holds the value, or adds a line after the last value of the key's
  // section, or adds a section for the key at the end. Does nothing when
  // nothing was parsed.
  void SetDword(const std::string& key, const std::string& name, std::uint32_t value);

  // The file's bytes, in the encoding it was read in.
  std::string Serialize() const;

 private:
  enum class Encoding { kUtf8, kUtf8Bom, kUtf16 };
  enum class Kind { kOther, kKey, kValue };
  struct Line {
    std::string text;  // UTF-8, continuation lines and line ending included
    Kind kind = Kind::kOther;
    std::string key;             // lower case: the section's key (kKey, kValue)
    std::string name;            // lower case value name; "" for @
    std::size_t data_start = 0;  // offset of the data after "="
    bool deleted = false;
    RegValue value;
  };

  static void ParseValueLine(Line* line, const std::string& section);
  int FindValueLine(const std::string& key, const std::string& name) const;
  int FindSection(const std::string& key) const;
  void InsertLine(std::size_t at, const std::string& text);

  Encoding encoding_ = Encoding::kUtf8;
  std::string newline_ = "\r\n";
  std::vector<Line> lines_;
};

#endif  // PACKWRIGHT_PLATFORM_REG_FILE_H_
