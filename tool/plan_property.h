// The plan's promise, shared by its test and its fuzzer: a plan changes
// nothing, and lists exactly what the install then changes (files, folders,
// attributes, textures, Scan and the exit status).
#ifndef PACKWRIGHT_TOOL_PLAN_PROPERTY_H_
#define PACKWRIGHT_TOOL_PLAN_PROPERTY_H_

#include <string>
#include <vector>

#include "platform/fake_platform.h"
#include "tool/options.h"
#include "tool/plan.h"

struct PlanOutcome {
  int plan_status = 0;
  int install_status = 0;
  PlanReport plan;
  // Each way the plan and the install disagree; empty when they agree.
  std::vector<std::string> mismatches;
};

// Plans, then installs, on `p` with `options`; the newer-file question, if
// asked, is answered "yes". `catalogue` is Kestrova's catalogue file.
PlanOutcome PlanThenInstall(FakePlatform& p, const ToolOptions& options,
                            const std::string& catalogue);

#endif  // PACKWRIGHT_TOOL_PLAN_PROPERTY_H_
