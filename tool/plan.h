// The dry run: the real CInstaller over a platform layer that records
// instead of writing (OverlayFileSystem, RecordingRegistry), so that the plan
// is the install by construction, its record included. What the run would
// change comes from the recording, less the record's own folder; what it
// kept, asked, said and did with each texture, from the run's events.
#ifndef PACKWRIGHT_TOOL_PLAN_H_
#define PACKWRIGHT_TOOL_PLAN_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/console.h"
#include "platform/platform.h"
#include "tool/options.h"
#include "tool/overlay_file_system.h"
#include "tool/recording_registry.h"

struct PlanReport {
  struct Kept {
    // The existing, newer file, and the question the dialog would ask
    // (empty when a Cancel before keeps it without asking).
    std::string path;
    std::string question;
  };
  struct Question {
    std::string path;
    std::string text;
    // kIdYes (keep), kIdNo (replace) or kIdCancel.
    int answer;
  };
  struct Texture {
    std::uint32_t id;
    std::string entry;
    // For one passed over: the entry that holds its id.
    std::string held_by;
  };

  std::string package;
  std::string host;
  std::vector<OverlayFileSystem::ChangeRecord> changes;
  std::vector<Kept> kept;
  std::vector<Question> questions;
  std::vector<Texture> added;
  std::vector<Texture> passed_over;
  // Entry counts; -1 when the catalogue does not load.
  long catalogue_before = -1;
  long catalogue_after = -1;
  std::vector<RecordingRegistry::Write> registry;
  // The boxes that are not questions, as the dialog would show them.
  std::vector<std::string> messages;
  long result = 0;
  std::string result_text;
  int exit_status = kExitOk;
};

// Runs the install over the recording layer. Returns the exit status that
// `install` would have (2 when Kestrova or the script is not found, with
// the reason on the error stream; the report is then incomplete).
int MakePlan(Platform& system, Console& console, const ToolOptions& options, PlanReport* plan);

// Writes the plan as text, or with --json as one JSON object.
void PrintPlan(Console& console, const PlanReport& plan, const ToolOptions& options);

#endif  // PACKWRIGHT_TOOL_PLAN_H_
