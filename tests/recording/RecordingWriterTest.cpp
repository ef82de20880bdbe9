// The recording's pieces without the game: the lines' numbers and names, the files' names, and
// the writer when the game runs ahead of it or the file grows too big.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include <fstream>
#include <sstream>

#include "RecordingFeed.h"
#include "RecordingText.h"
#include "RecordingWriter.h"
#include "TempFolder.h"

namespace {

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

// A writer with no thread of its own: the test decides when it takes the ring.
class WriterTest : public ::testing::Test {
 protected:
  static std::int64_t Clock() { return now; }

  WriterTest() : buffer(8) {
    WriterSetup setup;
    setup.folder = folder.Path() / "recordings";
    static const bool kEnabled = true;
    settings[0] = {"quillon_enabled", SettingType::kSwitch, &kEnabled};
    setup.settings.assign(settings, settings + 1);
    setup.writtenBy = "test";
    setup.report = [this](const std::string& line) { console.push_back(line); };
    setup.overlayText = [](const StepRecord& frame) {
      return "Resets: " + std::to_string(frame.count);
    };
    setup.sizeLimit = 4096;
    writer = std::make_unique<RecordingWriter>(buffer, std::move(setup));
    feed.Attach(buffer, &Clock, [] {});
    feed.Watch(settings);
    now = 0;
    feed.NewMoment();
    feed.Begin(true, GameMode::kFreeplay, play::kChainEnded, true, 1'796'715'000, 10'000'000);
    writer->Drain();
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
  std::string Finish() {
    feed.NewMoment();
    feed.End(EndReason::kDestroyed);
    writer->Drain();
    return Read(folder.Path() / "recordings" / "20261208T073000Z.session");
  }

  static inline std::int64_t now = 0;
  testing_support::TempFolder folder;
  RecordBuffer buffer;
  WatchedSetting settings[1];
  RecordingFeed feed;
  std::unique_ptr<RecordingWriter> writer;
  std::vector<std::string> console;
};

TEST_F(WriterTest, StepsLostWhileItFellBehindAreCountedMarkedAndSaidOnceAndChecksStop) {
  Frame(1);
  for (int i = 0; i < 20; ++i) Step(GameEvent::kJump);  // 7 fit beside the frame; 13 are lost
  writer->Drain();
  Step(GameEvent::kDodge);
  Frame(2);
  for (int i = 0; i < 20; ++i) Step(GameEvent::kJump);
  writer->Drain();
  const std::string text = Finish();
  EXPECT_EQ(Count(text, "# 13 steps lost here\n"), 1u) << text;
  // After the gap, its count, the dodge, the variable (all are handed over again) and the frame.
  EXPECT_EQ(Count(text, "# 16 steps lost here\n"), 1u) << text;
  EXPECT_EQ(Count(text, "steps lost here"), 2u) << text;
  EXPECT_EQ(Count(text, "event jump"), 7u + 4u) << text;
  EXPECT_EQ(Count(text, "expect"), 1u) << "only before the first gap:\n" << text;
  EXPECT_NE(text.find("expect \"Resets: 1\""), std::string::npos) << text;
  ASSERT_EQ(console.size(), 1u);
  EXPECT_NE(console[0].find("lost steps"), std::string::npos) << console[0];
}

TEST_F(WriterTest, ARecordingStopsAtItsSizeLimitAfterAWholeLineAndSaysSo) {
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
  EXPECT_NE(console[0].find("reached its size limit of 4096 bytes"), std::string::npos)
      << console[0];
  EXPECT_EQ(writer->OpenRecording(), "");
}

TEST_F(WriterTest, AWriteThatFailsMidwayLeavesWholeLinesAndSaysSoOnce) {
  // A disk that fills: writes past 1,000 bytes fail, the one that crosses it only in part.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit before{};
  getrlimit(RLIMIT_FSIZE, &before);
  rlimit small = before;
  small.rlim_cur = 1000;
  setrlimit(RLIMIT_FSIZE, &small);
  for (int round = 0; round < 20; ++round) {
    for (int i = 0; i < 7; ++i) Step(GameEvent::kLanded);
    writer->Drain();
  }
  const std::string text = Finish();
  setrlimit(RLIMIT_FSIZE, &before);
  EXPECT_LE(text.size(), 1000u);
  EXPECT_TRUE(text.ends_with("event landed\n")) << text.substr(text.size() - 40);
  ASSERT_EQ(console.size(), 1u);
  EXPECT_NE(console[0].find("cannot write the recording"), std::string::npos) << console[0];
}

}  // namespace
