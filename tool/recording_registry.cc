#include "tool/recording_registry.h"

#include <cstring>

#include "platform/paths.h"

RecordingRegistry::RecordingRegistry(Registry& base) : base_(base) {}

long RecordingRegistry::OpenKey(RegKey parent, const std::string& name, std::uint32_t access,
                                RegKey* out) {
  long result = base_.OpenKey(parent, name, access, out);
  if (result == kErrorSuccess) {
    auto it = key_paths_.find(parent);
    std::string above = it != key_paths_.end() ? it->second + "\\" : std::to_string(parent) + ":";
    key_paths_[*out] = above + name;
  }
  return result;
}

long RecordingRegistry::QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                                   unsigned char* data, std::uint32_t* size) {
  auto it = writes_.find(ValueId(key, name));
  if (it == writes_.end())
    return base_.QueryValue(key, name, type, data, size);
  *type = kRegDword;
  std::uint32_t room = *size;
  *size = 4;
  if (room < 4)
    return kErrorMoreData;
  unsigned char bytes[4];
  for (int i = 0; i < 4; ++i)
    bytes[i] = static_cast<unsigned char>(it->second.value >> (8 * i));
  std::memcpy(data, bytes, 4);
  return kErrorSuccess;
}

long RecordingRegistry::SetDword(RegKey key, const std::string& name, std::uint32_t value) {
  std::string id = ValueId(key, name);
  auto it = writes_.find(id);
  if (it == writes_.end()) {
    Write write;
    write.key = key_paths_.count(key) ? key_paths_[key] : std::string();
    write.name = name;
    std::uint32_t type = 0;
    unsigned char bytes[4];
    std::uint32_t size = sizeof(bytes);
    if (base_.QueryValue(key, name, &type, bytes, &size) == kErrorSuccess && type == kRegDword &&
        size == 4) {
      write.had_dword = true;
      write.old_value = static_cast<std::uint32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
                                                   static_cast<std::uint32_t>(bytes[3]) << 24);
    }
    it = writes_.emplace(id, write).first;
    order_.push_back(id);
  }
  it->second.value = value;
  return kErrorSuccess;
}

long RecordingRegistry::CloseKey(RegKey key) {
  key_paths_.erase(key);
  return base_.CloseKey(key);
}

std::vector<RecordingRegistry::Write> RecordingRegistry::writes() const {
  std::vector<Write> writes;
  for (const std::string& id : order_)
    writes.push_back(writes_.at(id));
  return writes;
}

std::string RecordingRegistry::ValueId(RegKey key, const std::string& name) const {
  auto it = key_paths_.find(key);
  std::string path = it != key_paths_.end() ? it->second : std::to_string(key);
  return LowerAscii(path + "\\\\" + name);
}
