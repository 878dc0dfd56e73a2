#include "platform/fake_registry.h"

#include <cstdio>
#include <cstring>

#include "platform/paths.h"

void FakeRegistry::AddKey(const std::string& key) {
  std::string lower = LowerAscii(key);
  for (std::size_t pos = lower.find('\\'); pos != std::string::npos;
       pos = lower.find('\\', pos + 1))
    keys_[lower.substr(0, pos)];
  keys_[lower];
}

void FakeRegistry::SetRaw(const std::string& key, const std::string& name, std::uint32_t type,
                          const std::string& bytes) {
  AddKey(key);
  keys_[LowerAscii(key)][LowerAscii(name)] = Value{type, bytes};
}

void FakeRegistry::SetString(const std::string& key, const std::string& name,
                             const std::string& text, std::uint32_t type) {
  SetRaw(key, name, type, text + std::string(1, '\0'));
}

void FakeRegistry::SetDwordValue(const std::string& key, const std::string& name,
                                 std::uint32_t value) {
  SetRaw(key, name, kRegDword, DwordBytes(value));
}

const FakeRegistry::Value* FakeRegistry::Get(const std::string& key, const std::string& name) {
  auto k = keys_.find(LowerAscii(key));
  if (k == keys_.end())
    return nullptr;
  auto v = k->second.find(LowerAscii(name));
  return v == k->second.end() ? nullptr : &v->second;
}

long FakeRegistry::OpenKey(RegKey parent, const std::string& name, std::uint32_t access,
                           RegKey* out) {
  std::string base;
  if (parent == kHkeyClassesRoot)
    base = "HKEY_CLASSES_ROOT";
  else if (parent == kHkeyCurrentUser)
    base = "HKEY_CURRENT_USER";
  else if (parent == kHkeyLocalMachine)
    base = "HKEY_LOCAL_MACHINE";
  else if (handles_.count(parent))
    base = handles_[parent].key;
  else
    return kErrorInvalidHandle;
  std::string key = base + "\\" + name;
  char rights[16];
  std::snprintf(rights, sizeof rights, "%#x", static_cast<unsigned>(access));
  if (Fails("OpenKey", key + ", " + rights))
    return kErrorAccessDenied;
  if (!keys_.count(LowerAscii(key)) || name.empty() || name.find('\\') != std::string::npos)
    return kErrorFileNotFound;
  *out = next_handle_++;
  handles_[*out] = Handle{key, access};
  return kErrorSuccess;
}

long FakeRegistry::QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                              unsigned char* data, std::uint32_t* size) {
  auto h = handles_.find(key);
  if (h == handles_.end())
    return kErrorInvalidHandle;
  if (Fails("QueryValue", h->second.key + ", " + name))
    return kErrorAccessDenied;
  const Value* value = Get(h->second.key, name);
  if (!value)
    return kErrorFileNotFound;
  *type = value->type;
  std::uint32_t needed = static_cast<std::uint32_t>(value->bytes.size());
  bool fits = data && *size >= needed;
  if (fits)
    std::memcpy(data, value->bytes.data(), needed);
  std::uint32_t given = *size;
  *size = needed;
  if (data && given < needed)
    return kErrorMoreData;
  return kErrorSuccess;
}

long FakeRegistry::SetDword(RegKey key, const std::string& name, std::uint32_t value) {
  auto h = handles_.find(key);
  if (h == handles_.end())
    return kErrorInvalidHandle;
  if (Fails("SetDword", h->second.key + ", " + name) ||
      (h->second.access & 0x2) == 0)  // KEY_SET_VALUE
    return kErrorAccessDenied;
  SetDwordValue(h->second.key, name, value);
  return kErrorSuccess;
}

long FakeRegistry::CloseKey(RegKey key) {
  auto h = handles_.find(key);
  if (h == handles_.end())
    return kErrorInvalidHandle;
  bool fail = Fails("CloseKey", h->second.key);
  handles_.erase(h);
  return fail ? kErrorInvalidHandle : kErrorSuccess;
}
