// The recording's writer thread beside the game thread and the render thread: its console lines
// reach the console only when the game thread runs the work handed to it (the host's Execute),
// also none after unload, and the page's line, read on another thread, says why a practice is
// not recorded. The tsan preset runs this under ThreadSanitizer, which fails it on any race.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ConsoleHandOff.h"
#include "DynamicLibrary.h"
#include "PluginSession.h"
#include "TempFolder.h"

namespace {

namespace fs = std::filesystem;

// Waits for what another thread does, with a bound far beyond any machine's slowness.
template <typename Condition>
bool WaitUntil(Condition done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!done() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return done();
}

long CountLines(const std::vector<std::string>& lines, const std::string& part) {
  return std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
    return line.find(part) != std::string::npos;
  });
}

constexpr const char* kCannotRecord =
    "Quillon: cannot record this practice: cannot make the folder";
constexpr const char* kNotRecorded = "This practice is not recorded: cannot make the folder '";

// A data folder where the recordings' folder cannot be made: a plain file has its name.
fs::path BlockedData(const testing_support::TempFolder& folder) {
  const fs::path data = folder.Path() / "blocked";
  fs::create_directories(data / "quillon");
  std::ofstream(data / "quillon" / "recordings") << "a plain file where the folder goes";
  return data;
}

TEST(RecordingAcrossThreads, TheWritersLinesWaitForTheGameThreadWhileThePageSaysWhy) {
  constexpr int kGameEvents = 20;
  testing_support::TempFolder folder;
  testing_support::PluginSession session(BlockedData(folder));
  auto& status = session.Plugin().recordingStatus;
  session.Set("quillon_record", "1");

  // The render thread reads the page's line all along. The game thread says the file is being
  // opened before the writer tries it; once the line says why nothing is written, it never goes
  // back in that game event (`gameEvent` tells the render thread which
  // game event a line it read belongs to).
  std::atomic<bool> playing{true};
  std::atomic<int> gameEvent{0};
  std::atomic<int> sawWhy{-1};  // the latest game event whose "not recorded" it read
  std::string wrongLine;
  std::thread renderThread([&] {
    std::string previous;
    int previousEvent = -1;
    while (playing.load()) {
      const int before = gameEvent.load();
      const std::string line = status.Line();
      const int event = gameEvent.load() == before ? before : -1;
      const bool known = line.starts_with("Not recording: ") ||
                         line.starts_with("Recording this practice: opening its file") ||
                         line.starts_with(kNotRecorded);
      const bool backwards = event >= 0 && event == previousEvent &&
                             previous.starts_with(kNotRecorded) && line.starts_with("Recording");
      if ((!known || backwards) && wrongLine.empty()) wrongLine = previous + " then " + line;
      if (event >= 0 && line.starts_with(kNotRecorded)) sawWhy = event;
      previous = line;
      previousEvent = event;
    }
  });
  for (int i = 0; i < kGameEvents; ++i) {
    gameEvent = i;
    session.StartFreeplay(5.0 * i);  // the practice check opens the recording
    // The writer says why on the page once it has handed its console line over.
    ASSERT_TRUE(WaitUntil([&] { return status.Line().starts_with(kNotRecorded); }));
    EXPECT_TRUE(WaitUntil([&] { return sawWhy.load() == i; })) << "read on the render thread";
    EXPECT_EQ(CountLines(session.Host().ConsoleLines(), kCannotRecord), i)
        << "written on the writer's thread";
    session.Host().RunDeferred();
    EXPECT_EQ(CountLines(session.Host().ConsoleLines(), kCannotRecord), i + 1);
    session.At(5.0 * i + 4.0);
    session.Fire("destroyed");
    EXPECT_EQ(status.Line(), "Not recording: no free play or custom training under way")
        << "the game event is over";
  }
  playing = false;
  renderThread.join();
  EXPECT_EQ(wrongLine, "") << "the page's line went back or said something else";
}

// The work the plugin handed to the game thread is kept past the unload, as a host may keep it,
// and run after it: the unload wrote the line, and the work writes nothing more.
TEST(RecordingAcrossThreads, ALineStillWaitingAtUnloadIsWrittenOnceAndNothingRunsAfter) {
  // A second hold on the module keeps its code loaded for the work run after the unload.
  const host::DynamicLibrary module(testing_support::PluginPath());
  testing_support::TempFolder folder;
  testing_support::PluginSession session(BlockedData(folder));
  session.Set("quillon_record", "1");
  session.StartFreeplay();
  ASSERT_TRUE(WaitUntil([&] { return session.Host().PendingDeferred() > 0; }));
  auto kept = session.Host().TakeDeferred();
  ASSERT_EQ(CountLines(session.Host().ConsoleLines(), kCannotRecord), 0);
  session.Unload();
  EXPECT_EQ(CountLines(session.Host().ConsoleLines(), kCannotRecord), 1);
  for (auto& work : kept) work(nullptr);
  EXPECT_EQ(CountLines(session.Host().ConsoleLines(), kCannotRecord), 1);
}

// A variable set on another thread (as a console of the host's own may set it) while the game
// thread fires hooks with a recording open: the hook after the last set has it in the recording
// before its event.
TEST(RecordingAcrossThreads, AVariableSetOnAnotherThreadReachesTheRecordingBeforeTheNextHook) {
  testing_support::TempFolder folder;
  const fs::path data = folder.Path() / "data";
  {
    testing_support::PluginSession session(data);
    session.Set("quillon_record", "1");
    session.StartFreeplay();
    const auto variable = session.Host().FindVariable("quillon_posx");
    std::atomic<bool> done{false};
    std::thread console([&] {
      for (int x = 1; x <= 300; ++x) variable->SetText(std::to_string(x));
      done = true;
    });
    while (!done.load()) session.Fire("jump");
    console.join();
    session.At(3.5);
    session.Fire("jump");
    session.Fire("destroyed");
  }
  const fs::path recordings = data / "quillon" / "recordings";
  ASSERT_TRUE(fs::is_directory(recordings));
  const fs::path file = fs::directory_iterator(recordings)->path();
  std::ostringstream text;
  text << std::ifstream(file).rdbuf();
  const std::string recording = text.str();
  const std::size_t lastSet = recording.rfind(" set quillon_posx ");
  ASSERT_NE(lastSet, std::string::npos) << recording;
  EXPECT_EQ(recording.compare(lastSet, 22, " set quillon_posx 300\n"), 0)
      << recording.substr(lastSet, 40);
  EXPECT_LT(lastSet, recording.rfind("3.500 event jump")) << recording.substr(lastSet);
}

// A host that keeps the work handed to the game thread beyond the plugin's unload: the work finds
// the lines gone and touches nothing.
TEST(ConsoleHandOff, WorkRunAfterTheHandOffIsGoneDoesNothing) {
  std::vector<std::function<void()>> gameThread;
  std::vector<std::string> console;
  {
    quillon::recording::ConsoleHandOff handOff(
        [&](const std::string& line) { console.push_back(line); },
        [&](std::function<void()> work) { gameThread.push_back(std::move(work)); });
    handOff.Say("first");
    handOff.Say("second");
    ASSERT_EQ(gameThread.size(), 1u) << "one piece of work writes every line waiting";
    gameThread[0]();
    EXPECT_EQ(console, (std::vector<std::string>{"first", "second"}));
    handOff.Say("third");
    ASSERT_EQ(gameThread.size(), 2u);
  }
  gameThread[1]();
  EXPECT_EQ(console.size(), 2u);
}

}  // namespace
