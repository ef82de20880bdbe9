// Practice recorded by the loaded module, as a player's game would record it, and replayed by the
// host: every expectation holds, and what it expects is what the play showed, in order.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "PerformanceCounter.h"
#include "PluginSession.h"
#include "RecordingFile.h"
#include "RecordingText.h"
#include "ScriptWriter.h"
#include "SessionRunner.h"
#include "SettingsWindow.h"
#include "StepGenerator.h"
#include "TempFolder.h"

namespace {

using ::testing::HasSubstr;

namespace fs = std::filesystem;

std::string Read(const fs::path& file) {
  std::ostringstream text;
  text << std::ifstream(file, std::ios::binary).rdbuf();
  return text.str();
}

struct Played {
  std::vector<std::string> frames;     // each frame line's text, after its time
  std::vector<std::string> lines;      // every line the host printed
  std::vector<std::string> variables;  // the names the host's registry held after load
  std::vector<std::string> console;
  host::Expectations checked;
  std::string errors;
};

// Replays the script on a freshly loaded module with `data` as the host's data folder, as the
// host program does, and lets the module go at the end.
Played Play(const std::string& script, const fs::path& data) {
  pluginsdk::Host host;
  host.SetDataFolder(data);
  auto plugin = std::make_unique<host::LoadedPlugin>(host, testing_support::PluginPath());
  std::ostringstream out, errors;
  Played played;
  for (const auto& variable : host.Variables()) played.variables.push_back(variable->Name());
  {
    host::ReplayOptions options;
    options.errors = &errors;
    host::SessionRunner runner(host, *plugin, out, options);
    const auto steps = host::ParseSession(script, "played.session", host::RegistryCheck(host),
                                          host::KnownCommands(host));
    runner.Run(steps, "played.session");
    played.checked = runner.Checked();
  }
  plugin.reset();
  std::istringstream lines(out.str());
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line[0] >= '0' && line[0] <= '9') {
      played.frames.push_back(line.substr(line.find(' ') + 1));
    }
    played.lines.push_back(line);
  }
  played.console = host.ConsoleLines();
  played.errors = errors.str();
  return played;
}

std::vector<fs::path> Recordings(const fs::path& data) {
  std::vector<fs::path> files;
  const fs::path folder = data / "quillon" / "recordings";
  if (!fs::is_directory(folder)) return files;
  for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<std::string> Expected(const std::string& recording) {
  std::vector<std::string> texts;
  std::istringstream lines(recording);
  for (std::string line; std::getline(lines, line);) {
    const auto at = line.find(" expect \"");
    if (at != std::string::npos) texts.push_back(line.substr(at + 9, line.size() - at - 10));
  }
  return texts;
}

bool InOrderAmong(const std::vector<std::string>& wanted, const std::vector<std::string>& seen) {
  std::size_t next = 0;
  for (const auto& text : seen) {
    if (next < wanted.size() && text == wanted[next]) ++next;
  }
  return next == wanted.size();
}

// Waits for what another thread does, with a bound far beyond any machine's slowness.
template <typename Condition>
void WaitUntil(Condition done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!done() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_TRUE(done());
}

class PracticeRecording : public ::testing::Test {
 protected:
  // Plays the script, replays each recording it left and checks them; the number of
  // expectations the recordings held.
  int PlayAndReplay(const std::string& script, const std::string& name) {
    const fs::path data = folder.Path() / name;
    const Played play = Play(script, data);
    int expectations = 0;
    for (const auto& file : Recordings(data)) {
      const std::string recording = Read(file);
      SCOPED_TRACE(name + ": " + file.filename().string() + "\n" + recording);
      const Played replay = Play(recording, folder.Path() / (name + "-replay"));
      EXPECT_EQ(replay.checked.failed, 0) << replay.errors;
      const auto expected = Expected(recording);
      EXPECT_EQ(replay.checked.checked, static_cast<int>(expected.size()));
      EXPECT_TRUE(InOrderAmong(expected, play.frames));
      expectations += replay.checked.checked;
    }
    return expectations;
  }

  testing_support::TempFolder folder;
};

TEST_F(PracticeRecording, EachBundledExampleRecordedFromTheStartReplaysWithItsFramesChecked) {
  for (const auto& entry : fs::directory_iterator(EXAMPLES_FOLDER)) {
    const std::string name = entry.path().stem().string();
    const std::string script = "0 set quillon_record 1\n" + Read(entry.path());
    EXPECT_GT(PlayAndReplay(script, name), 0) << name;
    EXPECT_EQ(Recordings(folder.Path() / name).size(), 1u) << name;
  }
}

// Every variable the host holds is set at the recording's start (but the recording's own switch),
// whether or not the plugin's table knows it; and every kind of frame (three rows, decimals, one
// row, moved back onto the screen, colours of its own or cycling, nothing drawn) is expected as the
// host's frame line showed it at that very time.
TEST_F(PracticeRecording, SetsEveryVariableTheHostHoldsAndExpectsEachFrameAsDrawn) {
  const std::string script =
      "0 set quillon_record 1\n0 set quillon_enabled 1\n0 mode freeplay\n0 event init\n"
      "3.5 frame\n4 event jump\n4.4 ball 0 0 800\n4.4 car 0 0 600\n4.4 event landed\n"
      "4.5 event dodge\n4.6 frame\n"
      "5 set quillon_heightdecimal 1\n5 frame\n"
      "6 set quillon_textsize 0\n6 frame\n"
      "7 set quillon_textsize 2\n7 set quillon_keep_on_screen 1\n7 set quillon_posx 10000\n"
      "7 set quillon_posy 10000\n7 set quillon_heightdecimal 0\n7 frame\n"
      "8 set quillon_samecolorenabled 0\n8 set quillon_rgb_enabled 1\n8 set quillon_heightdecimal "
      "1\n"
      "8 frame\n9 set quillon_enabled 0\n9 frame\n";
  EXPECT_GT(PlayAndReplay(script, "kinds"), 0);
  const Played play = Play(script, folder.Path() / "kinds-again");
  const auto files = Recordings(folder.Path() / "kinds-again");
  ASSERT_EQ(files.size(), 1u);
  const std::string recording = Read(files[0]);

  std::vector<std::string> unset;
  for (const auto& name : play.variables) {
    if (name.starts_with("quillon_") && name != "quillon_record" &&
        recording.find("0.000 set " + name + " ") == std::string::npos) {
      unset.push_back(name);
    }
  }
  EXPECT_EQ(unset, std::vector<std::string>{}) << "variables the recording never sets";

  std::istringstream lines(recording);
  std::vector<std::string> expected, notPlayed;
  for (std::string line; std::getline(lines, line);) {
    const auto at = line.find(" expect \"");
    if (at == std::string::npos) continue;
    const std::string drawn = line.substr(0, at) + " " + line.substr(at + 9, line.size() - at - 10);
    expected.push_back(drawn);
    if (std::find(play.lines.begin(), play.lines.end(), drawn) == play.lines.end()) {
      notPlayed.push_back(drawn);
    }
  }
  EXPECT_EQ(notPlayed, std::vector<std::string>{})
      << "expected, but not the frame line played then";
  EXPECT_EQ(expected.size(), 7u) << recording;
}

// The model's random sessions: game events begun and ended at any moment, several practice
// checks due together, modes switched, pauses, explosions, hostile heights and settings.
std::string ModelScript(std::uint64_t seed, std::size_t steps) {
  model::StepGenerator generator(seed);
  std::vector<model::Step> session;
  for (std::size_t i = 0; i < steps; ++i) session.push_back(generator.Next());
  return model::SessionScript(session, "seed " + std::to_string(seed));
}

// The switch set at the script's line `at` (past its comment), at that line's time.
std::string SwitchedOnAt(const std::string& script, std::size_t at) {
  std::istringstream lines(script);
  std::string out, line, time = "0";
  for (std::size_t i = 0; std::getline(lines, line); ++i) {
    if (i == at) out += time + " set quillon_record 1\n";
    if (!line.empty() && line[0] != '#') time = line.substr(0, line.find(' '));
    out += line + '\n';
  }
  return out;
}

TEST_F(PracticeRecording, RandomSessionsRecordedFromTheStartOrSwitchedOnInPlayReplay) {
  struct Case {
    const char* name;
    std::uint64_t firstSeed;
    bool midSession;
  };
  const Case cases[] = {{"from-start", 1, false}, {"mid-session", 1001, true}};
  for (const Case& c : cases) {
    std::mt19937_64 random(c.firstSeed);
    int expectations = 0;
    for (std::uint64_t seed = c.firstSeed; seed < c.firstSeed + 150; ++seed) {
      std::string script = ModelScript(seed, 300);
      script = c.midSession ? SwitchedOnAt(script, 2 + random() % 500)
                            : "0 set quillon_record 1\n" + script;
      expectations += PlayAndReplay(script, c.name + std::to_string(seed));
      if (HasFailure()) return;
    }
    EXPECT_GT(expectations, 150) << c.name;
  }
}

TEST_F(PracticeRecording, AGameEventThatIsNoPracticeWritesNothing) {
  for (const char* mode : {"menu", "match"}) {
    const fs::path data = folder.Path() / mode;
    Play("0 set quillon_record 1\n0 mode " + std::string(mode) +
             "\n0 event init\n3.5 event jump\n4 car 0 0 300\n4 event landed\n4 frame\n"
             "5 event destroyed\n",
         data);
    EXPECT_TRUE(Recordings(data).empty()) << mode;
  }
}

TEST_F(PracticeRecording, EachWayARecordingEndsLeavesAScriptThatReplays) {
  struct Case {
    const char* name;
    const char* ending;
    const char* lastLine;
  };
  const Case cases[] = {
      {"destroyed", "9 event destroyed\n", "# the recording ends here: the game event ended"},
      {"unloaded", "", "# the recording ends here: the plugin was unloaded"},
      {"switched-off", "9 set quillon_record 0\n9 frame\n",
       "# the recording ends here: recording was switched off"},
  };
  for (const Case& c : cases) {
    const std::string script = std::string(
                                   "0 set quillon_record 1\n0 set quillon_enabled 1\n0 mode "
                                   "freeplay\n0 event init\n4 event jump\n4.5 car 0 0 200\n"
                                   "4.5 ball 0 0 900\n4.5 event landed\n5 frame\n") +
                               c.ending;
    EXPECT_GT(PlayAndReplay(script, c.name), 0) << c.name;
    const auto files = Recordings(folder.Path() / c.name);
    ASSERT_EQ(files.size(), 1u) << c.name;
    const std::string text = Read(files[0]);
    EXPECT_TRUE(text.ends_with(std::string(c.lastLine) + "\n")) << text;
    // The host knows the plugin's recording by its first line, and one cut short by its missing
    // end line: where the last line before it is, at the time of the last step.
    const host::VariableCheck check = [](std::string_view, std::optional<std::string_view>) {
      return std::optional<std::string>();
    };
    EXPECT_FALSE(host::ParseScript(text, "whole.session", check).cutShort.has_value()) << text;
    const std::string cut = text.substr(0, text.rfind('#'));
    const auto read = host::ParseScript(cut, "cut.session", check);
    ASSERT_TRUE(read.cutShort.has_value()) << cut;
    EXPECT_EQ(read.cutShort->line, std::count(cut.begin(), cut.end(), '\n'));
    EXPECT_EQ(read.cutShort->ticks, read.steps.back().ticks);
    EXPECT_EQ(read.cutShort->line, read.steps.back().line) << cut;
  }
}

TEST_F(PracticeRecording, AFolderThatCannotBeMadeIsSaidOnceAndPlayGoesOn) {
  const std::string play =
      "0 set quillon_enabled 1\n0 mode freeplay\n0 event init\n4 event jump\n4.5 car 0 0 200\n"
      "4.5 event landed\n5 frame\n9 event destroyed\n";
  const Played without = Play(play, folder.Path() / "without");
  const fs::path data = folder.Path() / "blocked";
  fs::create_directories(data / "quillon");
  std::ofstream(data / "quillon" / "recordings") << "a plain file where the folder goes";
  const Played with = Play("0 set quillon_record 1\n" + play, data);
  EXPECT_EQ(with.frames, without.frames);
  std::size_t said = 0;
  for (const auto& line : with.console) {
    if (line.find("cannot record this practice") != std::string::npos) ++said;
  }
  EXPECT_EQ(said, 1u);
}

// Where no file can be written, the page says so and why for as long as the game event lasts,
// as the console does, and names no file.
TEST_F(PracticeRecording, WhereNoFileCanBeWrittenThePageSaysWhy) {
  const fs::path plainFile = folder.Path() / "plain-file";
  std::ofstream(plainFile) << "not a folder";
  struct Case {
    const char* name;
    bool hostHasDataFolder;
    const char* why;
  };
  for (const Case& c : {Case{"no data folder", false, "the host has no data folder"},
                        Case{"folder cannot be made", true, "cannot make the folder '"}}) {
    SCOPED_TRACE(c.name);
    const fs::path data = folder.Path() / "blocked";
    fs::create_directories(data / "quillon");
    std::ofstream(data / "quillon" / "recordings") << "a plain file where the folder goes";
    const testing_support::TemporaryFolderAt temporary(plainFile);
    testing_support::PluginSession session(c.hostHasDataFolder ? data : fs::path());
    const auto& status = session.Plugin().recordingStatus;
    session.Set("quillon_record", "1");
    session.StartFreeplay();
    const std::string said = std::string("This practice is not recorded: ") + c.why;
    WaitUntil([&] { return status.Line().starts_with(said); });
    session.Fire("jump");
    EXPECT_TRUE(status.Line().starts_with(said)) << status.Line();
    session.Fire("destroyed");
    EXPECT_EQ(status.Line(), "Not recording: no free play or custom training under way");
  }
}

// The writer held up (the test takes the ring only where it says) while the game runs on and the
// ring fills; a variable, the ball and a landing come while no step fits. Once the writer has
// caught up, the recording brings the replay back to the game's state: the frames after the loss
// show in the replay what they showed in the game.
TEST_F(PracticeRecording, AfterStepsWereLostTheReplayShowsWhatTheGameShowed) {
  const fs::path data = folder.Path() / "held";
  std::vector<std::string> shown;  // frames after the loss
  {
    testing_support::PluginSession session(data);
    QuillonPlugin& plugin = session.Plugin();
    plugin.recordingWriter->Hold();  // no thread: the ring waits for the test
    session.Set("quillon_enabled", "1");
    session.Set("quillon_record", "1");
    session.StartFreeplay();
    session.At(3.5);
    session.Ball(200.0f);
    session.Car(10.0f);
    session.Fire("landed");
    session.At(3.6);
    session.Fire("jump");
    session.Frame();
    plugin.recordingWriter->Drain();
    session.At(3.7);
    for (int i = 0; i < 40'000; ++i) session.Fire("jump");
    session.Set("quillon_heightdecimal", "1");
    session.Ball(700.0f);
    session.Fire("landed");
    session.Frame();
    plugin.recordingWriter->Drain();
    session.At(4.0);
    session.Car(300.0f);
    session.Fire("landed");
    session.At(4.1);
    shown.push_back(session.Frame());
    session.At(5.0);
    session.Fire("dodge");
    session.At(5.5);
    session.Fire("landed");
    session.At(5.6);
    shown.push_back(session.Frame());
  }
  // The game counted both resets at the height it had then; the replay must show the same frames.
  ASSERT_EQ(shown.size(), 2u);
  ASSERT_TRUE(shown[0].starts_with("Resets: 1 | Height: 32.60 | ")) << shown[0];
  ASSERT_TRUE(shown[1].starts_with("Resets: 2 | Height: 32.60 | ")) << shown[1];
  const auto files = Recordings(data);
  ASSERT_EQ(files.size(), 1u);
  const std::string recording = Read(files[0]);
  const std::size_t lost = recording.find(" lost ");
  ASSERT_NE(lost, std::string::npos);
  const Played replay = Play(recording, folder.Path() / "held-replay");
  EXPECT_EQ(replay.checked.failed, 0) << replay.errors;
  EXPECT_TRUE(replay.checked.incomplete);
  EXPECT_THAT(replay.errors, HasSubstr(" the recording lost "));
  ASSERT_GE(replay.frames.size(), shown.size());
  EXPECT_EQ(std::vector<std::string>(replay.frames.end() - 2, replay.frames.end()), shown)
      << recording.substr(lost);
}

std::int64_t Counter() {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return counter.QuadPart;
}

// The writer at its quickest: it takes the ring the moment it is woken, and finds the file's name
// taken (by the recordings of an earlier load in the same second). The page names the file it
// writes, for a recording held back until the practice check and for one switched on in play.
TEST_F(PracticeRecording, ThePageNamesTheFileTheWriterTookWhenItsNameWasTaken) {
  for (const bool inPlay : {false, true}) {
    SCOPED_TRACE(inPlay ? "switched on in play" : "from the start");
    const fs::path data = folder.Path() / (inPlay ? "in-play" : "from-start");
    const fs::path recordings = data / "quillon" / "recordings";
    fs::create_directories(recordings);
    using std::chrono::system_clock;
    const std::int64_t now =
        std::chrono::duration_cast<std::chrono::seconds>(system_clock::now().time_since_epoch())
            .count();
    for (std::int64_t second = now; second < now + 60; ++second) {
      const std::string stamp = quillon::recording::FileStamp(second);
      std::ofstream(recordings / quillon::recording::FileName(stamp, 1)) << "an earlier load\n";
    }
    testing_support::PluginSession session(data);
    QuillonPlugin& plugin = session.Plugin();
    plugin.recordingWriter->Hold();
    plugin.recordingFeed.Attach(*plugin.recordBuffer, &Counter,
                                [&plugin] { plugin.recordingWriter->Drain(); });
    if (!inPlay) session.Set("quillon_record", "1");
    session.StartFreeplay();
    if (inPlay) {
      session.Set("quillon_record", "1");
      session.Fire("jump");
    }
    fs::path written;
    for (const auto& file : Recordings(data)) {
      if (file.stem().string().ends_with("-2")) written = file;
    }
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(plugin.recordingStatus.Line(), "Recording to '" + written.string() + "'");
  }
}

TEST_F(PracticeRecording, ThePageNamesTheRecordingByItsWholePathFromItsStartToItsEnd) {
  const fs::path data = folder.Path() / "page";
  testing_support::PluginSession session(data);
  host::SettingsWindow window{*session.Loaded().SettingsWindow()};
  session.Set("quillon_record", "1");
  session.StartFreeplay();
  // Drawn at once: what the page says does not wait for the writer's thread.
  const auto page = window.Draw();
  ASSERT_NE(std::find(page.begin(), page.end(), "[x] Record Practice Sessions"), page.end());
  const auto named = std::find_if(page.begin(), page.end(), [](const std::string& text) {
    return text.starts_with("Recording to '");
  });
  ASSERT_NE(named, page.end()) << "no line names the recording";
  const std::string line = *named;
  WaitUntil([&] { return Recordings(data).size() == 1; });
  EXPECT_EQ(line, "Recording to '" + Recordings(data)[0].string() + "'");
  EXPECT_TRUE(line.starts_with("Recording to '" + data.string())) << line;
  session.Fire("destroyed");
  const auto after = window.Draw();
  EXPECT_EQ(std::find(after.begin(), after.end(), line), after.end());
}

// A variable's change is in the recording before the next step that could read it (a hook, a
// frame, the end of the game event), at that step's time, whichever thread set it.
TEST_F(PracticeRecording, AChangedVariableIsRecordedBeforeTheNextStepThatCouldReadIt) {
  struct Case {
    const char* name;
    bool fromAnotherThread;
    void (*next)(testing_support::PluginSession&);
  };
  const Case cases[] = {
      {"a hook", false, [](testing_support::PluginSession& s) { s.Fire("jump"); }},
      {"a frame that draws the same text", false,
       [](testing_support::PluginSession& s) { s.Frame(); }},
      {"the end", false, [](testing_support::PluginSession& s) { s.Fire("destroyed"); }},
      {"a hook, set on another thread", true,
       [](testing_support::PluginSession& s) { s.Fire("jump"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path data = folder.Path() / c.name;
    {
      testing_support::PluginSession session(data);
      session.Set("quillon_enabled", "1");
      session.Set("quillon_record", "1");
      session.StartFreeplay();
      session.At(3.6);
      session.Frame();
      session.At(3.7);
      if (c.fromAnotherThread) {
        std::thread([&session] {
          session.Host().FindVariable("quillon_color")->SetText("#FF0000");
        }).join();
      } else {
        session.Set("quillon_color", "#FF0000");
      }
      c.next(session);
      session.At(3.8);
      session.Fire("destroyed");
    }
    const auto files = Recordings(data);
    ASSERT_EQ(files.size(), 1u);
    const std::string recording = Read(files[0]);
    EXPECT_THAT(recording, HasSubstr("\n3.700 set quillon_color "));
  }
}

// With --data naming a folder relative to the working folder, the page still names the file by
// its whole path, where a player finds it.
TEST_F(PracticeRecording, ThePageNamesTheWholePathWhereTheDataFolderIsRelative) {
  struct WorkingFolder {
    fs::path before = fs::current_path();
    explicit WorkingFolder(const fs::path& folder) { fs::current_path(folder); }
    ~WorkingFolder() { fs::current_path(before); }
  } working(folder.Path());
  testing_support::PluginSession session(fs::path("relative-data"));
  session.Set("quillon_record", "1");
  session.StartFreeplay();
  const std::string line = session.Plugin().recordingStatus.Line();
  EXPECT_TRUE(line.starts_with("Recording to '" + (fs::current_path() / "relative-data").string()))
      << line;
  session.Fire("destroyed");
}

// With the writer so far behind that a recording cannot begin, the page says so for as long as
// the game event lasts, and what the writer says later of earlier recordings does not take over.
TEST_F(PracticeRecording, WithTheWriterTooFarBehindThePageSaysThePracticeIsNotRecorded) {
  testing_support::PluginSession session(folder.Path() / "behind");
  QuillonPlugin& plugin = session.Plugin();
  plugin.recordingWriter->Hold();
  session.Set("quillon_record", "1");
  session.StartFreeplay();
  for (int i = 0; i < 40'000; ++i) session.Fire("jump");
  const auto& status = plugin.recordingStatus;
  const std::string behind =
      "This practice is not recorded: the recording's writer is too far behind the game";
  for (int event = 1; event <= 30 && status.Line() != behind; ++event) {
    session.Fire("destroyed");
    session.StartFreeplay(10.0 * event);
  }
  EXPECT_EQ(status.Line(), behind);
  session.Fire("jump");
  plugin.recordingWriter->Drain();
  EXPECT_EQ(status.Line(), behind);
}

}  // namespace
