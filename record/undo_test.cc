// Install then undo, on the fake platform: the tree and the registry come
// back as they were, apart from the records and Scan; what others changed
// since is left alone unless forced, and a forced undo can be undone.
#include "record/undo.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

#include "engine/installer.h"
#include "engine/messages.h"
#include "engine/run_lock.h"
#include "platform/fake_platform.h"
#include "platform/paths.h"
#include "platform/win_constants.h"
#include "record/record_list.h"
#include "record/record_reader.h"
#include "res/resource.h"
#include "textures/texture_catalogue.h"

namespace {

const char kKey[] = "HKEY_CLASSES_ROOT\\Software\\Brindlewood\\KSVX";
const char kHost[] = "D:\\Sim\\";
const char kCatalogue[] = "D:\\Sim\\Resourcen\\Parallels\\Texturen.txt";
const char kNormalised[] = "Basis{\r\n\tTextur{\tname(Kies)\tid(12)\t}\r\n}\r\n";
const char kLoose[] = "Basis {\n  Textur{ name(Kies)  id(12) }\n\n  Textur{ name(Gras) id(3) }\n}";

const char kFiles[] =
    "Dateinstallation{{a.ksm>>Modelle\\Neu\\Tief\\a.ksm}{alt.ksm>>Modelle\\alt.ksm}"
    "{neu.ksm>>Modelle\\neu.ksm}{ro.ksm>>Modelle\\ro.ksm}}";
const char kTextures[] =
    "Texturskript{{x>>Textur{ name(Mast) id(40) }}{y>>Textur{ name(Kies2) id(12) }}}";

// Every file and folder outside the records, with content, time and
// attributes.
std::map<std::string, std::string> Tree(const FakeFileSystem& files) {
  std::map<std::string, std::string> tree;
  for (const auto& node : files.nodes()) {
    if (node.first.rfind("d:\\sim\\packwright", 0) == 0)
      continue;
    const FakeFileSystem::Node& n = node.second;
    tree[node.first] = n.dir ? "<dir>"
                             : n.data + "|" + std::to_string(n.time) + "|" +
                                   std::to_string(n.read_only) + std::to_string(n.attributes);
  }
  return tree;
}

// Kestrova's tree with a replaceable, a newer and a read-only file, and
// package C:\Paket that installs over all three.
struct Kestrova {
  explicit Kestrova(const std::string& catalogue = kNormalised,
                    const std::string& script = std::string(kFiles) + kTextures) {
    p.registry.SetString(kKey, "AppPath", "D:\\Sim\\Kestrova.exe");
    p.registry.SetDwordValue(kKey, "Scan", 0);
    p.files.AddFile("D:\\Sim\\Kestrova.exe", "exe");
    p.files.AddFile("D:\\Sim\\Modelle\\alt.ksm", "old alt", 50);
    p.files.AddFile("D:\\Sim\\Modelle\\neu.ksm", "newer", 500);
    p.files.AddFile("D:\\Sim\\Modelle\\ro.ksm", "read-only", 50);
    p.files.Find("D:\\Sim\\Modelle\\ro.ksm")->read_only = true;
    p.files.Find("D:\\Sim\\Modelle\\alt.ksm")->attributes = 0x20;
    p.files.AddFile(kCatalogue, catalogue);
    AddPackage("C:\\Paket", script);
  }

  void AddPackage(const std::string& dir, const std::string& script) {
    for (const char* name : {"a.ksm", "alt.ksm", "neu.ksm", "ro.ksm"})
      p.files.AddFile(dir + "\\" + name, dir + " " + name, 100);
    p.files.Find(dir + "\\ro.ksm")->read_only = true;
    p.files.AddFile(dir + "\\Texturen.txt", "Basis{\r\n\tTextur{\tname(Eigen)\tid(77)\t}\r\n}\r\n",
                    100);
    p.files.AddFile(dir + "\\InstSkript.txt", script);
  }

  long Install(const std::string& dir = "C:\\Paket") {
    p.shell.module_path = dir + "\\Packwright.exe";
    p.shell.answers.push_back(kIdNo);  // replace the newer file
    CInstaller installer(p.platform);
    return installer.Run(nullptr);
  }

  UndoReport Undo(bool force = false, bool dry_run = false) {
    UndoOptions options;
    options.force = force;
    options.dry_run = dry_run;
    return UndoLatest(p.platform, kHost, "Paket", options);
  }

  std::string Scan() { return p.registry.Get(kKey, "Scan")->bytes.substr(0, 1); }

  FakePlatform p;
};

TEST(UndoTest, InstallThenUndoLeavesTheTreeAsItWas) {
  struct Case {
    const char* script;
    const char* catalogue;
  };
  const Case cases[] = {
      {"", kNormalised},
      {"", kLoose},
      {"Texturskript{}", kLoose},
      {"Dateinstallation{{a.ksm>>Modelle\\Neu\\Tief\\a.ksm}{a.ksm>>Modelle\\Neu\\Tief\\a.ksm}"
       "{ro.ksm>>Modelle\\Neu\\ro.ksm}{alt.ksm>>Texturen\\..\\Modelle\\Neu\\b.ksm}}",
       kNormalised},
      {"Dateinstallation{{a.ksm>>M\\x}{alt.ksm>>M\\x}}Texturskript{}", kNormalised},
      {"Dateinstallation{{Texturen.txt>>Resourcen\\Parallels\\Texturen.txt}}", kNormalised},
  };
  for (const Case& c : cases) {
    for (bool force : {false, true}) {
      SCOPED_TRACE(std::string(c.script) + (force ? " --force" : ""));
      Kestrova k(c.catalogue, *c.script ? c.script : std::string(kFiles) + kTextures);
      if (std::string(c.script).find("Texturen.txt>>") != std::string::npos)
        k.AddPackage("C:\\Paket", std::string(c.script) + kTextures);
      std::map<std::string, std::string> before = Tree(k.p.files);
      k.Install();
      EXPECT_NE(before, Tree(k.p.files));
      EXPECT_EQ("\x02", k.Scan());
      k.p.registry.SetDwordValue(kKey, "Scan", 0);
      EXPECT_EQ(UndoStatus::kUndone, k.Undo(force, true).outcome.status);
      UndoReport report = k.Undo(force);
      EXPECT_EQ(UndoStatus::kUndone, report.outcome.status)
          << testing::PrintToString(report.errors);
      EXPECT_EQ(before, Tree(k.p.files));
      EXPECT_EQ("\x02", k.Scan());
      EXPECT_NE(nullptr, k.p.registry.Get(kKey, "AppPath"));
      EXPECT_EQ(UndoStatus::kNothingToUndo, k.Undo().outcome.status);
    }
  }
}

TEST(UndoTest, LaterChangesAreLeftAloneUnlessForcedAndTheForcedUndoUndoes) {
  Kestrova k;
  FakePlatform& p = k.p;
  k.Install();
  p.files.AddFile("D:\\Sim\\Modelle\\alt.ksm", "player's edit", 700);
  k.AddPackage("C:\\Zweit",
               "Dateinstallation{{a.ksm>>Modelle\\Neu\\Tief\\a.ksm}}"
               "Texturskript{{x>>Textur{ name(Zweit) id(41) }}}");
  ASSERT_EQ(0, k.Install("C:\\Zweit"));

  UndoReport partly = k.Undo();
  EXPECT_EQ(UndoStatus::kPartly, partly.outcome.status);
  EXPECT_EQ(
      (std::vector<std::string>{"D:\\Sim\\Modelle\\alt.ksm", "D:\\Sim\\Modelle\\Neu\\Tief\\a.ksm"}),
      partly.outcome.left_alone);
  EXPECT_EQ("newer", p.files.Content("D:\\Sim\\Modelle\\neu.ksm"));
  EXPECT_EQ(std::string::npos, p.files.Content(kCatalogue).find("id(40)"));
  EXPECT_NE(std::string::npos, p.files.Content(kCatalogue).find("id(41)"));

  std::map<std::string, std::string> edited = Tree(p.files);
  UndoReport plan = k.Undo(true, true);
  EXPECT_EQ(edited, Tree(p.files));
  EXPECT_EQ(UndoStatus::kUndone, plan.outcome.status);

  UndoReport forced = k.Undo(true);
  ASSERT_EQ(UndoStatus::kUndone, forced.outcome.status);
  EXPECT_EQ(plan.steps, forced.steps);
  EXPECT_EQ("old alt", p.files.Content("D:\\Sim\\Modelle\\alt.ksm"));
  EXPECT_FALSE(p.files.Exists("D:\\Sim\\Modelle\\Neu"));
  EXPECT_EQ(std::string::npos, p.files.Content(kCatalogue).find("id(40)"));
  EXPECT_NE(std::string::npos, p.files.Content(kCatalogue).find("id(41)"));
  RunRecord record;
  unsigned number = 0;
  for (unsigned n = 1; n < 10; ++n)
    number = ReadRunRecord(p.files, kHost, n, &record) ? n : number;
  UndoReport back = UndoRun(p.platform, kHost, number, UndoOptions());
  EXPECT_EQ(UndoStatus::kUndone, back.outcome.status) << testing::PrintToString(back.errors);
  EXPECT_EQ(edited, Tree(p.files));
}

TEST(UndoTest, AFaultAnywhereInTheInstallLeavesARecordThatUndoesIt) {
  std::map<std::string, std::string> before = Tree(Kestrova().p.files);
  for (int n = 1; n < 2000; ++n) {
    Kestrova fresh;
    FakePlatform& q = fresh.p;
    int start = q.files.call_count();
    q.files.FailNth(n);
    q.shell.module_path = "C:\\Paket\\Packwright.exe";
    q.shell.answers.push_back(kIdNo);
    CInstaller(q.platform).Run(nullptr);
    bool reached = q.files.call_count() >= start + n;
    std::string failed_call = reached ? q.files.calls()[start + n - 1] : std::string();
    SCOPED_TRACE("call " + std::to_string(n) + ": " + failed_call);
    q.files.ClearFaults();
    UndoReport report = UndoLatest(q.platform, kHost, "Paket", UndoOptions());
    EXPECT_NE(UndoStatus::kFailed, report.outcome.status) << testing::PrintToString(report.errors);
    EXPECT_TRUE(report.outcome.left_alone.empty())
        << testing::PrintToString(report.outcome.left_alone);
    EXPECT_EQ(before, Tree(q.files));
    if (!reached) {
      EXPECT_GT(n, 50);
      return;
    }
  }
  ADD_FAILURE() << "the install never ran without a fault";
}

}  // namespace

namespace {

TEST(UndoTest, AnEditedRecordCannotAimAnUndoOutsideKestrova) {
  Kestrova k;
  k.p.files.AddFile(
      "D:\\Sim\\Packwright\\0001\\Record.txt",
      "packwright-record\t1\npackage\tPaket\t-\nkind\tinstall\n"
      "create\t..\\..\\C:\\Paket\\a.ksm\t1\t0000000000000000\n"
      "create\tC:\\Paket\\alt.ksm\t1\t0000000000000000\n"
      "replace\tModelle\\alt.ksm\t..\\..\\..\\Paket\\neu.ksm\t0\t1\t0000000000000000\n"
      "create\tModelle\\..\\..\\Outside.ksm\t1\t0000000000000000\n");
  k.p.files.AddFile("D:\\Outside.ksm", "not Kestrova's");
  std::map<std::string, std::string> before = Tree(k.p.files);
  UndoOutcome outcome = k.Undo(true).outcome;
  EXPECT_EQ(UndoStatus::kPartly, outcome.status);
  EXPECT_EQ((std::vector<std::string>{"..\\..\\C:\\Paket\\a.ksm", "C:\\Paket\\alt.ksm",
                                      "Modelle\\alt.ksm", "Modelle\\..\\..\\Outside.ksm"}),
            outcome.left_alone);
  EXPECT_EQ(before, Tree(k.p.files));
}

// A package that ships the catalogue as a file: after the player added an
// entry, even a forced undo takes out only the package's own entries.
TEST(UndoTest, AForcedUndoKeepsEntriesAddedToAShippedCatalogue) {
  std::string script = "Dateinstallation{{Texturen.txt>>Resourcen\\Parallels\\Texturen.txt}}";
  Kestrova k(kNormalised, script + kTextures);
  k.Install();
  CTextureCatalogue catalogue(k.p.files);
  ASSERT_TRUE(catalogue.Load(kCatalogue) && catalogue.AddEntry("Textur{ name(Eigenes) id(99) }"));
  ASSERT_TRUE(catalogue.Save(kCatalogue));
  UndoReport forced = k.Undo(true);
  EXPECT_EQ(UndoStatus::kPartly, forced.outcome.status);
  EXPECT_EQ(std::vector<std::string>{kCatalogue}, forced.outcome.left_alone);
  EXPECT_NE(std::string::npos, k.p.files.Content(kCatalogue).find("id(99)"));
  EXPECT_EQ(std::string::npos, k.p.files.Content(kCatalogue).find("id(40)"));
}

// A copy that failed is on record as such: list does not count it, and the
// undo passes over it.
TEST(UndoTest, AFailedCopyIsNeitherCountedNorUndone) {
  Kestrova k;
  std::map<std::string, std::string> before = Tree(k.p.files);
  k.p.files.FailMatching("Copy", "C:\\Paket\\alt.ksm");
  k.p.shell.answers.push_back(kIdOk);  // to the failed copy's message
  EXPECT_EQ(kInstallFailed, k.Install());
  k.p.files.ClearFaults();
  std::vector<RecordSummary> list = ListRecords(k.p.platform, kHost);
  ASSERT_EQ(1u, list.size());
  EXPECT_EQ(2, list[0].files);  // a.ksm and neu.ksm; alt.ksm failed, ro.ksm is read-only
  EXPECT_EQ(UndoStatus::kUndone, list[0].undo.status);
  EXPECT_EQ(UndoStatus::kUndone, k.Undo().outcome.status);
  EXPECT_EQ(before, Tree(k.p.files));
}

// A record that does not read stops neither list nor any undo.
TEST(UndoTest, AnUnreadableRecordIsPassedOver) {
  Kestrova k;
  k.p.files.AddFile("D:\\Sim\\Packwright\\0001\\Record.txt",
                    "packwright-record\t1\nkind\tundo\nundoes\t99999999999999999999\n");
  k.p.files.AddFile("D:\\Sim\\Packwright\\0002\\Record.txt",
                    "packwright-record\t2\nkind\tinstall\n"
                    "create\tM\\x\t99999999999999999999\t0000000000000000\nend\tok\n");
  std::map<std::string, std::string> before = Tree(k.p.files);
  k.Install();
  std::vector<RunRecord> all = ReadRecords(k.p.files, kHost);
  ASSERT_EQ(3u, all.size());
  EXPECT_TRUE(all[2].unreadable);
  EXPECT_TRUE(all[1].files.empty());
  EXPECT_EQ(UndoStatus::kFailed, UndoRun(k.p.platform, kHost, 1, UndoOptions()).outcome.status);
  EXPECT_EQ(UndoStatus::kUndone, k.Undo().outcome.status);
  EXPECT_EQ(before, Tree(k.p.files));
}

// A record of the first format holds its paths in the ANSI code page; the
// files on disk carry their Unicode names.
TEST(UndoTest, ARecordOfTheFirstFormatIsReadInTheCodePage) {
  Kestrova k(kNormalised,
             "Dateinstallation{{a.ksm>>Modelle\\Br\xFC"
             "cke.ksm}}Texturskript{}");
  std::map<std::string, std::string> before = Tree(k.p.files);
  ASSERT_EQ(0, k.Install());
  const char record[] = "D:\\Sim\\Packwright\\0001\\Record.txt";
  FakeFileSystem::Node* node = k.p.files.Find(record);
  ASSERT_TRUE(node && node->data.rfind("packwright-record\t2\n", 0) == 0);
  std::string& data = node->data;
  data.replace(0, 20, "packwright-record\t1\n");
  std::size_t at = data.find(
      "Br\xC3\xBC"
      "cke");
  ASSERT_NE(std::string::npos, at);
  data.replace(at, 4, "Br\xFC");
  EXPECT_EQ(UndoStatus::kUndone, k.Undo().outcome.status);
  EXPECT_EQ(before, Tree(k.p.files));
}

TEST(UndoTest, AnUndoCutShortByAFaultIsFinishedByTheNext) {
  std::map<std::string, std::string> before = Tree(Kestrova().p.files);
  for (int n = 1; n < 2000; ++n) {
    Kestrova k;
    k.Install();
    int start = k.p.files.call_count();
    k.p.files.FailNth(n);
    UndoReport first = k.Undo();
    bool reached = k.p.files.call_count() >= start + n;
    std::string failed_call = reached ? k.p.files.calls()[start + n - 1] : std::string();
    SCOPED_TRACE("call " + std::to_string(n) + ": " + failed_call);
    k.p.files.ClearFaults();
    UndoReport second = k.Undo();
    EXPECT_NE(UndoStatus::kFailed, second.outcome.status) << testing::PrintToString(second.errors);
    EXPECT_EQ(before, Tree(k.p.files));
    if (!reached) {
      EXPECT_EQ(UndoStatus::kUndone, first.outcome.status);
      EXPECT_GT(n, 50);
      return;
    }
  }
  ADD_FAILURE() << "the undo never ran without a fault";
}

}  // namespace

namespace {

// Gives up at its third call; at its second, the other run ends.
class EndingWait : public ILockWait {
 public:
  explicit EndingWait(std::unique_ptr<FileLock>* other) : other_(other) {}
  bool Wait() override {
    if (++calls == 2)
      other_->reset();
    return calls < 3;
  }
  int calls = 0;

 private:
  std::unique_ptr<FileLock>* other_;
};

TEST(UndoTest, InstallsAndUndosRunOneAtATime) {
  Kestrova k;
  const char kLock[] = "D:\\Sim\\Packwright\\Packwright.lock";
  std::unique_ptr<FileLock> other;
  std::string err;
  k.p.files.AddDir("D:\\Sim\\Packwright");
  ASSERT_EQ(LockResult::kLocked, k.p.files.LockFile(kLock, &other, &err));
  std::map<std::string, std::string> before = Tree(k.p.files);
  EXPECT_EQ(kInstallFailed, k.Install());
  EXPECT_EQ(before, Tree(k.p.files));
  ASSERT_FALSE(k.p.shell.boxes.empty());
  EXPECT_EQ(k.p.shell.LoadText(LocalizedId(k.p.shell, IDS_INSTALL_BUSY)),
            k.p.shell.boxes.back().text);
  EXPECT_TRUE(ReadRecords(k.p.files, kHost).empty());

  other.reset();
  k.Install();
  ASSERT_EQ(1u, ReadRecords(k.p.files, kHost).size());
  ASSERT_EQ(LockResult::kLocked, k.p.files.LockFile(kLock, &other, &err));
  EXPECT_EQ(UndoStatus::kBusy, k.Undo().outcome.status);
  // Reading takes no lock.
  EXPECT_EQ(UndoStatus::kUndone, k.Undo(false, true).outcome.status);
  EXPECT_EQ(UndoStatus::kUndone, ListRecords(k.p.platform, kHost).at(0).undo.status);
  EndingWait wait(&other);
  UndoOptions options;
  options.wait = &wait;
  EXPECT_EQ(UndoStatus::kUndone, UndoLatest(k.p.platform, kHost, "Paket", options).outcome.status);
  EXPECT_EQ(2, wait.calls);
  EXPECT_EQ(before, Tree(k.p.files));

  k.p.files.FailMatching("LockFile", "Packwright");
  EXPECT_EQ(kInstallFailed, k.Install());
  EXPECT_EQ(UndoStatus::kFailed, k.Undo().outcome.status);
}

}  // namespace

namespace {

TEST(UndoTest, TheCataloguesTemporaryIsTheRunsOwnAndUndoRemovesItsLeftover) {
  Kestrova k;
  std::map<std::string, std::string> before = Tree(k.p.files);
  const std::string temp = std::string(kCatalogue) + ".0001.pwtmp";
  k.p.files.FailMatching("Replace", temp + ", ");
  k.p.files.FailMatching("Remove", temp);
  k.Install();
  EXPECT_TRUE(k.p.files.Exists(temp));
  k.p.files.ClearFaults();
  EXPECT_EQ(UndoStatus::kUndone, k.Undo().outcome.status);
  EXPECT_EQ(before, Tree(k.p.files));
}

// Packages as players meet them: unpacked into folders of the same name,
// installed twice, updated, and uninstalled in any order.
struct Player {
  Player() : before(State()) {}

  // Kestrova's tree, apart from the records, and the catalogue's text: an
  // undo out of order puts back what it held through a save of its own.
  std::map<std::string, std::string> State() {
    std::map<std::string, std::string> tree = Tree(k.p.files);
    for (auto it = tree.begin(); it != tree.end();)
      it = it->first.rfind("d:\\sim", 0) == 0 ? std::next(it) : tree.erase(it);
    tree[LowerAscii(kCatalogue)] = k.p.files.Content(kCatalogue);
    return tree;
  }

  // A package in `dir` whose script installs `files` ("name>>destination").
  void Unpack(const std::string& dir, const std::vector<std::string>& files,
              const std::string& version = "1") {
    std::string script = "{" + dir + " " + version + "}Dateinstallation{";
    for (const std::string& entry : files) {
      k.p.files.AddFile(dir + "\\" + entry.substr(0, entry.find('>')), dir + version, 100);
      script += "{" + entry + "}";
    }
    k.p.files.AddFile(dir + "\\InstSkript.txt", script + "}Texturskript{}");
  }

  UndoReport Uninstall(const std::string& dir) {
    PackageIdentity identity;
    EXPECT_TRUE(ReadPackageIdentity(k.p.files, dir + "\\InstSkript.txt", kHost, &identity));
    return UndoPackage(k.p.platform, kHost, identity, UndoOptions());
  }

  // The catalogue as the texture step writes it.
  Kestrova k{"Basis{\r\n\tTextur{\tname(Kies)\tid(12)\t}\r\n}", ""};
  std::map<std::string, std::string> before;
};

const std::vector<std::string> kWagons = {"w1.ksm>>Modelle\\Wagen\\w1.ksm",
                                          "w2.bmp>>Texturen\\Nord\\Mast_Rot.bmp"};
const std::vector<std::string> kBridge = {"b1.ksm>>Modelle\\Bruecke\\b1.ksm",
                                          "b2.bmp>>Texturen\\Nord\\Mast_Rot.bmp"};

TEST(UndoPackageTest, TakesBackEveryInstallOfThePackageAndNothingElse) {
  // Two packages from folders named alike, uninstalled in both orders;
  // each takes back exactly its own files.
  for (bool bridge_first : {true, false}) {
    SCOPED_TRACE(bridge_first ? "bridge first" : "wagons first");
    Player player;
    player.Unpack("C:\\B\\Paket", kWagons);
    player.Unpack("C:\\A\\Paket", {kBridge[0]});
    player.k.Install("C:\\B\\Paket");
    std::map<std::string, std::string> wagons = player.State();
    player.k.Install("C:\\A\\Paket");
    const char* first = bridge_first ? "C:\\A\\Paket" : "C:\\B\\Paket";
    EXPECT_EQ(UndoStatus::kUndone, player.Uninstall(first).outcome.status);
    if (bridge_first) {
      EXPECT_EQ(wagons, player.State());
    }
    EXPECT_EQ(bridge_first, player.k.p.files.Exists("D:\\Sim\\Modelle\\Wagen\\w1.ksm"));
    EXPECT_EQ(!bridge_first, player.k.p.files.Exists("D:\\Sim\\Modelle\\Bruecke\\b1.ksm"));
    EXPECT_EQ(UndoStatus::kUndone,
              player.Uninstall(bridge_first ? "C:\\B\\Paket" : "C:\\A\\Paket").outcome.status);
    EXPECT_EQ(player.before, player.State());
  }
  // Installed twice, and updated to a version with one file more: one
  // uninstall brings back the tree from before the first install.
  for (bool update : {false, true}) {
    SCOPED_TRACE(update ? "update" : "twice");
    Player player;
    player.Unpack("C:\\Paket", kWagons);
    player.k.Install();
    if (update)
      player.Unpack("C:\\Paket", {kWagons[0], kWagons[1], kBridge[0]}, "2");
    player.k.Install();
    UndoReport report = player.Uninstall("C:\\Paket");
    EXPECT_EQ(UndoStatus::kUndone, report.outcome.status) << testing::PrintToString(report.errors);
    EXPECT_EQ(player.before, player.State());
    EXPECT_EQ(UndoStatus::kNothingToUndo, player.Uninstall("C:\\Paket").outcome.status);
  }
}

// The wagons replaced the bridge's bitmap. Uninstalling the bridge leaves
// it; uninstalling the wagons then removes it instead of bringing back the
// bitmap of a package that is gone, and the bridge's folders with it.
TEST(UndoPackageTest, AFileFromAnUninstalledPackageIsRemovedNotRestored) {
  Player player;
  player.Unpack("C:\\A\\Paket", kBridge);
  player.Unpack("C:\\B\\Paket", kWagons);
  player.k.Install("C:\\A\\Paket");
  player.k.Install("C:\\B\\Paket");
  UndoReport bridge = player.Uninstall("C:\\A\\Paket");
  EXPECT_EQ(std::vector<std::string>{"D:\\Sim\\Texturen\\Nord\\Mast_Rot.bmp"},
            bridge.outcome.left_alone);
  EXPECT_EQ(UndoStatus::kUndone, player.Uninstall("C:\\B\\Paket").outcome.status);
  // The bitmap goes, and with it the bridge's folders that held only it.
  EXPECT_EQ(player.before, player.State());
  EXPECT_EQ(UndoStatus::kUndone, player.Uninstall("C:\\A\\Paket").outcome.status);
  EXPECT_EQ(player.before, player.State());
}

// A folder where a file is to go is refused before the record names it, so
// that the record, which cannot back a folder up as a file, stays whole and
// the later entries install.
TEST(UndoTest, AFolderAtADestinationFailsOnlyItsOwnCopy) {
  Kestrova k(kNormalised, "Dateinstallation{{a.ksm>>Modelle}{alt.ksm>>Modelle\\alt.ksm}}");
  std::map<std::string, std::string> before = Tree(k.p.files);
  k.Install();
  EXPECT_EQ("C:\\Paket alt.ksm", k.p.files.Content("D:\\Sim\\Modelle\\alt.ksm"));
  EXPECT_TRUE(k.p.files.Find("D:\\Sim\\Modelle")->dir);
  UndoReport report = k.Undo();
  EXPECT_EQ(UndoStatus::kUndone, report.outcome.status) << testing::PrintToString(report.errors);
  EXPECT_EQ(before, Tree(k.p.files));
}

// 64-bit FNV-1a, the first record format's hash, written out here so that
// the reader's choice of hash is checked against an independent sum.
std::string Fnv1a(const std::string& data) {
  std::uint64_t sum = 14695981039346656037ULL;
  for (unsigned char c : data)
    sum = (sum ^ c) * 1099511628211ULL;
  char text[17];
  std::snprintf(text, sizeof(text), "%016llx", static_cast<unsigned long long>(sum));
  return text;
}

// Records written by hand, as an older Packwright or a crash left them: the
// header's format picks the hash that files are checked with, and a
// temporary line without its create names a half-written temporary.
TEST(UndoTest, RecordsOfEitherFormatAreCheckedWithTheHashTheyName) {
  const std::string created = "D:\\Sim\\Modelle\\x.ksm";
  struct Case {
    const char* header;
    std::string sum;  // of "mine" on record
    const char* now;  // x.ksm's content at the undo
    bool removed;
  };
  const Case cases[] = {
      {"packwright-record\t1\n", Fnv1a("mine"), "mine", true},
      {"packwright-record\t1\n", Fnv1a("mine"), "theirs", false},
      {"packwright-record\t2\nhash\txxh64\n", SumText(Xxh64::Of("mine", 4)), "mine", true},
      // An FNV sum read as XXH64 does not match: the file is not taken.
      {"packwright-record\t2\nhash\txxh64\n", Fnv1a("mine"), "mine", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.header) + c.sum + " " + c.now);
    Kestrova k;
    k.p.files.AddFile(created, c.now, 7);
    k.p.files.AddFile(created + ".pwtmp", "half");
    k.p.files.AddFile("D:\\Sim\\Modelle\\y.ksm.pwtmp", "half");
    k.p.files.AddFile("D:\\Sim\\Packwright\\0001\\Record.txt",
                      std::string(c.header) +
                          "package\tPaket\t-\ntime\tt\nkind\tinstall\n"
                          "temporary\tModelle\\x.ksm\ncreate\tModelle\\x.ksm\t4\t" +
                          c.sum + "\ncreated\tModelle\\x.ksm\t7\ntemporary\tModelle\\y.ksm\n");
    UndoReport report = k.Undo();
    EXPECT_EQ(c.removed ? UndoStatus::kUndone : UndoStatus::kPartly, report.outcome.status);
    EXPECT_EQ(!c.removed, k.p.files.Find(created) != nullptr);
    // Only the temporary whose copy never got its create line is the run's.
    EXPECT_EQ(nullptr, k.p.files.Find("D:\\Sim\\Modelle\\y.ksm.pwtmp"));
    EXPECT_NE(nullptr, k.p.files.Find(created + ".pwtmp"));
  }
}

}  // namespace
