#include "tool/prop_check.h"

#include <charconv>
#include <exception>
#include <iterator>
#include <set>

#include "platform/code_page.h"
#include "platform/unicode.h"
#include "record/record_reader.h"
#include "textures/texture_catalogue.h"
#include "tool/commands.h"
#include "tool/plan.h"
#include "tool/prop_known.h"
#include "tool/prop_world.h"
#include "tool/test_console.h"

namespace {

const char kCataloguePath[] = "Resourcen\\Parallels\\Texturen.txt";

bool UnderRecords(const std::string& key) {
  std::string lower = FoldCase(key);
  return lower == "packwright" || lower.compare(0, 11, "packwright\\") == 0;
}

// What changed in Kestrova, in the plan's words, Packwright\ apart.
std::set<std::string> Changes(const Tree& before, const Tree& after) {
  std::set<std::string> changes;
  for (const auto& [key, item] : after) {
    if (UnderRecords(key))
      continue;
    auto old = before.find(key);
    std::string path = FoldCase(key);
    if (old == before.end())
      changes.insert((item.dir ? "folder: " : "create: ") + path);
    else if (item.dir != old->second.dir || item.data != old->second.data ||
             item.time != old->second.time)
      changes.insert("replace: " + path);
    else if (old->second.read_only && !item.read_only)
      changes.insert("read-only cleared: " + path);
  }
  for (const auto& [key, item] : before) {
    if (!UnderRecords(key) && !after.count(key))
      changes.insert("remove: " + FoldCase(key));
  }
  return changes;
}

std::string Join(const std::set<std::string>& items) {
  std::string text;
  for (const std::string& item : items)
    text += "\n  " + item;
  return text;
}

// The items of `a` not in `b`.
std::set<std::string> Minus(const std::set<std::string>& a, const std::set<std::string>& b) {
  std::set<std::string> rest;
  for (const std::string& item : a) {
    if (!b.count(item))
      rest.insert(item);
  }
  return rest;
}

// The paths that `pick` takes and that differ between two trees, or are in
// one only.
template <typename Pick>
std::set<std::string> Differing(const Tree& a, const Tree& b, Pick pick) {
  std::set<std::string> keys;
  for (const auto& [key, item] : a) {
    auto other = b.find(key);
    if (pick(key) && (other == b.end() || !(other->second == item)))
      keys.insert(key);
  }
  for (const auto& [key, item] : b) {
    if (pick(key) && !a.count(key))
      keys.insert(key);
  }
  return keys;
}

bool InHost(const std::string& key) {
  std::string lower = FoldCase(key);
  return lower == "kestrova" || lower.compare(0, 9, "kestrova\\") == 0;
}

class PropRun {
 public:
  PropRun(const PropCase& c, PropBackend backend) : c_(c), backend_(backend) {}

  PropOutcome Go() {
    world_ = backend_ == PropBackend::kFake ? MakeFakeWorld() : MakeDiskWorld();
    if (!world_ || !world_->Build(c_)) {
      Fail("world", "the case could not be laid out");
      return outcome_;
    }
    SetAnsiCodePage(c_.CodePage());
    try {
      Run();
    } catch (const std::exception& e) {
      Fail("no exception", e.what());
    }
    SetAnsiCodePage(0);
    return outcome_;
  }

 private:
  FileSystem& files() { return world_->platform().files; }
  Tree HostTree() { return TakeTree(files(), world_->Host()); }
  Tree WorldTree() { return TakeTree(files(), world_->root()); }

  void Fail(const std::string& property, const std::string& detail) {
    PropFinding finding{property, detail};
    const char* known = KnownFault(c_, backend_, said_, finding);
    if (known)
      outcome_.known.push_back(known);
    else
      outcome_.findings.push_back(finding);
  }

  ToolOptions Options(const char* command) {
    ToolOptions o;
    o.command = command;
    o.package = world_->Package(c_);
    if (!c_.Of("from-registry").size())
      o.host = world_->Host();
    std::string newer = c_.Value("newer", "keep");
    o.newer = newer == "ask"       ? NewerAnswer::kAsk
              : newer == "replace" ? NewerAnswer::kReplace
                                   : NewerAnswer::kKeep;
    o.newer_given = true;
    return o;
  }

  std::set<std::uint32_t> Ids() {
    CTextureCatalogue catalogue(files());
    std::set<std::uint32_t> ids;
    if (catalogue.Load(world_->Host() + "\\" + kCataloguePath))
      catalogue.entries().ForEach([&](std::uint32_t id, std::string_view) { ids.insert(id); });
    return ids;
  }

  std::string Scan() {
    const FakeRegistry::Value* scan = world_->registry().Get(kPropKey, "Scan");
    return scan ? scan->bytes : "-";
  }

  void Run() {
    Tree world0 = WorldTree(), host0 = HostTree();
    std::set<std::uint32_t> ids0 = Ids();
    std::string scan0 = Scan();
    int check = RunCheckStrict();
    PlanReport plan;
    TestConsole plan_console;
    plan_console.input.assign(8, "yes");
    int planned = MakePlan(world_->platform(), plan_console, Options("plan"), &plan);
    if (!(WorldTree() == world0))
      Fail("plan changes nothing", "the plan changed files");
    TestConsole console;
    console.input.assign(8, "yes");
    int installed = RunInstall(world_->platform(), console, Options("install"));
    said_.install = console.out + console.err;
    Tree host2 = HostTree();
    CheckPlan(plan, planned, installed, host0, host2);
    CheckEscape(world0, WorldTree(), host0, host2);
    Target target = InstallTarget(host0);
    if (target == Target::kNone)
      CheckNoKestrova(installed, console);
    else if (target == Target::kChecked && check == kExitOk)
      CheckClean(plan, installed, console);
    if (c_.Value("registry", "host") == "other" && Scan() != scan0)
      Fail("scan", "Scan set in the registry's Kestrova, which was not installed into");
    Undo(world0, host0, host2, ids0);
  }

  int RunCheckStrict() {
    ToolOptions o = Options("check");
    o.host = world_->Host();
    o.strict = true;
    TestConsole console;
    return RunCheck(world_->platform(), console, o);
  }

  void CheckPlan(const PlanReport& plan, int planned, int installed, const Tree& host0,
                 const Tree& host2) {
    std::set<std::string> changed = Changes(host0, host2);
    if (planned != installed)
      Fail("plan = install",
           "plan exits " + std::to_string(planned) + ", install " + std::to_string(installed));
    static const char* kNames[] = {
        "create: ", "replace: ", "folder: ", "read-only cleared: ", "remove: "};
    std::set<std::string> listed;
    std::string host = FoldCase(world_->Host()) + "\\";
    for (const auto& change : plan.changes) {
      std::string path = FoldCase(files().FullPath(change.path));
      if (path.compare(0, host.size(), host) == 0)
        path = path.substr(host.size());
      if (!UnderRecords(path))
        listed.insert(kNames[static_cast<int>(change.change)] + path);
    }
    if (listed != changed)
      Fail("plan = install", "listed only:" + Join(Minus(listed, changed)) +
                                 "\nchanged only:" + Join(Minus(changed, listed)));
    // The texture step's own additions: in the catalogue, and on the record
    // as added, unlike the entries of a catalogue the package ships.
    std::set<std::uint32_t> added, planned_ids, recorded = RecordedTextures(host0, host2);
    for (std::uint32_t id : Ids()) {
      if (recorded.count(id))
        added.insert(id);
    }
    for (const auto& texture : plan.added)
      planned_ids.insert(texture.id);
    if (added != planned_ids)
      Fail("plan = install", "textures planned " + std::to_string(planned_ids.size()) + ", added " +
                                 std::to_string(added.size()));
  }

  // Outside Kestrova only what lies behind a link the player made; under
  // Packwright\ only new record folders and the lock of Kestrova's runs.
  void CheckEscape(const Tree& world0, const Tree& world2, const Tree& host0, const Tree& host2) {
    std::set<std::string> linked;
    for (const auto& link : c_.Of("link"))
      linked.insert(FoldCase("Outside\\" + link[1] + "\\"));
    std::set<std::string> escaped = Differing(world0, world2, [&](const std::string& key) {
      std::string lower = FoldCase(key);
      for (const std::string& prefix : linked) {
        if (lower.compare(0, prefix.size(), prefix) == 0)
          return false;
      }
      return !InHost(key);
    });
    if (!escaped.empty())
      Fail("nothing escapes", "changed outside Kestrova:" + Join(escaped));
    std::string ours = FoldCase("Packwright\\" + NewRecord(host0, host2));
    std::set<std::string> records = Differing(host0, host2, [&](const std::string& key) {
      std::string lower = FoldCase(key);
      return UnderRecords(key) && lower != "packwright" && lower != ours &&
             lower != "packwright\\packwright.lock" &&
             lower.compare(0, ours.size() + 1, ours + "\\") != 0;
    });
    if (!records.empty())
      Fail("records", "written under Packwright\\ beside the record:" + Join(records));
  }

  // The Kestrova the install goes into: the one given with --host, else
  // the registry's, whose AppPath must name a file.
  enum class Target { kChecked, kOther, kNone };
  Target InstallTarget(const Tree& host0) {
    if (c_.Of("from-registry").empty())
      return Target::kChecked;
    std::string registry = c_.Value("registry", "host");
    if (registry == "other")
      return Target::kOther;
    for (const auto& [key, item] : host0) {
      if (registry == "host" && FoldCase(key) == "kestrova.exe" && !item.dir)
        return Target::kChecked;
    }
    return Target::kNone;
  }

  // Check reads the package against the Kestrova it is given; finding
  // Kestrova is the install's part, which it cannot do without one.
  void CheckNoKestrova(int installed, const TestConsole& console) {
    if (installed != kExitCannotRun)
      Fail("no Kestrova, no install",
           "install exits " + std::to_string(installed) + ":\n" + console.err);
  }

  void CheckClean(const PlanReport& plan, int installed, const TestConsole& console) {
    if (installed != kExitOk) {
      Fail("clean check, clean install",
           "install exits " + std::to_string(installed) + ":\n" + console.err);
      return;
    }
    std::set<std::string> kept;
    for (const auto& k : plan.kept)
      kept.insert(FoldCase(files().FullPath(k.path)));
    // The last entry of each destination, as the script spells it.
    std::map<std::string, std::pair<std::string, std::string>> last;
    for (const auto& entry : c_.Of("entry")) {
      std::size_t at = entry[0].find(">>");
      // The texture step rewrites a catalogue that the package ships.
      if (at != std::string::npos && FoldCase(entry[0].substr(at + 2)) != FoldCase(kCataloguePath))
        last[FoldCase(entry[0].substr(at + 2))] = {entry[0].substr(at + 2), entry[0].substr(0, at)};
    }
    for (const auto& [key, entry] : last) {
      std::string to = files().FullPath(world_->Host() + "\\" + entry.first);
      std::string want, got;
      ReadWholeFile(files(), world_->Package(c_) + "\\" + entry.second, &want);
      ReadWholeFile(files(), to, &got);
      if (!kept.count(FoldCase(to)) && want != got)
        Fail("clean check, clean install", entry.first + " not installed");
    }
  }

  // The ids that the install's record names as added to the catalogue.
  std::set<std::uint32_t> RecordedTextures(const Tree& host0, const Tree& host2) {
    std::string name = NewRecord(host0, host2);
    unsigned number = 0;
    std::from_chars(name.data(), name.data() + name.size(), number);
    RunRecord record;
    std::set<std::uint32_t> ids;
    if (number > 0 && ReadRunRecord(files(), world_->Host() + "\\", number, &record)) {
      for (const RecordedTexture& texture : record.catalogue.textures)
        if (texture.added)
          ids.insert(texture.id);
    }
    return ids;
  }

  // The record the install began: the newest Packwright folder made since.
  std::string NewRecord(const Tree& host0, const Tree& host2) {
    std::string newest;
    for (const auto& [key, item] : host2) {
      if (item.dir && UnderRecords(key) && key.size() > 11 &&
          key.find('\\', 11) == std::string::npos && !host0.count(key))
        newest = key.substr(11);
    }
    return newest;
  }

  // The player's rewrite of one file the install changed; its key, or
  // empty when the case has none.
  std::string Rewrite(const Tree& host0, const Tree& host2) {
    auto later = c_.Of("later");
    if (later.empty() || later[0].size() < 2)
      return std::string();
    std::vector<std::string> changed;
    for (const auto& [key, item] : host2) {
      auto old = host0.find(key);
      // Files whose content the install wrote; one whose attributes alone it
      // reset is still the player's, and undo resets them back. The
      // player's edits of the catalogue are the later-texture lines.
      if (!item.dir && !UnderRecords(key) && FoldCase(key) != FoldCase(kCataloguePath) &&
          (old == host0.end() || old->second.data != item.data || old->second.time != item.time))
        changed.push_back(key);
    }
    if (changed.empty())
      return std::string();
    std::size_t n = later[0][0].empty() ? 0 : static_cast<unsigned char>(later[0][0][0]);
    std::string key = changed[n % changed.size()];
    std::string path = world_->Host() + "\\" + key;
    // "same-size" rewrites the file with as many bytes as the install wrote.
    const TreeItem& installed = host2.at(key);
    std::string data =
        later[0][1] == "same-size" ? std::string(installed.data.size(), 'p') : later[0][1];
    if (!world_->AddFile(path, data, installed.time + 10000000, false))
      return std::string();
    return key;
  }

  // Where a path in Kestrova lies beside it, behind a link of the case;
  // empty when it lies behind none.
  std::string OutsidePath(const std::string& key) {
    for (const auto& link : c_.Of("link")) {
      std::string prefix = FoldCase(link[0] + "\\");
      if (!key.empty() && FoldCase(key).compare(0, prefix.size(), prefix) == 0)
        return "Outside\\" + link[1] + "\\" + key.substr(prefix.size());
    }
    return std::string();
  }

  // The player's own texture, added after the install; its id, or 0 when
  // the case has none or the catalogue does not take it.
  std::uint32_t AddPlayerTexture() {
    if (c_.Of("later-texture").empty())
      return 0;
    std::string path = world_->Host() + "\\" + kCataloguePath;
    CTextureCatalogue catalogue(files());
    bool added = catalogue.Load(path) && catalogue.loaded_whole() &&
                 catalogue.AddEntry("Textur{name(Spieler)id(6100)}") && catalogue.Save(path);
    return added ? 6100 : 0;
  }

  void Undo(const Tree& world0, const Tree& host0, const Tree& host2,
            const std::set<std::uint32_t>& ids0) {
    std::string record = NewRecord(host0, host2);
    if (record.empty()) {
      if (!Changes(host0, host2).empty())
        Fail("undo = identity", "the install changed Kestrova without a record");
      return;
    }
    bool force = !c_.Of("force").empty();
    std::string edited = Rewrite(host0, host2);
    std::uint32_t player_id = AddPlayerTexture();
    Tree expected = host0;
    if (!edited.empty() && !force)
      expected[edited] = HostTree().at(edited);
    ToolOptions o = Options("undo");
    o.force = force;
    // By name: an earlier record of the same package must not be taken.
    o.package = c_.Value("name", "Paket");
    TestConsole console;
    int status = RunUndo(world_->platform(), console, o);
    outcome_.undone = true;
    Tree host3 = HostTree();
    if (player_id) {
      // The player's entry stays; the rest of the catalogue is compared by id.
      std::set<std::uint32_t> want_ids = ids0;
      want_ids.insert(player_id);
      if (Ids() != want_ids)
        Fail("undo = identity", "the catalogue's ids differ from those before, with the player's");
      for (Tree* tree : {&expected, &host3}) {
        for (auto it = tree->begin(); it != tree->end();)
          it = FoldCase(it->first) == FoldCase(kCataloguePath) ? tree->erase(it) : std::next(it);
      }
    }
    std::set<std::string> differ = Changes(expected, host3);
    for (const auto& [key, item] : host3) {
      auto old = expected.find(key);
      if (!UnderRecords(key) && old != expected.end() && !(old->second == item))
        differ.insert("attributes: " + key);
    }
    if (!edited.empty()) {
      for (auto it = differ.begin(); it != differ.end();) {
        std::string key = it->substr(it->find(' ') + 1);
        bool holds_edit = it->compare(0, 7, "folder:") == 0 &&
                          FoldCase(edited).compare(0, key.size() + 1, key + "\\") == 0;
        it = holds_edit ? differ.erase(it) : std::next(it);
      }
    }
    int want = edited.empty() || force ? kExitOk : kExitFailed;
    std::string said = console.out + console.err;
    if (status != want || !differ.empty())
      Fail("undo = identity", "undo exits " + std::to_string(status) + " (want " +
                                  std::to_string(want) + "), differs:" + Join(differ) + "\n" +
                                  said);
    else if (!edited.empty() && !force &&
             FoldCase(said).find(FoldCase(edited)) == std::string::npos)
      Fail("undo = identity", "undo left " + edited + " without naming it:\n" + said);
    // The player's edit made through a link stays, beside Kestrova.
    std::string edited_outside = FoldCase(OutsidePath(edited));
    std::set<std::string> escaped = Differing(world0, WorldTree(), [&](const std::string& key) {
      return !InHost(key) && (edited_outside.empty() || FoldCase(key) != edited_outside);
    });
    if (!escaped.empty())
      Fail("nothing escapes", "after the undo, outside Kestrova:" + Join(escaped));
  }

  const PropCase& c_;
  PropBackend backend_;
  std::unique_ptr<PropWorld> world_;
  PropOutcome outcome_;
  PropRunSaid said_;
};

bool Fails(const PropCase& c, PropBackend backend, const std::string& property) {
  for (const PropFinding& f : CheckCase(c, backend).findings) {
    if (f.property == property)
      return true;
  }
  return false;
}

}  // namespace

PropOutcome CheckCase(const PropCase& c, PropBackend backend) {
  return PropRun(c, backend).Go();
}

PropCase MinimiseCase(const PropCase& c, PropBackend backend, const std::string& property) {
  PropCase best = c;
  for (bool shrunk = true; shrunk;) {
    shrunk = false;
    for (std::size_t i = best.lines.size(); i-- > 0;) {
      PropCase fewer = best;
      fewer.lines.erase(fewer.lines.begin() + static_cast<long>(i));
      if (Fails(fewer, backend, property)) {
        best = fewer;
        shrunk = true;
      }
    }
  }
  return best;
}
