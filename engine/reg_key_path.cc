#include "engine/reg_key_path.h"

#include <algorithm>

namespace {
const std::uint32_t kStringBufferSize = 260;
}

CRegKeyPath::CRegKeyPath(Registry& registry) : registry_(registry) {}

CRegKeyPath::~CRegKeyPath() {
  Close();
}

bool CRegKeyPath::SetPath(RegKey new_root, const char* path) {
  Close();
  components.clear();
  root = new_root;
  if (!path)
    return false;
  std::string component;
  for (const char* p = path;; ++p) {
    if (*p == '\\' || *p == '\0') {
      if (!component.empty())
        components.push_back(component);
      component.clear();
      if (*p == '\0')
        break;
    } else {
      component.push_back(*p);
    }
  }
  return !components.empty();
}

bool CRegKeyPath::Open(std::uint32_t access) {
  if (components.empty())
    return false;
  Close();
  RegKey parent = root;
  for (const std::string& component : components) {
    RegKey key = 0;
    if (registry_.OpenKey(parent, component, access, &key) != kErrorSuccess) {
      Close();
      return false;
    }
    handles.push_back(key);
    parent = key;
  }
  open = true;
  return true;
}

bool CRegKeyPath::Close() {
  bool ok = true;
  for (auto it = handles.rbegin(); it != handles.rend(); ++it) {
    if (registry_.CloseKey(*it) != kErrorSuccess)
      ok = false;
  }
  handles.clear();
  open = false;
  return ok;
}

bool CRegKeyPath::ReadDword(const std::string& name, std::uint32_t* value) {
  if (!open)
    return false;
  unsigned char data[4] = {0, 0, 0, 0};
  std::uint32_t size = sizeof data;
  std::uint32_t type = 0;
  if (registry_.QueryValue(handles.back(), name, &type, data, &size) != kErrorSuccess)
    return false;
  if (type != kRegDword && type != kRegDwordBigEndian)
    return false;
  // The bytes as stored, in the machine's own order.
  *value = static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
           static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
  return true;
}

bool CRegKeyPath::ReadString(const std::string& name, std::string* value) {
  if (!open)
    return false;
  char data[kStringBufferSize];
  std::uint32_t size = kStringBufferSize;
  std::uint32_t type = 0;
  if (registry_.QueryValue(handles.back(), name, &type, reinterpret_cast<unsigned char*>(data),
                           &size) != kErrorSuccess)
    return false;
  if (type != kRegSz && type != kRegExpandSz && type != kRegMultiSz)
    return false;
  // A value stored without its terminating NUL comes back without one: read
  // no further than the returned size.
  char* end = data + std::min(size, kStringBufferSize);
  value->assign(data, std::find(data, end, '\0'));
  return true;
}

bool CRegKeyPath::WriteDword(const std::string& name, std::uint32_t value) {
  if (!open)
    return false;
  return registry_.SetDword(handles.back(), name, value) == kErrorSuccess;
}
