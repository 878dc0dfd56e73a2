// The one way a fake fails a call, in SQLite's manner: every call is counted
// and logged, and a call fails when it is the nth from when the fault was
// set (once, or from then on), or when it matches a chosen operation and
// text. What the fake's own state decides (a missing or read-only file, a
// locked one) is no fault and stays in that state.
#ifndef PACKWRIGHT_PLATFORM_FAKE_FAULTS_H_
#define PACKWRIGHT_PLATFORM_FAKE_FAULTS_H_

#include <string>
#include <utility>
#include <vector>

class FakeFaults {
 public:
  // The nth call from now fails (1 = the next call), and every later one too
  // if `persistent`.
  void FailNth(int n, bool persistent = false);
  // Every call of operation `op` whose arguments contain `part` fails;
  // the text compares without regard to ASCII case, as Windows names do.
  void FailMatching(const std::string& op, const std::string& part);
  // Forgets every fault; the count and the log stay.
  void ClearFaults();

  // The number of calls made so far, and each as "Op(arguments)", paths as
  // the caller spelled them.
  int call_count() const { return static_cast<int>(calls_.size()); }
  const std::vector<std::string>& calls() const { return calls_; }

  // Counts and logs a call of `op`; true when it is to fail.
  bool Fails(const std::string& op, const std::string& args);

 private:
  int fail_at_ = 0;
  bool fail_persistent_ = false;
  std::vector<std::pair<std::string, std::string>> fail_matching_;
  std::vector<std::string> calls_;
};

#endif  // PACKWRIGHT_PLATFORM_FAKE_FAULTS_H_
