#include "engine/install_observer.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/installer.h"
#include "platform/fake_platform.h"
#include "platform/win_constants.h"

namespace {

const char kKey[] = "HKEY_CLASSES_ROOT\\Software\\Brindlewood\\KSVX";

// Every event as one line, paths below Kestrova's folder shortened to "~".
class EventLog : public IInstallObserver {
 public:
  std::vector<std::string> lines;

  void RunStarted(const std::string& package, const std::string& host) override {
    Add("started " + package + " " + host);
  }
  void RunEnded(RunOutcome outcome, long result) override {
    Add("ended " + std::to_string(static_cast<int>(outcome)) + (result < 0 ? " failed" : " ok"));
  }
  void Told(const std::string& text) override { Add("told " + text.substr(0, 12)); }
  void Asked(const std::string& destination, const std::string&, int answer) override {
    Add("asked " + destination + " " + std::to_string(answer));
  }
  void FileDone(const FileEvent& e) override {
    static const char* kNames[] = {"created", "replaced", "kept", "failed"};
    Add(std::string(kNames[e.outcome]) + " " + e.source + " " + e.destination +
        (e.why.empty() ? "" : " (why)"));
  }
  void SourceMissing(const std::string& source) override { Add("missing " + source); }
  void FolderMade(const std::string& path) override { Add("folder " + path); }
  void TextureDone(const TextureEvent& e) override {
    static const char* kNames[] = {"added", "passed over", "refused"};
    Add(std::string("texture ") + kNames[e.outcome] + " " + std::to_string(e.id) +
        (e.held_by.empty() ? "" : " held"));
  }
  void RecordBegun(const std::string&) override { Add("record"); }
  void RecordFailed(const std::string&) override { Add("record failed"); }
  void ScanSet(std::uint32_t value) override { Add("scan " + std::to_string(value)); }

 private:
  void Add(std::string line) {
    for (std::string::size_type at; (at = line.find("D:\\Sim\\")) != std::string::npos;)
      line.replace(at, 7, "~");
    lines.push_back(line);
  }
};

struct Case {
  const char* name;
  const char* script;
  std::function<void(FakePlatform&)> tree;
  std::vector<std::string> events;
};

// The events of a run say what it did to each entry, in the order it did
// it, with both paths; what the dialog shows is told beside them.
TEST(InstallObserverTest, ARunTellsWhatItDidToEachEntry) {
  const Case cases[] = {
      {"created, replaced, folder and textures",
       "Dateinstallation{{a.dat>>Neu\\a.dat}{b.dat>>b.dat}}"
       "Texturskript{{t>>Textur{name(T)id(5)}}{u>>Textur{name(U)id(12)}}{v>>Textur{}}"
       "{w>>Textur{name(W)id(5)}}}",
       [](FakePlatform& p) { p.files.AddFile("D:\\Sim\\b.dat", "old", 1); },
       {"started C:\\Paket ~", "record", "folder ~Neu", "created C:\\Paket\\a.dat ~Neu\\a.dat",
        "replaced C:\\Paket\\b.dat ~b.dat", "texture passed over 12 held", "texture refused 0",
        "texture passed over 5", "texture added 5", "scan 2", "ended 0 ok"}},
      {"newer kept, newer replaced, missing source, failed copy",
       "Dateinstallation{{a.dat>>a.dat}{b.dat>>b.dat}{x.dat>>x.dat}{a.dat>>Ro.dat}}Texturskript{}",
       [](FakePlatform& p) {
         p.files.AddFile("D:\\Sim\\a.dat", "mine", 50);
         p.files.AddFile("D:\\Sim\\b.dat", "mine", 50);
         p.files.AddFile("D:\\Sim\\Ro.dat", "old", 1);
         p.files.Find("D:\\Sim\\Ro.dat")->read_only = true;
         p.shell.answers = {kIdYes, kIdNo};
       },
       {"started C:\\Paket ~", "record", "asked ~a.dat 6", "kept C:\\Paket\\a.dat ~a.dat",
        "asked ~b.dat 7", "replaced C:\\Paket\\b.dat ~b.dat", "told Eine Datei a",
        "missing C:\\Paket\\x.dat", "told Kopieren der", "failed C:\\Paket\\a.dat ~Ro.dat",
        "scan 2", "ended 0 failed"}},
      {"no file name",
       "Dateinstallation{{a.dat>>Modelle\\}}Texturskript{}",
       [](FakePlatform&) {},
       {"started C:\\Paket ~", "record", "told Kopieren der", "failed C:\\Paket\\a.dat ~Modelle\\",
        "scan 2", "ended 0 failed"}},
      {"record folder taken by a file",
       "Texturskript{}",
       [](FakePlatform& p) { p.files.AddFile("D:\\Sim\\Packwright", "x"); },
       {"started C:\\Paket ~", "record failed", "told Packwright d", "ended 5 failed"}},
      {"script missing", nullptr, [](FakePlatform&) {}, {"told Das Skriptfi", "ended 2 failed"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakePlatform p;
    p.registry.SetString(kKey, "AppPath", "D:\\Sim\\Kestrova.exe");
    p.registry.SetDwordValue(kKey, "Scan", 0);
    p.files.AddFile("D:\\Sim\\Kestrova.exe", "MZ");
    p.files.AddFile("D:\\Sim\\Resourcen\\Parallels\\Texturen.txt", "Basis{Textur{name(K)id(12)}}");
    for (const char* name : {"a", "b"})
      p.files.AddFile(std::string("C:\\Paket\\") + name + ".dat", name, 10);
    if (c.script)
      p.files.AddFile("C:\\Paket\\InstSkript.txt", c.script);
    c.tree(p);
    CInstaller installer(p.platform);
    EventLog log;
    installer.observer = &log;
    installer.Run(nullptr);
    EXPECT_EQ(c.events, log.lines);
  }
}

// A caller that names the package folder is taken at its word; the
// program's own path is not consulted.
TEST(InstallObserverTest, AGivenPackageFolderIsUsedAsItIs) {
  FakePlatform p;
  p.registry.SetString(kKey, "AppPath", "D:\\Sim\\Kestrova.exe");
  p.files.AddFile("D:\\Sim\\Kestrova.exe", "MZ");
  p.files.AddFile("E:\\Pakete\\Lok\\InstSkript.txt", "Dateinstallation{}");
  p.shell.module_path = "Packwright.exe";
  CInstaller installer(p.platform);
  installer.packageDir = "E:\\Pakete\\Lok";
  EventLog log;
  installer.observer = &log;
  installer.Run(nullptr);
  EXPECT_EQ("E:\\Pakete\\Lok", installer.scriptDir);
  EXPECT_EQ("started E:\\Pakete\\Lok ~", log.lines.front());
}

}  // namespace
