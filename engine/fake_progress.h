// Test double for IInstallProgress: keeps range and position like a progress
// bar and records every call, so that a test can check what a run reported.
#ifndef PACKWRIGHT_ENGINE_FAKE_PROGRESS_H_
#define PACKWRIGHT_ENGINE_FAKE_PROGRESS_H_

#include <string>
#include <vector>

#include "engine/install_progress.h"

class FakeProgress : public IInstallProgress {
 public:
  // Every call in order, such as "SetRange(0,4)" and "SetPos(1)".
  std::vector<std::string> calls;
  int lower = 0;
  int upper = 100;
  int pos = 0;
  int step = 10;

  bool SetRange(int low, int up) override {
    Record("SetRange(" + std::to_string(low) + "," + std::to_string(up) + ")");
    lower = low;
    upper = up;
    return true;
  }
  void GetRange(int* low, int* up) override {
    Record("GetRange()");
    *low = lower;
    *up = upper;
  }
  bool SetPos(int p) override {
    Record("SetPos(" + std::to_string(p) + ")");
    pos = p;
    return true;
  }
  int GetPos() override {
    Record("GetPos()");
    return pos;
  }
  int OffsetPos(int delta) override {
    Record("OffsetPos(" + std::to_string(delta) + ")");
    int old = pos;
    pos += delta;
    return old;
  }
  int SetStep(int s) override {
    Record("SetStep(" + std::to_string(s) + ")");
    int old = step;
    step = s;
    return old;
  }
  int StepIt() override {
    Record("StepIt()");
    int old = pos;
    pos += step;
    return old;
  }
  bool SetStatusText1(const std::string& text) override {
    return Record("SetStatusText1(" + text + ")");
  }
  bool SetStatusText2(const std::string& text) override {
    return Record("SetStatusText2(" + text + ")");
  }
  bool SetStatusText3(const std::string& text) override {
    return Record("SetStatusText3(" + text + ")");
  }

 private:
  bool Record(const std::string& call) {
    calls.push_back(call);
    return true;
  }
};

#endif  // PACKWRIGHT_ENGINE_FAKE_PROGRESS_H_
