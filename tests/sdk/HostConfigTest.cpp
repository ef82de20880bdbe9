// The host's configuration file: saved variables survive a restart, and every line the host does
// not own survives the host.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ConfigText.h"
#include "DurableFile.h"
#include "Host.h"
#include "LoadedPlugin.h"
#include "PluginSession.h"
#include "TempFolder.h"

namespace {

using pluginsdk::ConfigEntry;
using ::testing::HasSubstr;

std::string ReadFile(const std::filesystem::path& file) {
  std::ostringstream text;
  text << std::ifstream(file, std::ios::binary).rdbuf();
  return text.str();
}

void WriteFile(const std::filesystem::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

TEST(ConfigText, AnyValueIsReadBackAsWritten) {
  const std::string values[] = {
      "",
      "(255, 255, 0, 255)",
      "say \"hi\"",
      "C:\\path\\",
      "\\",
      "\\\"",
      "\\n not a line feed",
      "two\nlines\r\n",
      "\"",
      "  blanks  ",
      "# not a comment",
      std::string("nul\0byte", 8),
  };
  for (const auto& value : values) {
    const ConfigEntry entry{"quillon_odd", value};
    const std::string line = pluginsdk::FormatConfigLine(entry);
    EXPECT_EQ(line.find('\n'), std::string::npos) << line;
    EXPECT_EQ(pluginsdk::ParseConfigLine(line), entry) << line;
  }
}

TEST(ConfigText, LinesAreReadAsAPersonMayHaveWrittenThem) {
  struct Case {
    const char* line;
    std::optional<ConfigEntry> entry;
  };
  const Case cases[] = {
      {"\t quillon_posx   \"12\"  \r", ConfigEntry{"quillon_posx", "12"}},
      {"quillon_posx\"12\"", ConfigEntry{"quillon_posx", "12"}},
      {"path \"C:\\games\\x\"", ConfigEntry{"path", "C:\\games\\x"}},  // other escapes kept
      {"\tquillon_posx 12 \r", ConfigEntry{"quillon_posx", "12"}},     // as the console takes it
      {"quillon_posx 1 2", std::nullopt},
      {"quillon_posx", std::nullopt},
      {"quillon_posx \"12\\\"", std::nullopt},  // the closing quote escaped
      {"quillon_posx \"1\" \"2\"", std::nullopt},
      {"two words \"12\"", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(pluginsdk::ParseConfigLine(c.line), c.entry) << c.line;
}

TEST(ConfigText, LinesTheHostDoesNotOwnAreKeptByteForByteAndInOrder) {
  const std::string old =
      "// written by hand\n"
      "\n"
      "other_plugin_speed \"3\"\r\n"
      "quillon_posx \"1\"\n"
      "garbage that is no setting \"\n"
      "quillon_posx \"2\"\n"
      "   \t\n"
      "other_plugin_name \"a \\\"b\\\"\"\n"
      "quillon_posy \"7\" # trailing text: not the host's";
  const std::string merged = pluginsdk::MergeConfig(
      old, {{"quillon_posx", "30"}, {"quillon_posy", "40"}, {"quillon_new", "5"}});
  EXPECT_EQ(merged,
            "// written by hand\n"
            "\n"
            "other_plugin_speed \"3\"\r\n"
            "quillon_posx \"30\"\n"
            "garbage that is no setting \"\n"
            "   \t\n"
            "other_plugin_name \"a \\\"b\\\"\"\n"
            "quillon_posy \"7\" # trailing text: not the host's\n"
            "quillon_posy \"40\"\n"
            "quillon_new \"5\"\n");
}

// A host whose data folder is a test's own, loading and unloading the plugin by hand.
class SavedSettings : public ::testing::Test {
 protected:
  testing_support::TempFolder folder;
  std::filesystem::path config = folder.Path() / "config.cfg";
  pluginsdk::Host sdkHost;
  std::unique_ptr<host::LoadedPlugin> plugin;

  void Load(const std::filesystem::path& data) {
    sdkHost.SetDataFolder(data);
    plugin = std::make_unique<host::LoadedPlugin>(sdkHost, testing_support::PluginPath());
  }
  std::string Value(const char* name) { return sdkHost.FindVariable(name)->Text(); }
};

TEST_F(SavedSettings, AreAppliedAfterLoadAndWrittenOnWriteconfigAndUnload) {
  WriteFile(config,
            "// mine\n"
            "quillon_posx \"120\"\n"
            "other_plugin_speed \"3\"\n"
            "quillon_textsize \"huge\"\n"
            "quillon_color \"#00FF00\"\n"
            "quillon_posy 7\n");
  Load(folder.Path());
  // Registered by onLoad at their defaults, then set from the file.
  EXPECT_EQ(Value("quillon_posx"), "120");
  EXPECT_EQ(Value("quillon_posy"), "7");
  EXPECT_EQ(Value("quillon_color"), "(0, 255, 0, 255)");
  EXPECT_EQ(Value("quillon_textsize"), "2");
  EXPECT_EQ(sdkHost.ConsoleLines(),
            std::vector<std::string>{"config: " + config.string() +
                                     ":4: cannot set quillon_textsize: 'huge' is not a number"});

  sdkHost.FindVariable("quillon_posy")->SetText("9");
  ASSERT_TRUE(sdkHost.ExecuteCommand("writeconfig"));
  const std::string written = ReadFile(config);
  EXPECT_TRUE(written.starts_with(
      "// mine\nquillon_posx \"120\"\nother_plugin_speed \"3\"\nquillon_textsize \"2\"\n"
      "quillon_color \"(0, 255, 0, 255)\"\n"))
      << written;
  EXPECT_THAT(written, HasSubstr("\nquillon_posy \"9\"\n"));
  EXPECT_FALSE(std::filesystem::exists(folder.Path() / "config.cfg.new"));

  sdkHost.FindVariable("quillon_posy")->SetText("10");
  plugin.reset();
  const std::string saved = ReadFile(config);
  EXPECT_THAT(saved, HasSubstr("\nquillon_posy \"10\"\n"));
  EXPECT_EQ(saved.find("quillon_posy"), saved.rfind("quillon_posy")) << "saved once: " << saved;
  EXPECT_EQ(sdkHost.ConsoleLines().size(), 1u);
}

// Old Notepad begins a file with a byte-order mark: the first setting is read all the same, and
// saved where it stands rather than appended as a second line that would win for good.
TEST_F(SavedSettings, AByteOrderMarkBeforeTheFirstLineIsSkippedAndKept) {
  const std::string byteOrderMark = "\xEF\xBB\xBF";
  WriteFile(config, byteOrderMark + "quillon_posx \"120\"\r\nother_plugin_speed \"3\"\r\n");
  Load(folder.Path());
  EXPECT_EQ(Value("quillon_posx"), "120");
  sdkHost.FindVariable("quillon_posx")->SetText("130");
  plugin.reset();
  const std::string saved = ReadFile(config);
  EXPECT_TRUE(
      saved.starts_with(byteOrderMark + "quillon_posx \"130\"\nother_plugin_speed \"3\"\r\n"))
      << saved;
  EXPECT_EQ(saved.find("quillon_posx"), saved.rfind("quillon_posx")) << "saved once: " << saved;
  EXPECT_EQ(sdkHost.ConsoleLines(), std::vector<std::string>{});
}

// The host's own failures are no console lines of the game: they are reported apart.
TEST_F(SavedSettings, AFolderThatCannotBeWrittenIsOneFailureAndTheHostGoesOn) {
  const auto notAFolder = folder.Path() / "plain-file";
  WriteFile(notAFolder, "x");
  Load(notAFolder);
  // Nothing there to apply, and nothing to say until something is written.
  ASSERT_EQ(sdkHost.Failures().size(), 0u);
  ASSERT_TRUE(sdkHost.ExecuteCommand("writeconfig"));
  ASSERT_EQ(sdkHost.Failures().size(), 1u);
  EXPECT_TRUE(sdkHost.Failures()[0].starts_with("config: cannot write " +
                                                (notAFolder / "config.cfg").string() + ": "))
      << sdkHost.Failures()[0];
  EXPECT_TRUE(sdkHost.Failures()[0].ends_with("; settings were not saved"));
  plugin.reset();
  EXPECT_EQ(sdkHost.Failures().size(), 2u) << "the save at unload fails the same way";
  EXPECT_EQ(sdkHost.ConsoleLines(), std::vector<std::string>{});
  EXPECT_EQ(ReadFile(notAFolder), "x");
}

TEST_F(SavedSettings, AFileThatCannotBeReadIsNeitherAppliedNorOverwritten) {
  std::filesystem::create_directory(config);  // a folder where the file should be
  Load(folder.Path());
  ASSERT_EQ(sdkHost.Failures().size(), 1u);
  EXPECT_THAT(sdkHost.Failures()[0], HasSubstr("cannot read"));
  ASSERT_TRUE(sdkHost.ExecuteCommand("writeconfig"));
  ASSERT_EQ(sdkHost.Failures().size(), 2u);
  EXPECT_THAT(sdkHost.Failures()[1], HasSubstr("the file was left as it is"));
  EXPECT_EQ(sdkHost.ConsoleLines(), std::vector<std::string>{});
  EXPECT_TRUE(std::filesystem::is_directory(config));
}

// Every write of a file goes through one loop, which must end whatever the system answers.
TEST(WriteWhole, WritesEverythingOrStopsAtTheFirstWriteThatTakesNothing) {
  const auto noSpace = std::make_error_code(std::errc::no_space_on_device);
  const struct {
    std::vector<std::size_t> takes;  // what each write takes; past the list it fails with `fails`
    std::error_code fails;
    std::error_code expected;
    std::size_t writes;
  } cases[] = {
      {{4, 3, 3}, {}, {}, 3},
      {{3, 0}, {}, std::make_error_code(std::errc::io_error), 2},
      {{4}, noSpace, noSpace, 2},
  };
  for (const auto& c : cases) {
    std::size_t writes = 0;
    const auto error = pluginsdk::WriteWhole("0123456789", [&](auto text, auto& fault) {
      // A loop that would go on for ever is let out, and fails the count below.
      if (writes++ > c.takes.size()) return text.size();
      if (writes <= c.takes.size()) return c.takes[writes - 1];
      fault = c.fails;
      return std::size_t{0};
    });
    EXPECT_EQ(error, c.expected);
    EXPECT_EQ(writes, c.writes);
  }
}

}  // namespace
