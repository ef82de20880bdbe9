// Recording: steps written back read as the very same steps, and sessions recorded by the host
// program (the bundled examples, random sessions of the model, a replay in real time stopped by
// SIGINT, a recording cut by a full disk) replay with every expectation holding.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cfloat>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Host.h"
#include "Patterns.h"
#include "RecordingsThatGo.h"
#include "ScriptLine.h"
#include "ScriptWriter.h"
#include "SessionScript.h"
#include "StepGenerator.h"
#include "TempFolder.h"
#include "TrackerModel.h"

extern char** environ;

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

std::string Read(const std::filesystem::path& file) {
  std::ostringstream text;
  text << std::ifstream(file, std::ios::binary).rdbuf();
  return text.str();
}

std::optional<std::string> AnyVariable(std::string_view, std::optional<std::string_view>) {
  return std::nullopt;
}

std::vector<host::Step> Parse(const std::string& script) {
  return host::ParseSession(script, "written.session", AnyVariable,
                            [](auto) { return std::optional<std::string>(); });
}

std::string Written(const std::vector<host::Step>& steps) {
  std::string script;
  for (const auto& step : steps) {
    host::AppendExactTime(script, step.ticks);
    script += ' ';
    host::AppendAction(script, step.action);
    script += '\n';
  }
  return script;
}

TEST(RecordedTimes, HaveThreeDecimalsOrAsManyAsTheTickNeedsAndReadBackAsThatTick) {
  const std::pair<std::int64_t, const char*> cases[] = {{0, "0.000"},
                                                        {45'000'000, "4.500"},
                                                        {10'000, "0.001"},
                                                        {30'000'001, "3.0000001"},
                                                        {123'456'789, "12.3456789"},
                                                        {5, "0.0000005"},
                                                        {36'000'000'000'000, "3600000.000"}};
  for (const auto& [ticks, text] : cases) {
    EXPECT_EQ(host::ExactTime(ticks), text);
    EXPECT_EQ(Parse(std::string(text) + " frame\n").at(0).ticks, ticks) << text;
  }
}

TEST(RecordedSteps, ReadBackAsTheStepsWritten) {
  const std::string script =
      "0 mode training\n0.1 event jump\n0.1 event \"Function Other.Thing\"\n"
      "1 ball 0.1 -3.4028234663852886e38 1e-07\n1 car none\n1 ball none\n1 car 1 2 3\n2 gamestate "
      "none\n"
      "2 set quillon_color \"(1, 2, 3, 4)\"\n2 set x \"\"\n2 show quillon_posx\n"
      "3 frame \"my shot.png\"\n3 expect \"Resets: 1 | Height: 5\"\n3 settings\n"
      "3 click \"Enable Gamer Mode\"\n4 command quillon_echo \"two words\" x\n";
  const std::string once = Written(Parse(script));
  EXPECT_EQ(Written(Parse(once)), once);
  const auto steps = Parse(once);
  EXPECT_EQ(std::get<host::PlaceBall>(steps[3].action).location, (Vector{0.1f, -FLT_MAX, 1e-7f}));
  EXPECT_EQ(std::get<host::SetVariable>(steps[8].action).assignment->value, "(1, 2, 3, 4)");
  EXPECT_EQ(*std::get<host::DrawFrame>(steps[11].action).image, "my shot.png");
}

// The host program run in a folder of its own (examples write their pictures into out/).
class Recording : public ::testing::Test {
 protected:
  testing_support::TempFolder folder;

  void SetUp() override { std::filesystem::create_directory(folder.Path() / "out"); }

  // With its files limited to `fileBlocks` of 512 bytes, as on a disk that fills up, when given.
  int Host(const std::string& arguments, const std::string& name, int fileBlocks = 0) {
    const auto base = (folder.Path() / name).string();
    const std::string limit =
        fileBlocks > 0 ? "ulimit -f " + std::to_string(fileBlocks) + "; " : "";
    const std::string command = "cd " + folder.Path().string() + " && " + limit +
                                QUILLON_HOST_PATH + " " + arguments + " >" + base + ".out 2>" +
                                base + ".err";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // Records the session, replays the recording and checks both print the same and succeed.
  void ExpectRoundTrip(const std::filesystem::path& session, const std::string& name) {
    const auto recording = folder.Path() / (name + ".recorded");
    ASSERT_EQ(Host("--record " + recording.string() + " " + session.string(), name + "-1"), 0)
        << Read(folder.Path() / (name + "-1.err"));
    ASSERT_EQ(Host(recording.string(), name + "-2"), 0) << Read(folder.Path() / (name + "-2.err"));
    const std::string first = Read(folder.Path() / (name + "-1.out"));
    EXPECT_EQ(Read(folder.Path() / (name + "-2.out")), first) << name;
    EXPECT_EQ(Read(folder.Path() / (name + "-2.err")), "") << name;
    // Every frame line has its expect.
    const std::string recorded = Read(recording);
    EXPECT_TRUE(recorded.starts_with("# Recorded by quillon-host --record on ")) << recorded;
    std::size_t frames = 0, expects = 0;
    for (std::size_t at = 0; (at = recorded.find(" frame", at)) != std::string::npos; ++at)
      ++frames;
    for (std::size_t at = 0; (at = recorded.find(" expect \"", at)) != std::string::npos; ++at) {
      ++expects;
    }
    EXPECT_EQ(expects, frames) << name;
    EXPECT_GT(frames, 0u) << name;
  }
};

TEST_F(Recording, EachBundledExampleReplaysToTheSameOutputWithItsExpectationsHeld) {
  for (const auto& entry : std::filesystem::directory_iterator(EXAMPLES_FOLDER)) {
    ExpectRoundTrip(entry.path(), entry.path().stem().string());
  }
}

TEST_F(Recording, TwentyRandomModelSessionsReplayToTheSameOutput) {
  for (std::uint64_t seed = 1; seed <= 20; ++seed) {
    model::StepGenerator generator(seed);
    std::vector<model::Step> steps;
    for (int i = 0; i < 1'500; ++i) steps.push_back(generator.Next());
    const auto session = folder.Path() / ("model-" + std::to_string(seed) + ".session");
    std::ofstream(session) << model::SessionScript(steps, "seed " + std::to_string(seed));
    ExpectRoundTrip(session, "model-" + std::to_string(seed));
  }
}

TEST_F(Recording, ExpectationsThatFailAreReportedAndCountedWhileTheSessionGoesOn) {
  // The frame at 4 s, as the reference model draws it: the overlay on, no reset yet.
  model::TrackerModel reference;
  for (const model::Step& step : std::initializer_list<model::Step>{
           model::SwitchMode{pluginsdk::GameMode::Freeplay},
           model::Fire{model::GameFunction::kInit}, model::Advance{30'000'000},
           model::SetVariable{model::Setting::kEnabled, "1", 1.0}, model::Advance{10'000'000}}) {
    reference.Apply(step);
  }
  const std::string drawn = reference.Frame();
  const auto session = folder.Path() / "check.session";
  std::ofstream(session) << "0 mode freeplay\n0 event init\n3 frame\n3 expect \"(nothing drawn)\"\n"
                            "3 set quillon_enabled 1\n4 frame\n4 expect \"Resets: 9\"\n"
                            "5 expect \"" +
                                drawn + "\"\n";
  EXPECT_EQ(Host(session.string(), "check"), 1);
  EXPECT_EQ(Read(folder.Path() / "check.out"), "3.000 (nothing drawn)\n4.000 " + drawn + '\n');
  EXPECT_EQ(Read(folder.Path() / "check.err"),
            session.string() + ":7: expected 'Resets: 9' but the frame at 4.000 showed '" + drawn +
                "'\nhint: no reset was counted: no landing came after the practice check "
                "(3 s after 'event init' at 0.000); a reset is an 'event landed'\n1 of 3 "
                "expectations failed\n");
}

// Without --data the plugin's recordings are made in a temporary folder that goes at exit: the
// host names them as they go, and how to keep them. With --data they stay, and nothing is said.
TEST_F(Recording, RecordingsInTheTemporaryDataFolderAreNamedAsTheyGo) {
  const auto session = folder.Path() / "two.session";
  std::ofstream(session) << "0 set quillon_record 1\n0 mode freeplay\n0 event init\n3 frame\n"
                            "4 event destroyed\n4 event init\n7 event destroyed\n";
  EXPECT_EQ(Host(session.string(), "temporary"), 0);
  std::istringstream said(Read(folder.Path() / "temporary.err"));
  std::string line;
  while (std::getline(said, line) && line.starts_with("hint: ")) {
  }
  EXPECT_EQ(line,
            "quillon-host: the temporary data folder goes at exit, and with it these 2 "
            "recordings; run with --data DIR to keep them in DIR:");
  std::vector<std::string> named;
  while (std::getline(said, line)) named.push_back(line);
  ASSERT_EQ(named.size(), 2u);
  // Made in one second: the second game event's file takes "-2", and is named after the first.
  const std::string recording = R"(  quillon/recordings/\d{8}T\d{6}Z(-2)?\.session)";
  EXPECT_TRUE(testing_support::MatchesPattern(named[0], recording)) << named[0];
  EXPECT_TRUE(testing_support::MatchesPattern(named[1], recording)) << named[1];
  if (named[1].ends_with("-2.session")) {
    EXPECT_EQ(named[1], named[0].substr(0, named[0].size() - 8) + "-2.session");
  }

  EXPECT_EQ(Host("--data data " + session.string(), "kept"), 0);
  EXPECT_THAT(Read(folder.Path() / "kept.err"), Not(HasSubstr("quillon-host")));
  const std::vector<std::filesystem::directory_entry> kept(
      std::filesystem::directory_iterator(folder.Path() / "data" / "quillon" / "recordings"), {});
  EXPECT_EQ(kept.size(), 2u);
}

// Many recordings in one second: named in the order they were made ("-2" before "-10"), the
// first 20 of them, then how many more.
TEST(RecordingsThatGo, AreNamedInTheOrderTheyWereMadeTheFirstTwenty) {
  pluginsdk::Host host;
  const auto recordings = host.DataFolder() / host::kRecordingsFolder;
  std::filesystem::create_directories(recordings);
  std::vector<std::string> made = {"20261208T073000Z"};
  for (int copy = 2; copy <= 22; ++copy) made.push_back("20261208T073000Z-" + std::to_string(copy));
  made.push_back("20261208T073001Z");
  // Made in reverse, so the folder's own order is no help.
  for (auto name = made.rbegin(); name != made.rend(); ++name) {
    std::ofstream(recordings / (*name + ".session")) << "0 frame\n";
  }
  std::string expected =
      "quillon-host: the temporary data folder goes at exit, and with it these 23 recordings; run "
      "with --data DIR to keep them in DIR:\n";
  for (std::size_t i = 0; i < 20; ++i) expected += "  quillon/recordings/" + made[i] + ".session\n";
  expected += "  ... and 3 more\n";
  EXPECT_EQ(host::RecordingsThatGo(host), expected);
}

TEST_F(Recording, AFileThatCannotBeWrittenStopsTheHostBeforeAnythingRuns) {
  const auto session = folder.Path() / "play.session";
  std::ofstream(session) << "0 frame\n";
  const std::pair<std::string, std::string> cases[] = {
      {(folder.Path() / "out").string(), "is a directory"},
      {(folder.Path() / "none" / "x.session").string(), "No such file or directory"},
      {session.string(), "it is the session being replayed"},
      {"/dev/full", "No space left on device"},
  };
  for (const auto& [file, reason] : cases) {
    EXPECT_EQ(Host("--record " + file + " " + session.string(), "refused"), 1) << file;
    EXPECT_EQ(Read(folder.Path() / "refused.out"), "") << file;
    EXPECT_EQ(Read(folder.Path() / "refused.err"),
              "quillon-host: cannot record into '" + file + "': " + reason + "\n");
  }
  EXPECT_EQ(Read(session), "0 frame\n");
}

TEST_F(Recording, AReplayInRealTimeIsWrittenWhileItWaitsAndEndsWithACommentWhenSigintStopsIt) {
  const auto session = folder.Path() / "long.session";
  std::ofstream(session) << "0 mode freeplay\n0 event init\n0.2 frame\n60 frame\n";
  const auto recording = (folder.Path() / "long.recorded").string();
  const std::string host = QUILLON_HOST_PATH, sessionText = session.string();
  const char* arguments[] = {host.c_str(),      "--realtime",        "--record",
                             recording.c_str(), sessionText.c_str(), nullptr};
  pid_t pid = 0;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  ASSERT_EQ(
      posix_spawn(&pid, host.c_str(), &actions, nullptr, const_cast<char**>(arguments), environ),
      0);
  posix_spawn_file_actions_destroy(&actions);
  // The frame at 0.2 s reaches the file while the host waits for the step at 60 s.
  constexpr std::string_view kFrameChecked = " expect \"(nothing drawn)\"\n";
  for (int turn = 0; turn < 300 && Read(recording).find(kFrameChecked) == std::string::npos;
       ++turn) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_THAT(Read(recording), HasSubstr(kFrameChecked));
  ::kill(pid, SIGINT);
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 130);
  const std::string recorded = Read(recording);
  EXPECT_THAT(recorded, HasSubstr(std::string(kFrameChecked) + "# Interrupted by SIGINT at "));
  EXPECT_TRUE(recorded.ends_with(": the session was not played to its end\n")) << recorded;
  EXPECT_EQ(Host(recording, "replayed"), 0) << Read(folder.Path() / "replayed.err");
}

TEST_F(Recording, ARecordingCutByAFullDiskEndsOnAWholeLineAndReplaysAsFarAsItGoes) {
  const auto session = folder.Path() / "long.session";
  std::ofstream script(session);
  script << "0 mode freeplay\n0 set quillon_enabled 1\n0 event init\n3 event jump\n";
  for (int i = 0; i < 200; ++i) {
    script << 4 + i << " ball 0 0 " << 300 + i << '\n'
           << 4 + i << " car 0 0 200\n"
           << 4 + i << " event landed\n"
           << 4 + i << " event dodge\n"
           << 4 + i << " frame\n";
  }
  script.close();
  // In 512-byte blocks (sh): cut in the saved settings, and among the steps.
  for (const int blocks : {1, 8}) {
    const std::string recording = (folder.Path() / "cut.session").string();
    EXPECT_EQ(Host("--record " + recording + " " + session.string(), "cut", blocks), 1);
    EXPECT_THAT(Read(folder.Path() / "cut.err"), HasSubstr("; the recording is incomplete"));
    const std::string kept = Read(recording);
    EXPECT_TRUE(kept.ends_with('\n') && kept.size() <= 512u * blocks) << kept;
    EXPECT_GT(kept.size() + 100, 512u * blocks) << "more than a line was cut off";
    EXPECT_EQ(Host(recording, "replayed"), 0) << Read(folder.Path() / "replayed.err");
  }
}

}  // namespace
