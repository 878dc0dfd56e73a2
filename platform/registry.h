// The registry, reduced to the four calls that Packwright makes. Results are
// Windows error codes (kErrorSuccess on success), so that the Win32 layer is
// a plain pass-through and the other layers behave alike. Each call below
// names the codes that the POSIX layer and the fake return; the Win32 layer
// may return any other system code as well, so callers take every code but
// kErrorSuccess as failure. A call given a key that is neither a root (for
// OpenKey) nor open in this registry returns kErrorInvalidHandle.
#ifndef PACKWRIGHT_PLATFORM_REGISTRY_H_
#define PACKWRIGHT_PLATFORM_REGISTRY_H_

#include <cstdint>
#include <string>

#include "platform/win_constants.h"

// The four bytes of REG_DWORD `value` as the registry stores them, least
// significant first.
inline std::string DwordBytes(std::uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i)
    bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}

class Registry {
 public:
  virtual ~Registry() = default;

  // Opens the subkey `name` (one level, no backslash) of `parent`, which is
  // a root such as kHkeyClassesRoot or a key this registry opened, with the
  // given access rights. On success stores the new key in `*out`.
  // kErrorFileNotFound when there is no such key (POSIX: also when the store
  // is missing or not a registry file); kErrorAccessDenied when write access
  // is asked for a key that may not be written.
  virtual long OpenKey(RegKey parent, const std::string& name, std::uint32_t access,
                       RegKey* out) = 0;

  // Reads value `name` of `key` as RegQueryValueExA does: stores its type in
  // `*type` and up to `*size` bytes in `data`, and sets `*size` to the
  // value's length. kErrorMoreData when the buffer is too small (then `data`
  // holds nothing useful); kErrorFileNotFound when there is no such value.
  // A string value may come back without a terminating NUL. With a null
  // `data` only the size is asked for.
  virtual long QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                          unsigned char* data, std::uint32_t* size) = 0;

  // Stores `value` as REG_DWORD under `name`, creating or replacing it.
  // kErrorAccessDenied when `key` was opened without the right to set values
  // or the store cannot be written; the value is then unchanged. The POSIX
  // layer gives kErrorFileNotFound when the key has gone from the store.
  virtual long SetDword(RegKey key, const std::string& name, std::uint32_t value) = 0;

  // Closes a key this registry opened.
  virtual long CloseKey(RegKey key) = 0;
};

#endif  // PACKWRIGHT_PLATFORM_REGISTRY_H_
