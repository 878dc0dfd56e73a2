#include "tool/plan.h"

#include "engine/installer.h"
#include "engine/kestrova_names.h"
#include "platform/unicode.h"
#include "textures/texture_catalogue.h"
#include "tool/commands.h"
#include "tool/json.h"
#include "tool/session.h"
#include "tool/tool_shell.h"

namespace {

// Loads the catalogue; its entry count, or -1 when it does not load.
long LoadCatalogue(CTextureCatalogue* catalogue, const std::string& path) {
  return catalogue->Load(path) ? static_cast<long>(catalogue->entries().size()) : -1;
}

// Writes what the run tells into the plan.
class PlanListener : public RunListener {
 public:
  explicit PlanListener(PlanReport* plan) : plan_(plan) {}

  void Told(const std::string& text) override { plan_->messages.push_back(text); }
  void Asked(const std::string& destination, const std::string& text, int answer) override {
    plan_->questions.push_back({destination, text, answer});
    asked_ = text;
  }
  // A kept file follows its question, if it was asked.
  void FileDone(const FileEvent& event) override {
    if (event.outcome == FileEvent::kKeptNewer)
      plan_->kept.push_back({event.destination, asked_});
    asked_.clear();
  }
  void TextureDone(const TextureEvent& event) override {
    PlanReport::Texture texture{event.id, event.entry, event.held_by};
    if (event.outcome == TextureEvent::kAdded) {
      plan_->added.push_back(texture);
    } else if (event.outcome == TextureEvent::kPassedOver) {
      if (texture.held_by.empty())
        texture.held_by = "an earlier entry of this package";
      plan_->passed_over.push_back(texture);
    }
  }
  void RecordBegun(const std::string& folder) override { records_ = RecordsOf(folder); }
  void RecordFailed(const std::string& folder) override { records_ = RecordsOf(folder); }

  // True when `path` is the records' folder or lies in it.
  bool InRecords(const std::string& path) const {
    std::string lower = FoldCase(path);
    return !records_.empty() &&
           (lower + "\\" == records_ || lower.compare(0, records_.size(), records_) == 0);
  }

 private:
  static std::string RecordsOf(const std::string& folder) {
    std::string::size_type slash = folder.rfind('\\');
    return slash == std::string::npos ? std::string() : FoldCase(folder.substr(0, slash + 1));
  }

  PlanReport* plan_;
  std::string asked_;
  // The folder that holds the records, in lower case with its backslash.
  std::string records_;
};

}  // namespace

int MakePlan(Platform& system, Console& console, const ToolOptions& options, PlanReport* plan) {
  ToolFolders folders = ResolveFolders(system.files, options);
  OverlayFileSystem files(system.files);
  RecordingRegistry registry(system.registry);
  ToolShell shell(system.shell, console, EffectiveNewer(options, console), true);
  Platform platform{files, registry, shell};
  CInstaller installer(platform);
  installer.packageDir = folders.package;
  PlanListener listener(plan);
  installer.observer = &listener;
  if (!SettleHost(installer, folders, platform, console))
    return plan->exit_status = kExitCannotRun;
  plan->package = folders.package;
  plan->host = installer.hostDir;
  std::string catalogue_path = installer.hostDir + kCataloguePath;
  CTextureCatalogue before(system.files);
  plan->catalogue_before = LoadCatalogue(&before, catalogue_path);

  plan->result = installer.Run(nullptr);
  plan->exit_status = listener.ExitStatus();
  plan->result_text = ResultText(shell, plan->result);
  if (plan->exit_status == kExitCannotRun) {
    for (const std::string& message : plan->messages)
      console.Write(ConsoleStream::kErr, message + "\n");
    return plan->exit_status;
  }
  // The plan shows the package's changes; the record an install keeps is
  // not one of them.
  for (const OverlayFileSystem::ChangeRecord& change : files.Changes()) {
    if (!listener.InRecords(change.path))
      plan->changes.push_back(change);
  }
  plan->registry = registry.writes();
  CTextureCatalogue after(files);
  plan->catalogue_after = LoadCatalogue(&after, catalogue_path);
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
