#include "tool/plan.h"

#include <set>

#include "engine/installer.h"
#include "engine/kestrova_names.h"
#include "textures/texture_catalogue.h"
#include "tool/commands.h"
#include "tool/json.h"
#include "tool/session.h"
#include "tool/texture_entry.h"
#include "tool/tool_shell.h"

namespace {

// Loads the catalogue; its entry count, or -1 when it does not load.
long LoadCatalogue(CTextureCatalogue* catalogue, const std::string& path) {
  return catalogue->Load(path) ? static_cast<long>(catalogue->entries().size()) : -1;
}

std::string TextOf(const EntryTable& entries, std::uint32_t id) {
  std::string text;
  entries.Find(id, &text);
  return text;
}

// The package's texture entries whose id was held when they came: by the
// catalogue as it was, or by an earlier entry of the package.
void FindPassedOver(FileSystem& files, const std::string& package, const CTextureCatalogue& before,
                    PlanReport* plan) {
  CInstallScript script(files);
  if (!script.CheckOpen(package + "\\" + kScriptFileName) || !script.FindSection(kTextureSection))
    return;
  std::set<std::uint32_t> seen;
  for (ScriptEntry entry; script.NextEntry(&entry);) {
    std::uint32_t id;
    if (!TextureIdOf(entry.text, &id) || id == 0)
      continue;
    std::string entry_text = entry.text.substr(entry.text.find(">>") + 2);
    if (before.entries().Contains(id))
      plan->passed_over.push_back({id, entry_text, TextOf(before.entries(), id)});
    else if (!seen.insert(id).second)
      plan->passed_over.push_back({id, entry_text, "an earlier entry of this package"});
  }
}

void FindAdded(const CTextureCatalogue& before, const CTextureCatalogue& after, PlanReport* plan) {
  after.entries().ForEach([&](std::uint32_t id, std::string_view text) {
    if (!before.entries().Contains(id))
      plan->added.push_back({id, std::string(text), std::string()});
  });
}

}  // namespace

int MakePlan(Platform& system, Console& console, const ToolOptions& options, PlanReport* plan) {
  ToolFolders folders = ResolveFolders(system.files, options);
  OverlayFileSystem files(system.files);
  RecordingRegistry registry(system.registry);
  ToolShell shell(system.shell, console, folders.package, EffectiveNewer(options, console), true);
  // The question comes right after the newer test, which asks for the
  // existing file's status last.
  shell.on_question = [&](const std::string& question, int) {
    plan->kept.push_back({files.TimeAsked(0), question});
  };
  Platform platform{files, registry, shell};
  CInstaller installer(platform);
  // The plan shows the package's changes; the record an install keeps is
  // not one of them.
  installer.keepRecord = false;
  if (!SettleHost(installer, folders, platform, console))
    return plan->exit_status = kExitCannotRun;
  plan->package = folders.package;
  plan->host = installer.hostDir;
  std::string catalogue_path = installer.hostDir + kCataloguePath;
  CTextureCatalogue before(system.files);
  plan->catalogue_before = LoadCatalogue(&before, catalogue_path);

  RunProgress progress;
  plan->result = installer.Run(&progress);
  plan->exit_status = ExitStatusOf(plan->result, progress, installer);
  plan->result_text = ResultText(shell, plan->result);
  for (const ToolShell::Box& box : shell.boxes()) {
    if ((box.type & kMbTypeMask) != kMbYesNoCancel)
      plan->messages.push_back(box.text);
  }
  if (plan->exit_status == kExitCannotRun) {
    for (const std::string& message : plan->messages)
      console.Write(ConsoleStream::kErr, message + "\n");
    return plan->exit_status;
  }
  plan->changes = files.Changes();
  plan->registry = registry.writes();
  CTextureCatalogue after(files);
  plan->catalogue_after = LoadCatalogue(&after, catalogue_path);
  // A damaged package is refused before the texture step: it passes nothing over.
  if (plan->catalogue_before >= 0 && plan->catalogue_after >= 0 && installer.damagedFile.empty()) {
    FindAdded(before, after, plan);
    FindPassedOver(system.files, folders.package, before, plan);
  }
  return plan->exit_status;
}

int RunPlan(Platform& system, Console& console, const ToolOptions& options) {
  PlanReport plan;
  int status = MakePlan(system, console, options, &plan);
  if (status != kExitCannotRun) {
    PrintPlan(console, plan, options);
  } else if (options.json) {
    std::string error = plan.messages.empty() ? "Kestrova's folder is not found" : "";
    for (const std::string& message : plan.messages)
      error += (error.empty() ? "" : " ") + message;
    console.WriteUtf8(ConsoleStream::kOut, JsonCannotRun(options, error));
  }
  return status;
}
