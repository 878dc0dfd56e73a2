#include "platform/fake_faults.h"

#include "platform/paths.h"

void FakeFaults::FailNth(int n, bool persistent) {
  fail_at_ = call_count() + n;
  fail_persistent_ = persistent;
}

void FakeFaults::FailMatching(const std::string& op, const std::string& part) {
  fail_matching_.emplace_back(op, LowerAscii(part));
}

void FakeFaults::ClearFaults() {
  fail_at_ = 0;
  fail_matching_.clear();
}

bool FakeFaults::Fails(const std::string& op, const std::string& args) {
  calls_.push_back(op + "(" + args + ")");
  int n = call_count();
  if (fail_at_ > 0 && (n == fail_at_ || (fail_persistent_ && n > fail_at_)))
    return true;
  std::string lower = LowerAscii(args);
  for (const auto& fault : fail_matching_) {
    if (op == fault.first && lower.find(fault.second) != std::string::npos)
      return true;
  }
  return false;
}
