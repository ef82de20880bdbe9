// The chain log is the player's data: appended to, never rewritten, and no fault in it stops the
// practice or reaches the host.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Patterns.h"
#include "Practice.h"
#include "SettingsWindow.h"
#include "TempFolder.h"

namespace {

using testing_support::ChainLogPath;
using testing_support::FileLines;
using testing_support::FileText;
using testing_support::LoggedResets;
using testing_support::MatchesPattern;

constexpr const char* kHeader = "ended,resets,highest,average_interval\n";
// A chain of three resets, 1.28 s apart, the highest (87 percent) neither the first nor the last.
constexpr const char* kChainOfThree =
    "ball:500 jump reset +1.28 ball:1712.83 reset +1.28 ball:800 reset ballground +1 jump";
constexpr const char* kLoggedChainOfThree = R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ,3,87\.00,1\.28\n)";

struct LogCase {
  const char* name;
  std::optional<std::string> existing;  // the log's text before the load; none: no log, no folder
  std::vector<std::string> console;     // a pattern for every console line, in order
  std::string appended;                 // a pattern for what follows the old text
  const char* allTimeBest;
};

class ChainLogTest : public ::testing::TestWithParam<LogCase> {};

TEST_P(ChainLogTest, KeepsWhatIsThereAndAppendsTheNewChain) {
  const LogCase& c = GetParam();
  testing_support::TempFolder data;
  const auto log = ChainLogPath(data.Path());
  if (c.existing) {
    std::filesystem::create_directories(log.parent_path());
    std::ofstream(log, std::ios::binary) << *c.existing;
  }
  {
    testing_support::PluginSession session(data.Path());
    testing_support::Practice(session).Play(kChainOfThree);
    host::SettingsWindow window{*session.Loaded().SettingsWindow()};
    const auto shown = testing_support::StatisticsLines(window.Draw());
    ASSERT_EQ(shown.size(), testing_support::kFreshStatistics.size() - 1);
    EXPECT_EQ(shown[1], "Chains: 1");
    EXPECT_EQ(shown[6], std::string("All-time best chain: ") + c.allTimeBest);
    const auto console = session.Host().ConsoleLines();
    ASSERT_EQ(console.size(), c.console.size()) << (console.empty() ? "" : console[0]);
    for (std::size_t i = 0; i < console.size(); ++i) {
      EXPECT_TRUE(MatchesPattern(console[i], c.console[i])) << console[i];
    }
  }
  const std::string text = FileText(log);
  const std::string old = c.existing.value_or("");
  ASSERT_TRUE(text.starts_with(old)) << "the old text stays as it was:\n" << text;
  EXPECT_TRUE(MatchesPattern(text.substr(old.size()), c.appended)) << text;
}

const std::string kLogPath = "'.*/quillon/chains\\.csv'";
std::string Skipped(int lines) {
  return "Quillon: skipped " + std::to_string(lines) + " unreadable line\\(s\\) in " + kLogPath +
         " \\(left in the file as they are\\)";
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ChainLogTest,
    ::testing::Values(
        LogCase{"MissingFolderIsMade",
                std::nullopt,
                {},
                std::string(kHeader) + kLoggedChainOfThree,
                "3"},
        LogCase{"EmptyFileGetsTheHeader", "", {}, std::string(kHeader) + kLoggedChainOfThree, "3"},
        LogCase{"GoodLogIsAppendedTo",
                "ended,resets,highest,average_interval\n"
                "2026-12-07T21:54:44Z,4,61.20,1.75\n",
                {},
                kLoggedChainOfThree,
                "4"},
        LogCase{"TornLastLineIsSkippedAndNeverMergesWithTheNext",
                "ended,resets,highest,average_interval\n"
                "2026-12-07T21:54:44Z,4,61.20,1.75\n"
                "2026-12-07T21:58:02Z,9,70.",
                {Skipped(1)},
                std::string(R"(\n)") + kLoggedChainOfThree,
                "4"},
        LogCase{"UnparsableLinesAreSkippedAndCounted",
                "ended,resets,highest,average_interval\n"
                "a note of the player's\n"
                "2026-12-07T21:54:44Z,0,61.20,\n"
                "2026-12-07T21:55:44Z,3,61.20,\n"
                "2026-12-07T21:56:44Z,1,61.20,1.00\n"
                "2026-13-07T21:57:44Z,2,61.20,1.00\n"
                "2026-12-07T21:58:44Z,x,61.20,1.00\n"
                "2026-12-07T21:59:44Z,3,high,1.00\n"
                "2026-12-07T22:00:44Z,3,61.20,1.00,\n"
                "\n"
                "2026-12-07T22:02:44Z,3,61.2,1.00\n"
                "2026-12-07T22:03:44Z,3,61.20,1.0\n"
                "2026-12-07T22:04:44Z,3,61.20,1.\n"
                "2026-12-07T22:05:44Z,3,61.20,1e0\n"
                "2026-12-07T22:01:44Z,5,61.20,1.00\r\n",
                {Skipped(13)},
                kLoggedChainOfThree,
                "5"},
        LogCase{"OverlongLineIsSkippedAndTheNextRead",
                "ended,resets,highest,average_interval\n" + std::string(100'000, '9') +
                    "\n2026-12-07T21:54:44Z,4,61.20,1.75\n",
                {Skipped(1)},
                kLoggedChainOfThree,
                "4"}),
    [](const auto& info) { return info.param.name; });

// --- Faults while practising ----------------------------------------------------------------

namespace fs = std::filesystem;

// A chain of n resets, 0.5 s apart, finished by the next chain's jump.
std::string Chain(int resets) {
  std::string words = "jump";
  for (int i = 0; i < resets; ++i) words += " reset +0.5";
  return words + " ballground";
}

struct Fault {
  const char* name;
  std::function<void(const fs::path& log)> make;
  std::function<void(const fs::path& log)> mend;  // at once, so no write comes between its steps
  const char* reason;                             // a pattern
  bool keepsTheOldLog;  // the chain written before the fault is still there after the mend
};

const Fault kFaults[] = {
    {"AFolderInTheLogsPlace",
     [](const fs::path& log) {
       fs::remove(log);
       fs::create_directory(log);
     },
     [](const fs::path& log) { fs::remove(log); }, ".+", false},
    {"APlainFileWhereItsFolderGoes",
     [](const fs::path& log) {
       fs::remove_all(log.parent_path());
       std::ofstream(log.parent_path()) << "not a folder";
     },
     [](const fs::path& log) { fs::remove(log.parent_path()); }, "cannot make its folder: .+",
     false},
    {"AFullDisk",
     [](const fs::path& log) {
       fs::rename(log, fs::path(log) += ".kept");
       fs::create_symlink("/dev/full", log);
     },
     [](const fs::path& log) { fs::rename(fs::path(log) += ".kept", log); },
     "No space left on device", true},
};

class ChainLogFaultTest : public ::testing::TestWithParam<Fault> {
 protected:
  // Plays `before` until its first chain is in the log, makes the fault, plays `after` and lets
  // the plugin go; the console's lines.
  std::vector<std::string> PlayIntoTheFault(const std::string& before, const std::string& after) {
    std::vector<std::string> console;
    testing_support::PluginSession session(data.Path());
    session.Host().SetConsoleOutput([&](std::string_view line) { console.emplace_back(line); });
    testing_support::Practice practice(session);
    practice.Play(before);
    EXPECT_TRUE(
        testing_support::Eventually([&] { return LoggedResets(log) == std::vector<int>{1}; }));
    GetParam().make(log);
    practice.Play(after);
    session.Unload();
    return console;
  }

  testing_support::TempFolder data;
  const fs::path log = ChainLogPath(data.Path());
};

// The chains that finish while the log cannot be written wait, and reach it in order, each once,
// when the retry after the fault has gone finds it writable.
TEST_P(ChainLogFaultTest, WaitingChainsAreWrittenInOrderOnceTheFaultIsGone) {
  const Fault& fault = GetParam();
  testing_support::PluginSession session(data.Path());
  testing_support::Practice practice(session);
  auto& host = session.Host();
  practice.Play(Chain(1) + " " + Chain(2));
  ASSERT_TRUE(
      testing_support::Eventually([&] { return LoggedResets(log) == std::vector<int>{1}; }));
  fault.make(log);
  practice.Play(Chain(3));  // finishes the chain of two
  ASSERT_TRUE(testing_support::Eventually([&] { return host.ConsoleLines().size() == 1; }));
  practice.Play(Chain(4));  // finishes the chain of three: tried at once, fails again quietly
  practice.Play("+5");      // the retry, with the fault still there
  fault.mend(log);
  practice.Play("+5");  // the next retry catches up
  ASSERT_TRUE(testing_support::Eventually([&] { return host.ConsoleLines().size() == 2; }));
  practice.Play(Chain(5));  // finishes the chain of four, written at once
  const auto console = host.ConsoleLines();
  ASSERT_EQ(console.size(), 2u) << console.back();
  EXPECT_TRUE(MatchesPattern(console[0], "Quillon: cannot write to " + kLogPath + " \\(" +
                                             fault.reason +
                                             "\\); finished chains wait in memory and are "
                                             "tried again"))
      << console[0];
  EXPECT_EQ(console[1], "Quillon: the chain log is writable again; 2 chain(s) written");
  const auto expected =
      fault.keepsTheOldLog ? std::vector<int>{1, 2, 3, 4} : std::vector<int>{2, 3, 4};
  testing_support::Eventually([&] { return LoggedResets(log).size() >= expected.size(); });
  EXPECT_EQ(LoggedResets(log), expected);
  EXPECT_TRUE(FileText(log).starts_with(kHeader));
}

// What still cannot be written when the plugin is let go is said, with the count.
TEST_P(ChainLogFaultTest, ChainsThatCannotBeWrittenByUnloadAreCounted) {
  const Fault& fault = GetParam();
  const auto console =
      PlayIntoTheFault(Chain(1) + " " + Chain(2), Chain(3) + " " + Chain(4) + " jump");
  ASSERT_FALSE(console.empty());
  EXPECT_TRUE(
      MatchesPattern(console.back(), "Quillon: 3 chain\\(s\\) could not be written to " + kLogPath))
      << console.back();
  fault.mend(log);
  EXPECT_EQ(LoggedResets(log), fault.keepsTheOldLog ? std::vector<int>{1} : std::vector<int>{})
      << "nothing after the fault";
}

// A log that fails first at unload: the chain going on is tried once, and the player is told why
// and how many chains are not in the log, nothing about waiting.
TEST_P(ChainLogFaultTest, AFirstFailureAtUnloadSaysWhyAndHowMany) {
  const Fault& fault = GetParam();
  const auto console = PlayIntoTheFault(Chain(1) + " jump", "reset +0.5 reset");
  ASSERT_EQ(console.size(), 2u);
  EXPECT_TRUE(MatchesPattern(
      console[0], "Quillon: cannot write to " + kLogPath + " \\(" + fault.reason + "\\)"))
      << console[0];
  EXPECT_TRUE(
      MatchesPattern(console[1], "Quillon: 1 chain\\(s\\) could not be written to " + kLogPath))
      << console[1];
}

INSTANTIATE_TEST_SUITE_P(Faults, ChainLogFaultTest, ::testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
