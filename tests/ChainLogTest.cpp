// The chain log is the player's data: appended to, never rewritten, and no fault in it stops the
// practice or reaches the host.
#include <gtest/gtest.h>

#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "Practice.h"
#include "SettingsWindow.h"
#include "TempFolder.h"

namespace {

using testing_support::ChainLogPath;
using testing_support::FileText;

constexpr const char* kHeader = "ended,resets,highest,average_interval\n";
// A chain of two resets, 1.28 s apart, the higher at 87 percent.
constexpr const char* kChainOfTwo =
    "ball:1712.83 jump reset +1.28 ball:500 reset ballground +1 jump";
constexpr const char* kLoggedChainOfTwo = R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ,2,87\.00,1\.28\n)";

enum class Obstacle { kNone, kFileWhereTheFolderGoes, kDiskFullAfterLoad };

struct LogCase {
  const char* name;
  std::optional<std::string> existing;  // the log's text before the load; none: no log, no folder
  Obstacle obstacle;
  std::vector<std::string> console;  // a pattern for every console line, in order
  std::string appended;              // a pattern for what follows the old text
  const char* allTimeBest;
};

class ChainLogTest : public ::testing::TestWithParam<LogCase> {};

TEST_P(ChainLogTest, KeepsWhatIsThereAndAppendsTheNewChainOrSaysWhyNot) {
  const LogCase& c = GetParam();
  testing_support::TempFolder data;
  const auto log = ChainLogPath(data.Path());
  if (c.existing) {
    std::filesystem::create_directories(log.parent_path());
    std::ofstream(log, std::ios::binary) << *c.existing;
  }
  if (c.obstacle == Obstacle::kFileWhereTheFolderGoes) {
    std::ofstream(data.Path() / "quillon") << "not a folder";
  }
  {
    testing_support::PluginSession session(data.Path());
    if (c.obstacle == Obstacle::kDiskFullAfterLoad) {
      std::filesystem::remove(log);
      std::filesystem::create_symlink("/dev/full", log);
    }
    testing_support::Practice(session).Play(kChainOfTwo);
    host::SettingsWindow window{*session.Loaded().SettingsWindow()};
    const auto shown = testing_support::StatisticsLines(window.Draw());
    ASSERT_EQ(shown.size(), testing_support::kFreshStatistics.size() - 1);
    EXPECT_EQ(shown[1], "Chains: 1") << "the statistics go on whatever the log's fault";
    EXPECT_EQ(shown[6], std::string("All-time best chain: ") + c.allTimeBest);
    const auto& console = session.Host().ConsoleLines();
    ASSERT_EQ(console.size(), c.console.size()) << (console.empty() ? "" : console[0]);
    for (std::size_t i = 0; i < console.size(); ++i) {
      EXPECT_TRUE(std::regex_match(console[i], std::regex(c.console[i]))) << console[i];
    }
  }

  if (c.obstacle == Obstacle::kFileWhereTheFolderGoes) {
    EXPECT_EQ(FileText(data.Path() / "quillon"), "not a folder");
    return;
  }
  if (c.obstacle == Obstacle::kDiskFullAfterLoad) return;
  const std::string text = FileText(log);
  const std::string old = c.existing.value_or("");
  ASSERT_TRUE(text.starts_with(old)) << "the old text stays as it was:\n" << text;
  EXPECT_TRUE(std::regex_match(text.substr(old.size()), std::regex(c.appended))) << text;
}

const std::string kLogPath = "'.*/quillon/chains\\.csv'";
std::string Skipped(int lines) {
  return "Quillon: skipped " + std::to_string(lines) + " unreadable line\\(s\\) in " + kLogPath +
         " \\(left in the file as they are\\)";
}
const std::string kInMemory = "; the statistics are kept in memory only";

INSTANTIATE_TEST_SUITE_P(
    Faults, ChainLogTest,
    ::testing::Values(LogCase{"MissingFolderIsMade",
                              std::nullopt,
                              Obstacle::kNone,
                              {},
                              std::string(kHeader) + kLoggedChainOfTwo,
                              "2"},
                      LogCase{"EmptyFileGetsTheHeader",
                              "",
                              Obstacle::kNone,
                              {},
                              std::string(kHeader) + kLoggedChainOfTwo,
                              "2"},
                      LogCase{"GoodLogIsAppendedTo",
                              "ended,resets,highest,average_interval\n"
                              "2026-12-07T21:54:44Z,4,61.20,1.75\n",
                              Obstacle::kNone,
                              {},
                              kLoggedChainOfTwo,
                              "4"},
                      LogCase{"TornLastLineIsSkippedAndNeverMergesWithTheNext",
                              "ended,resets,highest,average_interval\n"
                              "2026-12-07T21:54:44Z,4,61.20,1.75\n"
                              "2026-12-07T21:58:02Z,9,70.",
                              Obstacle::kNone,
                              {Skipped(1)},
                              std::string(R"(\n)") + kLoggedChainOfTwo,
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
                              "2026-12-07T22:01:44Z,5,61.20,1.00\r\n",
                              Obstacle::kNone,
                              {Skipped(9)},
                              kLoggedChainOfTwo,
                              "5"},
                      LogCase{"OverlongLineIsSkippedAndTheNextRead",
                              "ended,resets,highest,average_interval\n" +
                                  std::string(100'000, '9') +
                                  "\n2026-12-07T21:54:44Z,4,61.20,1.75\n",
                              Obstacle::kNone,
                              {Skipped(1)},
                              kLoggedChainOfTwo,
                              "4"},
                      LogCase{"UnwritableFolder",
                              std::nullopt,
                              Obstacle::kFileWhereTheFolderGoes,
                              {"Quillon: cannot make the folder '.*/quillon' \\(.+\\)" + kInMemory},
                              "",
                              "2"},
                      LogCase{"FullDisk",
                              "",
                              Obstacle::kDiskFullAfterLoad,
                              {"Quillon: cannot write to " + kLogPath + kInMemory},
                              "",
                              "2"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
