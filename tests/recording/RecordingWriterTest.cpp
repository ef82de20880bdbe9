// The recording's pieces without the game: the lines' numbers and names, the files' names, and
// the writer when the game runs ahead of it or the file grows too big.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <csignal>

#include <fstream>
#include <sstream>
#include <thread>

#include "RecordingFeed.h"
#include "RecordingFile.h"
#include "RecordingNames.h"
#include "RecordingText.h"
#include "RecordingWriter.h"
#include "TempFolder.h"

namespace {

using ::testing::HasSubstr;
using namespace quillon::recording;

std::string Read(const std::filesystem::path& file) {
  std::ostringstream text;
  text << std::ifstream(file, std::ios::binary).rdbuf();
  return text.str();
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t count = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
    ++count;
  }
  return count;
}

TEST(RecordingText, TimesNumbersAndStampsReadBackExactly) {
  const std::pair<std::int64_t, const char*> times[] = {
      {0, "0.000"}, {30'000'000, "3.000"}, {29'999'999, "2.9999999"}, {123'456'000, "12.3456"}};
  for (const auto& [ticks, text] : times) {
    std::string out;
    AppendTime(out, ticks);
    EXPECT_EQ(out, text);
  }
  const std::pair<double, const char*> numbers[] = {
      {2.0, "2"},
      {-0.0, "0"},
      {static_cast<double>(93.15f), "93.1500015258789"},
      {static_cast<double>(3.4028235e38f), "3.4028234663852886e+38"},
      {1e-45f, "1.401298464324817e-45"}};
  for (const auto& [value, text] : numbers) {
    std::string out;
    AppendNumber(out, value);
    EXPECT_EQ(out, text);
  }
  // A counter of another frequency: 3 s at 3,579,545 ticks a second.
  EXPECT_EQ(ScriptTicks(3 * 3'579'545, 3'579'545), 30'000'000);
  EXPECT_EQ(FileStamp(1'796'715'000), "20261208T073000Z");
  EXPECT_EQ(ReadableUtc(1'796'715'000), "2026-12-08 07:30:00 UTC");
}

TEST(RecordingFile, ATakenNameGetsTheNextNumber) {
  testing_support::TempFolder folder;
  const auto recordings = folder.Path() / "recordings";
  const char* expected[] = {"recordings/20261208T073000Z.session",
                            "recordings/20261208T073000Z-2.session",
                            "recordings/20261208T073000Z-3.session"};
  for (const char* name : expected) {
    RecordingFile file;
    ASSERT_FALSE(file.Create(recordings, "20261208T073000Z").has_value());
    EXPECT_EQ(file.ShortName(), name);
  }
}

TEST(RecordingNames, LaterRecordingsOfTheSameSecondGetTheNextNumber) {
  RecordingNames names;
  const std::pair<std::int64_t, std::uint32_t> recordings[] = {
      {1'796'715'000, 1}, {1'796'715'000, 2}, {1'796'715'000, 3}, {1'796'715'001, 1}};
  for (const auto& [utc, copy] : recordings) EXPECT_EQ(names.Next(utc), copy);
}

// A writer with no thread of its own: the test decides when it takes the ring, as a writer held
// up by a slow disk would. The ring holds 8 steps of play beside the room kept for the steps
// that change the writer's state.
class WriterTest : public ::testing::Test {
 protected:
  static constexpr std::size_t kKept = 8;
  static constexpr std::int64_t kUtc = 1'796'715'000;  // 2026-12-08 07:30:00 UTC
  static std::int64_t Clock() { return now; }

  WriterTest() : buffer(8 + kKept, kKept) {
    writer = MakeWriter(WriterSetup{}.unloadWait);
    feed.Attach(buffer, &Clock, [] {});
    feed.Watch(settings);
    now = 0;
  }

  std::unique_ptr<RecordingWriter> MakeWriter(std::chrono::milliseconds unloadWait) {
    WriterSetup setup;
    setup.unloadWait = unloadWait;
    setup.folder = Folder();
    settings[0] = {"quillon_enabled", SettingType::kSwitch, &enabled};
    setup.settings.assign(settings, settings + 1);
    setup.writtenBy = "test";
    setup.report = [this](const std::string& line) {
      console.push_back(line);
      consoleThreads.push_back(std::this_thread::get_id());
    };
    setup.overlayText = [](const FrameStep& frame) {
      return "Resets: " + std::to_string(frame.count);
    };
    setup.status = &status;
    setup.sizeLimit = 4096;
    return std::make_unique<RecordingWriter>(buffer, std::move(setup));
  }

  std::filesystem::path Folder() const { return folder.Path() / "recordings"; }
  std::filesystem::path File(std::uint32_t copy = 1) const {
    return Folder() / FileName(FileStamp(kUtc), copy);
  }

  // As the plugin begins a recording in play, or at the game event's start (held back until
  // Open); a recording the feed has no room for is the writer's to say. Each copy is a game
  // event of its own.
  bool Begin(bool live = true, std::uint32_t copy = 1, std::uint64_t gameEvent = 0) {
    feed.NewMoment();
    BeginStep begin{.frequency = 10'000'000, .utc = kUtc, .copy = copy};
    begin.playState = play::kChainEnded;
    begin.live = live;
    const bool begun = feed.Begin(begin, true);
    if (!begun) writer->CouldNotRecord(gameEvent != 0 ? gameEvent : copy);
    return begun;
  }
  void Step(GameEvent event) {
    now += 1'000'000;
    feed.NewMoment();
    feed.Event(event);
  }
  void Frame(std::uint32_t count) {
    feed.NewMoment();
    feed.Frame({true, count, 0.0, 0.0f, false, kAllOnOneRow});
  }
  void End(EndReason reason = EndReason::kDestroyed) {
    feed.NewMoment();
    feed.End(reason);
  }
  std::string Finish() {
    End();
    writer->Drain();
    return Read(File());
  }

  static inline std::int64_t now = 0;
  bool enabled = true;
  testing_support::TempFolder folder;
  RecordBuffer buffer;
  WatchedSetting settings[1];
  RecordingFeed feed;
  RecordingStatus status;
  std::unique_ptr<RecordingWriter> writer;
  std::vector<std::string> console;
  std::vector<std::thread::id> consoleThreads;
};

TEST_F(WriterTest, StepsLostWhileItFellBehindAreCountedMarkedAndSaidOnceAndChecksStop) {
  Begin();
  writer->Drain();
  Frame(1);
  for (int i = 0; i < 20; ++i) Step(GameEvent::kJump);  // 7 fit beside the frame; 13 are lost
  writer->Drain();
  Step(GameEvent::kDodge);
  Frame(2);
  // After the gap, its count, the dodge, the variable (all are handed over again) and the frame.
  for (int i = 0; i < 20; ++i) Step(GameEvent::kJump);
  writer->Drain();
  const std::string text = Finish();
  EXPECT_EQ(Count(text, " lost 13\n"), 1u) << text;
  EXPECT_EQ(Count(text, " lost 16\n"), 1u) << text;
  EXPECT_EQ(Count(text, " lost "), 2u) << text;
  EXPECT_EQ(Count(text, "event jump"), 7u + 4u) << text;
  EXPECT_EQ(Count(text, "expect"), 1u) << "only before the first gap:\n" << text;
  EXPECT_THAT(text, HasSubstr("expect \"Resets: 1\""));
  ASSERT_EQ(console.size(), 1u);
  EXPECT_THAT(console[0], HasSubstr("lost steps"));
}

// What the game read while no step fitted reaches the file once there is room again, before the
// next frame: the lost steps may have changed any of it, so nothing counts as written before.
TEST_F(WriterTest, AfterALossTheReplayGetsEverythingItNeedsBeforeTheNextFrame) {
  const auto read = [this](float z) {
    feed.NewMoment();
    feed.GameState(true);
    feed.Ball(true, 0.0f, 0.0f, z);
    feed.Car(true, 0.0f, 0.0f, z / 10.0f);
    Step(GameEvent::kLanded);
  };
  const auto frame = [this](GameMode mode, std::uint32_t count) {
    feed.NewMoment();
    feed.Mode(mode);
    Frame(count);
  };
  Begin();
  read(200.0f);
  frame(GameMode::kFreeplay, 0);
  writer->Drain();
  for (int i = 0; i < 10; ++i) Step(GameEvent::kJump);
  // While the ring is full: the mode, the ball, the car, the variable and the text change.
  read(700.0f);
  enabled = false;
  frame(GameMode::kTraining, 1);
  writer->Drain();
  frame(GameMode::kTraining, 1);
  const std::string text = Finish();
  const std::size_t gap = text.find(" lost ");
  ASSERT_NE(gap, std::string::npos) << text;
  std::size_t at = gap;
  for (const char* line : {" mode training\n", " ball 0 0 700\n", " car 0 0 70\n",
                           " set quillon_enabled 0\n", " frame\n"}) {
    at = text.find(line, at);
    ASSERT_NE(at, std::string::npos) << "no" << line << "after the gap, in order:\n" << text;
  }
}

TEST_F(WriterTest, ARecordingStopsAtItsSizeLimitAfterAWholeLineAndSaysSo) {
  Begin();
  writer->Drain();
  status.Opening(1);
  std::string text;
  for (int round = 0; round < 100 && console.empty(); ++round) {
    for (int i = 0; i < 7; ++i) Step(GameEvent::kLanded);
    writer->Drain();
  }
  text = Finish();
  EXPECT_LE(text.size(), 4096u);
  EXPECT_GT(text.size(), 4000u);
  EXPECT_TRUE(text.ends_with("event landed\n")) << text.substr(text.size() - 40);
  ASSERT_EQ(console.size(), 1u);
  EXPECT_THAT(console[0], HasSubstr("reached its size limit of 4096 bytes"));
  EXPECT_EQ(status.Path(), "") << "the page no longer names a recording that stopped";
}

// A disk that fills: writes past `bytes` fail, the one that crosses it only in part.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &before_);
    rlimit small = before_;
    small.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &small);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &before_); }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit before_{};
};

TEST_F(WriterTest, AWriteThatFailsMidwayLeavesWholeLinesAndSaysSoOnce) {
  Begin();
  writer->Drain();
  std::string text;
  {
    const FileSizeLimit limit(1000);
    for (int round = 0; round < 20; ++round) {
      for (int i = 0; i < 7; ++i) Step(GameEvent::kLanded);
      writer->Drain();
    }
    text = Finish();
  }
  EXPECT_LE(text.size(), 1000u);
  EXPECT_TRUE(text.ends_with("event landed\n")) << text.substr(text.size() - 40);
  ASSERT_EQ(console.size(), 1u);
  EXPECT_THAT(console[0], HasSubstr("cannot write the recording"));
}

TEST_F(WriterTest, ADiskFullFromTheFirstWriteLeavesNoFileBehindAndThePageSaysWhy) {
  status.Opening(1);
  {
    const FileSizeLimit limit(10);
    Begin();
    writer->Drain();
    End();
    writer->Drain();
  }
  EXPECT_FALSE(std::filesystem::exists(File()));
  ASSERT_EQ(console.size(), 1u);
  EXPECT_THAT(console[0], HasSubstr("cannot write the recording '" + File().string() + "'"));
  EXPECT_TRUE(status.Line().starts_with("This practice is not recorded: cannot write '" +
                                        File().string() + "' ("))
      << status.Line();
  EXPECT_EQ(status.Path(), "");
}

TEST_F(WriterTest, AFileOfTheNameFromAnEarlierLoadIsKeptAndThePageNamesTheNewOne) {
  std::filesystem::create_directories(Folder());
  std::ofstream(File(1)) << "an earlier recording\n";
  status.Opening(1);
  Begin();
  writer->Drain();
  EXPECT_EQ(status.Path(), File(2).string());
  EXPECT_EQ(Read(File(1)), "an earlier recording\n");
  End();
  writer->Drain();
  EXPECT_TRUE(Read(File(2)).ends_with("# the recording ends here: the game event ended\n"));
}

// The ring full when the recording's state changes: the open, the end and the count lost before
// each still reach the writer, and the file says where steps were lost, up to its end.
TEST_F(WriterTest, AFullRingLosesNoStateChangeAndTheCountReachesTheEnd) {
  struct Case {
    const char* name;
    bool live;
    EndReason reason;
    const char* tail;
  };
  const Case cases[] = {
      {"held back until the check", false, EndReason::kDestroyed,
       "0.600 event jump\n2.9999999 lost 24\n7.000 lost 40\n"
       "# the recording ends here: the game event ended\n"},
      {"begun in play, unloaded", true, EndReason::kUnload,
       "3.600 event jump\n10.000 lost 64\n"
       "# the recording ends here: the plugin was unloaded\n"},
      {"begun in play, switched off", true, EndReason::kSwitchedOff,
       "3.600 event jump\n10.000 lost 64\n"
       "# the recording ends here: recording was switched off\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    console.clear();
    now = 0;
    ASSERT_TRUE(Begin(c.live));
    // 6 fit beside the begin and the setting; 24 are lost.
    for (int i = 0; i < 30; ++i) Step(GameEvent::kJump);
    if (!c.live) feed.Open({GameMode::kTraining, 1});
    for (int i = 0; i < 40; ++i) Step(GameEvent::kDodge);
    End(c.reason);
    writer->Drain();
    const std::string text = Read(File());
    std::filesystem::remove(File());
    EXPECT_TRUE(text.starts_with("# Recorded by test on 2026-12-08 07:30:00 UTC in ")) << text;
    EXPECT_EQ(Count(text, "event jump"), 6u) << text;
    EXPECT_TRUE(text.ends_with(c.tail)) << text;
    ASSERT_EQ(console.size(), 1u);
    EXPECT_THAT(console[0], HasSubstr("lost steps"));
  }
}

// A writer stuck while game events come and go: each recording keeps its own steps, and one the
// kept room cannot hold any more is said once on the console, not written into another's file.
TEST_F(WriterTest, RecordingsBegunWhileTheWriterIsStuckStayApartOrAreSaidOnce) {
  std::uint32_t begun = 0;
  for (std::uint32_t copy = 1; copy <= 4; ++copy) {
    if (!Begin(true, copy)) continue;
    ++begun;
    for (std::uint32_t i = 0; i < copy * 20; ++i) Step(GameEvent::kLanded);
    End();
  }
  EXPECT_EQ(begun, 2u) << "the kept room holds the state steps of two recordings";
  // Switched off and on again and again in the last game event: still one game event.
  for (int i = 0; i < 30; ++i) EXPECT_FALSE(Begin(true, 5, 4));
  writer->Drain();
  const std::string first = Read(File(1));
  EXPECT_EQ(Count(first, "event landed"), 6u) << first;
  EXPECT_TRUE(
      first.ends_with("5.000 lost 14\n# the recording ends here: the game "
                      "event ended\n"))
      << first;
  const std::string second = Read(File(2));
  EXPECT_EQ(Count(second, "event landed"), 0u) << second;
  EXPECT_TRUE(
      second.ends_with("7.000 lost 41\n# the recording ends here: the game "
                       "event ended\n"))
      << second;
  EXPECT_FALSE(std::filesystem::exists(File(3)));
  ASSERT_EQ(console.size(), 3u);
  EXPECT_EQ(console[2],
            "Quillon: cannot record 2 practice game events: the recording's writer is too far "
            "behind the game; play goes on");
  // Caught up, the writer keeps the next one whole.
  ASSERT_TRUE(Begin(true, 3));
  Step(GameEvent::kJump);
  End();
  writer->Drain();
  EXPECT_EQ(Count(Read(File(3)), " lost "), 0u);
}

// The unload waits for the writer no longer than it is given (here not at all), and the game
// thread does no file work: what was not written by then is counted as lost, written as such
// before the end line, and said, all on the writer's thread.
TEST_F(WriterTest, AtUnloadWhatCannotBeWrittenInTimeIsCountedAsLostAndSaid) {
  writer = MakeWriter(std::chrono::milliseconds(0));
  Begin();
  writer->Drain();
  for (int i = 0; i < 5; ++i) Step(GameEvent::kJump);
  End(EndReason::kUnload);
  writer->Stop();
  const std::string text = Read(File());
  EXPECT_EQ(Count(text, "event jump"), 0u) << text;
  const std::size_t lost = text.find(" lost 5\n");
  ASSERT_NE(lost, std::string::npos) << text;
  EXPECT_LT(lost, text.find("# the recording ends here")) << text;
  ASSERT_EQ(console.size(), 1u);
  EXPECT_THAT(console[0], HasSubstr("lost steps"));
  EXPECT_NE(consoleThreads[0], std::this_thread::get_id()) << "written on the game thread";
}

}  // namespace
