// Session scripts: what the parser accepts, and every fault reported as FILE:LINE with exit 2.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "SessionScript.h"

namespace {

std::optional<std::string> OnlyEnabled(std::string_view name,
                                       std::optional<std::string_view> value) {
  if (name != "quillon_enabled") return "unknown variable '" + std::string(name) + "'";
  if (value && *value != "0" && *value != "1") return "bad value";
  return std::nullopt;
}

std::vector<host::Step> Parse(const std::string& text) {
  return host::ParseSession(text, "play.session", OnlyEnabled);
}

TEST(SessionScript, ReadsStepsWithTimesInTicksAndSkipsCommentsAndBlankLines) {
  const auto steps = Parse(
      "# practice\n"
      "\n"
      "0 mode freeplay   # trailing comment\n"
      "0.5 event init\n"
      "1.25 event \"Function TAGame.Car_TA.EventLanded\"\n"
      "2 ball 1 -2 300.5\n"
      "2 car none\n"
      "2.0000001 gamestate none\n"
      "3 set quillon_enabled 1\n"
      "4 frame out/x.png\n");
  ASSERT_EQ(steps.size(), 8u);
  EXPECT_EQ(steps[0].line, 3);
  EXPECT_EQ(std::get<host::SetMode>(steps[0].action).mode, pluginsdk::GameMode::Freeplay);
  EXPECT_EQ(steps[1].ticks, 5'000'000);
  EXPECT_EQ(std::get<host::FireEvent>(steps[1].action).function,
            "Function TAGame.GameEvent_TA.Init");
  EXPECT_EQ(std::get<host::FireEvent>(steps[2].action).function,
            "Function TAGame.Car_TA.EventLanded");
  EXPECT_EQ(std::get<host::PlaceBall>(steps[3].action).location, (Vector{1.0f, -2.0f, 300.5f}));
  EXPECT_FALSE(std::get<host::PlaceCar>(steps[4].action).location.has_value());
  EXPECT_EQ(steps[5].ticks, 20'000'001);
  EXPECT_EQ(std::get<host::SetVariable>(steps[6].action).value, "1");
  EXPECT_EQ(std::get<host::DrawFrame>(steps[7].action).image, "out/x.png");
}

TEST(SessionScript, ACommandStepKeepsItsWordsForTheConsole) {
  const auto steps = host::ParseSession(
      "1 command quillon_echo \"two words\" x # comment\n2 command writeconfig\n", "play.session",
      OnlyEnabled, [](std::string_view name) { return name != "nosuch"; });
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(std::get<host::RunCommand>(steps[0].action).commandLine,
            "quillon_echo \"two words\" x");
  EXPECT_EQ(std::get<host::RunCommand>(steps[1].action).commandLine, "writeconfig");
}

struct Fault {
  const char* name;
  const char* script;
  const char* message;  // expected after "play.session:LINE: "
  int line;
};

class SessionFault : public ::testing::TestWithParam<Fault> {};

TEST_P(SessionFault, IsReportedWithFileAndLine) {
  try {
    Parse(GetParam().script);
    FAIL() << "accepted";
  } catch (const host::ScriptError& error) {
    const std::string expected = "play.session:" + std::to_string(GetParam().line) + ": ";
    const std::string message = error.what();
    EXPECT_TRUE(message.starts_with(expected)) << message;
    EXPECT_NE(message.find(GetParam().message), std::string::npos) << message;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SessionFault,
    ::testing::Values(
        Fault{"UnknownStep", "0 mode menu\n1 teleport\n", "unknown step 'teleport'", 2},
        Fault{"UnknownEvent", "1 event kickoff\n", "unknown event 'kickoff'", 1},
        Fault{"UnknownMode", "1 mode ranked\n", "unknown mode 'ranked'", 1},
        Fault{"BadTime", "1.5s event init\n", "bad time '1.5s'", 1},
        Fault{"NegativeTime", "-1 event init\n", "bad time '-1'", 1},
        Fault{"TimeGoesBack", "2 event init\n\n1 event jump\n", "time '1' goes back", 3},
        Fault{"BadNumber", "1 ball 0 0 high\n", "bad number 'high'", 1},
        Fault{"InfiniteNumber", "1 car 0 0 inf\n", "bad number 'inf'", 1},
        Fault{"TooFewArguments", "1 ball 0 0\n", "wrong number of arguments to 'ball'", 1},
        Fault{"TooManyArguments", "1 frame a.png b.png\n", "wrong number of arguments", 1},
        Fault{"MissingStep", "1\n", "expected TIME STEP", 1},
        Fault{"UnknownVariable", "1 set quillon_size 2\n", "unknown variable 'quillon_size'", 1},
        Fault{"RefusedValue", "1 set quillon_enabled yes\n", "bad value", 1},
        Fault{"UnknownShow", "1 show nothing\n", "unknown variable 'nothing'", 1},
        Fault{"NotAPicture", "1 frame shot.jpg\n", "must end in .png", 1},
        Fault{"UnterminatedQuote", "1 click \"Text Size\n", "unterminated quoted text", 1},
        Fault{"BadGameState", "1 gamestate maybe\n", "unknown game state 'maybe'", 1},
        Fault{"UnknownCommand", "0 mode menu\n1 command nosuch x\n", "unknown command 'nosuch'", 2},
        Fault{"CommandWithoutName", "1 command\n", "wrong number of arguments to 'command'", 1}),
    [](const auto& info) { return std::string(info.param.name); });

// --- The host program ---------------------------------------------------------------------------

class HostProgram : public ::testing::Test {
 protected:
  std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      ("quillon-host-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
       ::testing::UnitTest::GetInstance()->current_test_info()->name());

  void SetUp() override { std::filesystem::create_directories(folder); }
  void TearDown() override { std::filesystem::remove_all(folder); }

  std::filesystem::path Write(const std::string& name, const std::string& text) {
    std::ofstream(folder / name) << text;
    return folder / name;
  }

  // Runs the host program; returns its exit status and fills its output streams.
  int Run(const std::string& arguments, std::string& out, std::string& err) {
    const std::string command = std::string(QUILLON_HOST_PATH) + " " + arguments + " >" +
                                (folder / "out").string() + " 2>" + (folder / "err").string();
    const int status = std::system(command.c_str());
    out = Read(folder / "out");
    err = Read(folder / "err");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  static std::string Read(const std::filesystem::path& file) {
    std::ostringstream text;
    text << std::ifstream(file).rdbuf();
    return text.str();
  }
};

TEST_F(HostProgram, ReplaysASessionAndPrintsFramesAndVariables) {
  const auto script = Write("ok.session",
                            "0 mode freeplay\n0 event init\n3 frame\n3.25 set quillon_posx 12\n"
                            "3.5 show quillon_posx\n");
  std::string out;
  std::string err;
  EXPECT_EQ(Run(script.string(), out, err), 0) << err;
  EXPECT_NE(out.find("3.000 "), std::string::npos) << out;
  EXPECT_NE(out.find("3.500 quillon_posx = 12\n"), std::string::npos) << out;
}

TEST_F(HostProgram, AFaultyScriptRunsNothingAndExitsWithTwo) {
  const auto script = Write("bad.session", "0 show quillon_posx\n1 frame\n2 fly\n");
  std::string out;
  std::string err;
  EXPECT_EQ(Run(script.string(), out, err), 2);
  EXPECT_EQ(out, "") << "nothing may run before the whole script is read";
  EXPECT_EQ(err, script.string() +
                     ":3: unknown step 'fly': expected mode, event, ball, car, "
                     "gamestate, set, show, frame, settings, click or command\n");
}

TEST_F(HostProgram, AnUnreadableScriptOrBadOptionExitsWithTwo) {
  std::string out;
  std::string err;
  EXPECT_EQ(Run((folder / "missing.session").string(), out, err), 2);
  EXPECT_NE(err.find("missing.session:0: cannot read the file"), std::string::npos) << err;
  EXPECT_EQ(Run("--frobnicate x", out, err), 2);
  EXPECT_NE(err.find("unknown option '--frobnicate'"), std::string::npos) << err;
  EXPECT_EQ(Run("", out, err), 2);
  EXPECT_EQ(Run("--help", out, err), 0);
  EXPECT_NE(out.find("usage: quillon-host"), std::string::npos);
}

TEST_F(HostProgram, SettingsSurviveARestartInTheDataFolder) {
  const auto data = folder / "data";
  const auto save = Write("save.session", "0 set quillon_posx 12\n1 command writeconfig\n");
  std::string out;
  std::string err;
  ASSERT_EQ(Run("--data " + data.string() + " " + save.string(), out, err), 0) << err;
  EXPECT_EQ(out, "");
  const std::string saved = Read(data / "config.cfg");
  EXPECT_NE(saved.find("quillon_posx \"12\"\n"), std::string::npos) << saved;
  std::ofstream(data / "config.cfg", std::ios::app) << "quillon_posy \"far\"\n";
  const auto badLine = std::count(saved.begin(), saved.end(), '\n') + 1;

  const auto show = Write("show.session", "0 show quillon_posx\n");
  ASSERT_EQ(Run("--data " + data.string() + " " + show.string(), out, err), 0) << err;
  // Console lines are printed as they come, here while the plugin is loaded.
  EXPECT_EQ(out, "console: config: " + (data / "config.cfg").string() + ":" +
                     std::to_string(badLine) +
                     ": cannot set quillon_posy: 'far' is not a number\n"
                     "0.000 quillon_posx = 12\n");

  Write("plain-file", "");
  EXPECT_EQ(Run("--data " + (folder / "plain-file").string() + " " + show.string(), out, err), 1);
  EXPECT_NE(err.find("as the data folder"), std::string::npos) << err;
}

TEST_F(HostProgram, AModuleThatIsNotAPluginIsAClearError) {
  const auto script = Write("ok.session", "0 frame\n");
  std::string out;
  std::string err;
  EXPECT_EQ(Run("--plugin " + (folder / "nothing.so").string() + " " + script.string(), out, err),
            1);
  EXPECT_NE(err.find("nothing.so: cannot load the library"), std::string::npos) << err;
}

}  // namespace
