// A registry that records instead of writing: a DWORD that the run sets is
// kept in memory, and later queries of that value see it. Keys are opened
// and values read in the base registry as the run asks, so that a dry run
// meets the same refusals as a real one.
#ifndef PACKWRIGHT_TOOL_RECORDING_REGISTRY_H_
#define PACKWRIGHT_TOOL_RECORDING_REGISTRY_H_

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/registry.h"

class RecordingRegistry : public Registry {
 public:
  struct Write {
    // The key's path below its root, then the value's name.
    std::string key;
    std::string name;
    // The value before the run, when it was a DWORD.
    bool had_dword = false;
    std::uint32_t old_value = 0;
    std::uint32_t value = 0;
  };

  explicit RecordingRegistry(Registry& base);

  long OpenKey(RegKey parent, const std::string& name, std::uint32_t access, RegKey* out) override;
  long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, unsigned char* data,
                  std::uint32_t* size) override;
  long SetDword(RegKey key, const std::string& name, std::uint32_t value) override;
  long CloseKey(RegKey key) override;

  // Every value set, the latest write of a value only.
  std::vector<Write> writes() const;

 private:
  std::string ValueId(RegKey key, const std::string& name) const;

  Registry& base_;
  std::map<RegKey, std::string> key_paths_;
  std::map<std::string, Write> writes_;
  std::vector<std::string> order_;
};

#endif  // PACKWRIGHT_TOOL_RECORDING_REGISTRY_H_
