#include <windows.h>

#include "platform/system_win32.h"

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

class Win32RegistryImpl : public Registry {
 public:
  long OpenKey(RegKey parent, const std::string& name, std::uint32_t access, RegKey* out) override {
    HKEY opened = nullptr;
    LONG rc = RegOpenKeyExA(ToHkey(parent), name.c_str(), 0, access, &opened);
    if (rc == ERROR_SUCCESS)
      *out = reinterpret_cast<RegKey>(opened);
    return rc;
  }

  long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, unsigned char* data,
                  std::uint32_t* size) override {
    DWORD value_type = 0;
    DWORD value_size = *size;
    LONG rc = RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &value_type, data, &value_size);
    *type = value_type;
    *size = value_size;
    return rc;
  }

  long SetDword(RegKey key, const std::string& name, std::uint32_t value) override {
    DWORD dword = value;
    return RegSetValueExA(ToHkey(key), name.c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&dword), sizeof(dword));
  }

  long CloseKey(RegKey key) override { return RegCloseKey(ToHkey(key)); }
};

}  // namespace

Registry& Win32Registry() {
  static Win32RegistryImpl registry;
  return registry;
}
