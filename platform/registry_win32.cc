#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/system_win32.h"
#include "platform/wide_win32.h"

namespace {

// Our roots carry the 32-bit values of the predefined keys; the HKEY
// constants are those values sign-extended, which differs on 64-bit Windows.
HKEY ToHkey(RegKey key) {
  switch (key) {
    case kHkeyClassesRoot:
      return HKEY_CLASSES_ROOT;
    case kHkeyCurrentUser:
      return HKEY_CURRENT_USER;
    case kHkeyLocalMachine:
      return HKEY_LOCAL_MACHINE;
    default:
      return reinterpret_cast<HKEY>(key);
  }
}

bool IsStringType(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// Reads the whole of a value through RegQueryValueExW, a string value
// converted to UTF-8 (terminating NULs included, as stored).
LONG ReadWholeValue(HKEY key, const std::wstring& name, DWORD* type, std::string* value) {
  std::vector<BYTE> raw(256);
  for (;;) {
    DWORD size = static_cast<DWORD>(raw.size());
    LONG rc = RegQueryValueExW(key, name.c_str(), nullptr, type, raw.data(), &size);
    if (rc == ERROR_MORE_DATA) {
      raw.resize(static_cast<std::size_t>(size) + 2);
      continue;
    }
    if (rc != ERROR_SUCCESS)
      return rc;
    raw.resize(size);
    break;
  }
  if (!IsStringType(*type)) {
    value->assign(raw.begin(), raw.end());
    return ERROR_SUCCESS;
  }
  // An odd last byte is no character; it is dropped.
  std::wstring wide(raw.size() / 2, L'\0');
  std::memcpy(&wide[0], raw.data(), wide.size() * 2);
  *value = Narrow(wide);
  return ERROR_SUCCESS;
}

class Win32RegistryImpl : public Registry {
 public:
  long OpenKey(RegKey parent, const std::string& name, std::uint32_t access, RegKey* out) override {
    HKEY opened = nullptr;
    LONG rc = RegOpenKeyExW(ToHkey(parent), Widen(name).c_str(), 0, access, &opened);
    if (rc == ERROR_SUCCESS)
      *out = reinterpret_cast<RegKey>(opened);
    return rc;
  }

  long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, unsigned char* data,
                  std::uint32_t* size) override {
    DWORD value_type = 0;
    std::string value;
    LONG rc = ReadWholeValue(ToHkey(key), Widen(name), &value_type, &value);
    if (rc != ERROR_SUCCESS)
      return rc;
    *type = value_type;
    std::uint32_t room = *size;
    *size = static_cast<std::uint32_t>(value.size());
    if (!data)
      return ERROR_SUCCESS;
    if (value.size() > room)
      return ERROR_MORE_DATA;
    std::memcpy(data, value.data(), value.size());
    return ERROR_SUCCESS;
  }

  long SetDword(RegKey key, const std::string& name, std::uint32_t value) override {
    DWORD dword = value;
    return RegSetValueExW(ToHkey(key), Widen(name).c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&dword), sizeof(dword));
  }

  long CloseKey(RegKey key) override { return RegCloseKey(ToHkey(key)); }
};

}  // namespace

Registry& Win32Registry() {
  static Win32RegistryImpl registry;
  return registry;
}
