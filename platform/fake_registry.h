// An in-memory registry: keys and value names compare without regard to
// ASCII case, as Windows compares them. Every call is one call of
// FakeFaults, logged as "OpenKey(HKEY_CLASSES_ROOT\Software, 0x20019)",
// "QueryValue(key, name)", "SetDword(key, name)" or "CloseKey(key)"; a call
// made to fail returns kErrorAccessDenied (CloseKey: kErrorInvalidHandle).
#ifndef PACKWRIGHT_PLATFORM_FAKE_REGISTRY_H_
#define PACKWRIGHT_PLATFORM_FAKE_REGISTRY_H_

#include <cstdint>
#include <map>
#include <string>

#include "platform/fake_faults.h"
#include "platform/registry.h"

class FakeRegistry : public Registry, public FakeFaults {
 public:
  struct Value {
    std::uint32_t type = 0;
    std::string bytes;
  };

  // Set-up; `key` is a full path such as
  // "HKEY_CLASSES_ROOT\Software\Brindlewood\KSVX". Setting a value creates
  // the key and its parents.
  void AddKey(const std::string& key);
  void SetString(const std::string& key, const std::string& name, const std::string& text,
                 std::uint32_t type = kRegSz);
  void SetRaw(const std::string& key, const std::string& name, std::uint32_t type,
              const std::string& bytes);
  void SetDwordValue(const std::string& key, const std::string& name, std::uint32_t value);
  // Null when there is no such key or value.
  const Value* Get(const std::string& key, const std::string& name);

  int open_keys() const { return static_cast<int>(handles_.size()); }

  long OpenKey(RegKey parent, const std::string& name, std::uint32_t access, RegKey* out) override;
  long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, unsigned char* data,
                  std::uint32_t* size) override;
  long SetDword(RegKey key, const std::string& name, std::uint32_t value) override;
  long CloseKey(RegKey key) override;

 private:
  struct Handle {
    std::string key;  // as the caller spelled it
    std::uint32_t access;
  };

  // By lower-case key path, then by lower-case value name.
  std::map<std::string, std::map<std::string, Value>> keys_;
  std::map<RegKey, Handle> handles_;
  RegKey next_handle_ = 0x1000;
};

#endif  // PACKWRIGHT_PLATFORM_FAKE_REGISTRY_H_
