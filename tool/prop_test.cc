#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>

#include "tool/prop_check.h"

namespace {

long EnvNumber(const char* name, long fallback) {
  const char* text = std::getenv(name);
  return text && *text ? std::atol(text) : fallback;
}

struct Tally {
  long cases = 0;
  long undone = 0;
  std::map<std::string, long> known;
};

// Checks the case on both backends; on a finding, prints the seed, the
// case and its minimised form, and keeps that form under PW_PROP_FINDINGS.
// PW_PROP_BRIEF leaves the minimising out, to sort many findings quickly.
void Check(const PropCase& c, const std::string& label, Tally* tally) {
  for (PropBackend backend : {PropBackend::kFake, PropBackend::kDisk}) {
    const char* where = backend == PropBackend::kFake ? "fake" : "disk";
    PropOutcome outcome = CheckCase(c, backend);
    ++tally->cases;
    tally->undone += outcome.undone;
    for (const std::string& name : outcome.known)
      ++tally->known[name];
    if (outcome.findings.empty())
      continue;
    const PropFinding& f = outcome.findings[0];
    if (std::getenv("PW_PROP_BRIEF")) {
      ADD_FAILURE() << label << " " << where << ": " << f.property << ": " << f.detail
                    << "\ncase:\n"
                    << CaseText(c);
      continue;
    }
    std::string small = CaseText(MinimiseCase(c, backend, f.property));
    ADD_FAILURE() << label << " on the " << where << " platform: " << f.property << ": " << f.detail
                  << "\ncase:\n"
                  << CaseText(c) << "minimised:\n"
                  << small;
    if (const char* dir = std::getenv("PW_PROP_FINDINGS"))
      std::ofstream(std::string(dir) + "/" + label + "-" + where + ".case") << small;
  }
}

// A fixed number of cases from a fixed seed; PW_PROP_MINUTES runs cases
// from PW_PROP_SEED on for that long instead (scripts/fuzz-long).
TEST(PropertyTest, GeneratedCasesKeepEveryProperty) {
  long minutes = EnvNumber("PW_PROP_MINUTES", 0);
  long seed = EnvNumber("PW_PROP_SEED", 1);
  long count = minutes > 0 ? -1 : EnvNumber("PW_PROP_CASES", 250);
  std::clock_t end = std::clock() + static_cast<std::clock_t>(minutes * 60 * CLOCKS_PER_SEC);
  Tally tally;
  for (long i = 0; count < 0 ? std::clock() < end : i < count; ++i)
    Check(GenerateCase(static_cast<std::uint64_t>(seed + i)), "seed " + std::to_string(seed + i),
          &tally);
  std::string known;
  for (const auto& [name, n] : tally.known)
    known += " " + name + ": " + std::to_string(n) + ";";
  std::printf("%ld runs (a case on a platform), %ld undone; known faults:%s\n", tally.cases,
              tally.undone, known.empty() ? " none" : known.c_str());
  // A suite whose installs never got to an undo tested little.
  EXPECT_GT(tally.undone * 3, tally.cases);
}

// Cases the suite found, minimised; each broke a property before its fix.
const char* const kFound[] = {
    // A read-only destination fails its replace: check --host warns.
    "pkg\ta.dat\t3000\tnew\nfile\tModelle\\x.dat\t500\t1\told\n"
    "entry\ta.dat>>Modelle\\x.dat\nfile\tResourcen\\Parallels\\Texturen.txt\t1000\t0\tBasis{}\n",
    // A folder, or a file in the way, at the destination fails the copy.
    "pkg\ta.dat\t3000\tnew\ndir\tModelle\\a.ksm\\sub\nentry\ta.dat>>Modelle\\a.ksm\n"
    "file\tResourcen\\Parallels\\Texturen.txt\t1000\t0\tBasis{}\n",
    "pkg\ta.dat\t3000\tnew\nfile\tKestrova.exe\t1000\t0\texe\n"
    "entry\ta.dat>>Kestrova.exe\\inner.dat\n"
    "file\tResourcen\\Parallels\\Texturen.txt\t1000\t0\tBasis{}\n",
    // The same read-only file replaced twice, then edited by the player:
    // undo leaves the file, its attributes included.
    "newer\treplace\npkg\tb.dat\t2000\tnew b\nfile\tModelle\\x.dat\t2000\t1\told\n"
    "entry\tb.dat>>Modelle\\x.dat\npkg\tc.dat\t1000\tnew c\nentry\tc.dat>>Modelle\\x.dat\n"
    "later\t1\tedited by the player\n",
    "newer\treplace\npkg\ta.dat\t1000\tnew a\nfile\tModelle\\Neu\\b.ksm\t9000\t1\told\n"
    "entry\ta.dat>>Modelle\\Neu\\b.ksm\npkg\tb.dat\t1000\tnew b\n"
    "entry\tb.dat>>MOdElLe\\NEu\\b.kSm\nlater\t3\tedited by the player\n",
    // The registry names a Kestrova without its program: no install.
    "from-registry\nfile\tResourcen\\Parallels\\Texturen.txt\t1000\t0\tBasis{}\n",
    // A file named Packwright leaves no room for the record: check says so.
    "file\tResourcen\\Parallels\\Texturen.txt\t1000\t0\tBasis{}\n"
    "file\tPackwright\t1000\t0\tx\n",
    // The player's edit of a file installed through a link stays.
    "link\tModelle\\Extern\tExtern\noutside\tExtern\\keep.dat\t1000\toutside\n"
    "pkg\tb.dat\t2000\tnew b\nentry\tb.dat>>Modelle\\Extern\\linked.ksm\n"
    "later\t3\tedited by the player\n",
    // A package's file over Kestrova's catalogue loses every other entry.
    "pkg\tb.dat\t1000\tnew\nentry\tb.dat>>Resourcen\\Parallels\\Texturen.txt\n"
    "file\tResourcen\\Parallels\\Texturen.txt\t1000\t0\tBasis{}\n",
    // A catalogue that the texture step will not save: read-only, or with a
    // byte order mark that a save would lose.
    "pkg\ta.dat\t3000\tnew\nentry\ta.dat>>e.dat\n"
    "file\tResourcen\\Parallels\\Texturen.txt\t1000\t1\tBasis{}\n",
    "pkg\ta.dat\t3000\tnew\nentry\ta.dat>>e.dat\n"
    "file\tResourcen\\Parallels\\Texturen.txt\t1000\t0\t\xEF\xBB\xBF"
    "Basis{}\n",
};

TEST(PropertyTest, FoundCasesKeepEveryProperty) {
  Tally tally;
  for (const char* text : kFound) {
    PropCase c;
    ASSERT_TRUE(ParseCase(text, &c)) << text;
    Check(c, "found case", &tally);
  }
}

}  // namespace
