// The host's console commands, console output and data folder, as plugins reach them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "CVarManagerWrapper.h"
#include "GameWrapper.h"
#include "Host.h"
#include "TempFolder.h"

namespace {

TEST(HostConsole, CommandLinesAreSplitIntoWordsForTheNamedCommand) {
  pluginsdk::Host host;
  const auto plugin = host.Connect();
  std::vector<std::string> received;
  plugin->cvars->registerNotifier(
      "quillon_echo", [&](std::vector<std::string> words) { received = std::move(words); }, "", 0);

  struct Case {
    const char* line;
    std::vector<std::string> words;
  };
  const Case cases[] = {
      {"quillon_echo", {"quillon_echo"}},
      {"  quillon_echo a\tb  ", {"quillon_echo", "a", "b"}},
      {"quillon_echo \"two words\" \"\" x", {"quillon_echo", "two words", "", "x"}},
      {"quillon_echo \"unclosed quote", {"quillon_echo", "unclosed quote"}},
  };
  for (const auto& c : cases) {
    received.clear();
    EXPECT_TRUE(host.ExecuteCommand(c.line)) << c.line;
    EXPECT_EQ(received, c.words) << c.line;
  }
}

TEST(HostConsole, UnknownCommandsRunNothingAndAreReportedOnTheConsoleUnlessNotLogged) {
  pluginsdk::Host host;
  const auto plugin = host.Connect();
  EXPECT_FALSE(host.ExecuteCommand(""));
  EXPECT_FALSE(host.ExecuteCommand("quillon_nothing 1"));
  plugin->cvars->executeCommand("quillon_nothing 1");
  plugin->cvars->executeCommand("quillon_nothing 2", false);
  EXPECT_EQ(host.ConsoleLines(), std::vector<std::string>{"unknown command: quillon_nothing 1"});
}

TEST(HostConsole, APluginsCommandsGoWhenTheHostLetsItGo) {
  pluginsdk::Host host;
  int runs = 0;
  host.RegisterCommand(
      pluginsdk::kHostCommands, "hostcommand", [&](auto) { ++runs; }, "");
  {
    const auto plugin = host.Connect();
    plugin->cvars->registerNotifier(
        "quillon_mine", [&](auto) { ++runs; }, "", 0);
    EXPECT_TRUE(host.HasCommand("quillon_mine"));
  }
  EXPECT_FALSE(host.HasCommand("quillon_mine"));
  EXPECT_TRUE(host.ExecuteCommand("hostcommand"));
  EXPECT_EQ(runs, 1);
}

TEST(HostDataFolder, AHostOfItsOwnUsesAFreshTemporaryFolderAndRemovesIt) {
  std::filesystem::path folder;
  {
    pluginsdk::Host host;
    const auto plugin = host.Connect();
    folder = plugin->game->GetDataFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(host.DataFolder(), folder);
  }
  EXPECT_FALSE(std::filesystem::exists(folder));
}

// The plugin, the config file at load and the config file at unload all ask for the folder.
TEST(HostDataFolder, NoUsableTemporaryFolderIsOneFailureHoweverOftenItIsAskedFor) {
  const testing_support::TempFolder folder;
  const auto notAFolder = folder.Path() / "plain-file";
  std::ofstream(notAFolder) << "x";
  const testing_support::TemporaryFolderAt temporary(notAFolder);
  pluginsdk::Host host;
  const auto plugin = host.Connect();
  host.ApplyConfig(plugin->id);
  EXPECT_EQ(plugin->game->GetDataFolder(), "");
  EXPECT_EQ(host.DataFolder(), "");
  EXPECT_EQ(plugin->game->GetDataFolder(), "");
  host.WriteConfig();
  host.WriteConfig();
  ASSERT_EQ(host.Failures().size(), 1u);
  EXPECT_TRUE(host.Failures()[0].starts_with("host: cannot make a temporary data folder"))
      << host.Failures()[0];
}

TEST(HostDataFolder, AChosenFolderIsUsedAndKept) {
  const auto chosen = std::filesystem::temp_directory_path() / "quillon-chosen-data-folder";
  std::filesystem::create_directories(chosen);
  {
    pluginsdk::Host host;
    const auto temporary = host.DataFolder();
    host.SetDataFolder(chosen);
    EXPECT_FALSE(std::filesystem::exists(temporary));
    EXPECT_EQ(host.Connect()->game->GetDataFolder(), chosen);
  }
  EXPECT_TRUE(std::filesystem::is_directory(chosen));
  std::filesystem::remove_all(chosen);
}

}  // namespace
