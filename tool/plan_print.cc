// The plan as text for people and as JSON for programs.
#include "platform/code_page.h"
#include "platform/unicode.h"
#include "platform/win_constants.h"
#include "tool/json.h"
#include "tool/plan.h"

namespace {

using Change = OverlayFileSystem::Change;

const char* ChangeName(Change change) {
  switch (change) {
    case Change::kCreated:
      return "create";
    case Change::kReplaced:
      return "replace";
    case Change::kFolderMade:
      return "folder";
    case Change::kReadOnlyCleared:
      return "read-only cleared";
    case Change::kRemoved:
      return "remove";
  }
  return "";
}

const char* AnswerWord(int answer) {
  return answer == kIdYes ? "yes" : answer == kIdNo ? "no" : "cancel";
}

// `path` below Kestrova's folder, as the script names it.
std::string InHost(const std::string& path, const std::string& host) {
  if (FoldCase(path.substr(0, host.size())) == FoldCase(host))
    return path.substr(host.size());
  return path;
}

std::string Count(long count) {
  return count < 0 ? "missing or unreadable" : std::to_string(count) + " entries";
}

void PrintText(Console& console, const PlanReport& plan) {
  std::string out = "Package " + plan.package + " into " + plan.host + "\n";
  for (const auto& change : plan.changes)
    out += "  " + std::string(ChangeName(change.change)) + ": " + InHost(change.path, plan.host) +
           "\n";
  for (const auto& kept : plan.kept)
    out += "  keep (newer): " + InHost(kept.path, plan.host) + "\n";
  for (const auto& texture : plan.added)
    out +=
        "  texture added: " + std::to_string(texture.id) + " " + AnsiToUtf8(texture.entry) + "\n";
  for (const auto& texture : plan.passed_over)
    out += "  texture passed over: " + std::to_string(texture.id) + " " +
           AnsiToUtf8(texture.entry) + ", held by " + AnsiToUtf8(texture.held_by) + "\n";
  out += "  catalogue: " + Count(plan.catalogue_before) + " before, " +
         Count(plan.catalogue_after) + " after\n";
  for (const auto& write : plan.registry)
    out += "  registry " + write.name + ": " +
           (write.had_dword ? std::to_string(write.old_value) : std::string("-")) + " -> " +
           std::to_string(write.value) + "\n";
  if (plan.registry.empty())
    out += "  registry: unchanged\n";
  for (const auto& question : plan.questions)
    out += "question (answered " + std::string(AnswerWord(question.answer)) + "):\n" +
           question.text + "\n";
  for (const auto& message : plan.messages)
    out += "message: " + message + "\n";
  out += "result: " + plan.result_text + "\n";
  console.Write(ConsoleStream::kOut, out);
}

std::string Quote(const std::string& text) {
  return JsonQuote(text);
}

template <typename List, typename Item>
std::string Array(const List& list, Item item) {
  std::string out = "[";
  for (const auto& element : list)
    out += (out.size() > 1 ? ", " : "") + item(element);
  return out + "]";
}

// Texture entries are the script's and the catalogue's bytes.
std::string TextureJson(const PlanReport::Texture& texture) {
  std::string out = "{\"id\": " + std::to_string(texture.id) +
                    ", \"entry\": " + JsonQuote(AnsiToUtf8(texture.entry));
  if (!texture.held_by.empty())
    out += ", \"held_by\": " + JsonQuote(AnsiToUtf8(texture.held_by));
  return out + "}";
}

void PrintJson(Console& console, const PlanReport& plan, const ToolOptions& options) {
  std::string out = JsonHead(options) + ", \"package\": " + Quote(plan.package) +
                    ", \"host\": " + Quote(plan.host);
  out += ", \"changes\": " + Array(plan.changes, [&](const OverlayFileSystem::ChangeRecord& c) {
           return "{\"change\": \"" + std::string(ChangeName(c.change)) +
                  "\", \"path\": " + Quote(InHost(c.path, plan.host)) + "}";
         });
  out += ", \"kept\": " + Array(plan.kept, [&](const PlanReport::Kept& k) {
           return "{\"path\": " + Quote(InHost(k.path, plan.host)) +
                  ", \"question\": " + Quote(k.question) + "}";
         });
  out += ", \"questions\": " + Array(plan.questions, [&](const PlanReport::Question& q) {
           return "{\"path\": " + Quote(InHost(q.path, plan.host)) +
                  ", \"question\": " + Quote(q.text) + ", \"answer\": \"" + AnswerWord(q.answer) +
                  "\"}";
         });
  out += ", \"textures_added\": " + Array(plan.added, TextureJson);
  out += ", \"textures_passed_over\": " + Array(plan.passed_over, TextureJson);
  out += ", \"catalogue_before\": " + std::to_string(plan.catalogue_before);
  out += ", \"catalogue_after\": " + std::to_string(plan.catalogue_after);
  out += ", \"registry\": " + Array(plan.registry, [](const RecordingRegistry::Write& w) {
           return "{\"name\": " + Quote(w.name) + ", \"before\": " +
                  (w.had_dword ? std::to_string(w.old_value) : std::string("null")) +
                  ", \"after\": " + std::to_string(w.value) + "}";
         });
  out += ", \"messages\": " + Array(plan.messages, Quote);
  out += ", \"result\": " + Quote(plan.result_text);
  out += ", \"exit_status\": " + std::to_string(plan.exit_status) + "}\n";
  console.WriteUtf8(ConsoleStream::kOut, out);
}

}  // namespace

void PrintPlan(Console& console, const PlanReport& plan, const ToolOptions& options) {
  if (options.json)
    PrintJson(console, plan, options);
  else
    PrintText(console, plan);
}
