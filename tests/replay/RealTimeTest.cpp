// The host in real time: its clock follows the platform's between the moments the host acts,
// steps and timeouts wait for their time and keep it however late the host gets to them, the
// plugin's counter moves with the session time, and a real-time replay shows exactly what the
// virtual replay shows.
#include <fnmatch.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "BusyLoops.h"
#include "Host.h"
#include "PerformanceCounter.h"

namespace {

using pluginsdk::HostClock;
using pluginsdk::PlatformTicks;
using ::testing::HasSubstr;

constexpr std::int64_t kMillisecond = HostClock::kTicksPerSecond / 1000;

std::int64_t SteadyTicks() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
             .count() /
         100;
}

TEST(HostClock, VirtualMovesOnlyWhenMovedAndNeverBack) {
  HostClock clock;
  EXPECT_EQ(clock.Now(), 0);
  clock.AdvanceTo(5 * HostClock::kTicksPerSecond);
  EXPECT_EQ(clock.Now(), 5 * HostClock::kTicksPerSecond);
  EXPECT_EQ(clock.Counter(), 5 * HostClock::kTicksPerSecond);
  clock.AdvanceTo(HostClock::kTicksPerSecond);
  EXPECT_EQ(clock.Now(), 5 * HostClock::kTicksPerSecond);
}

TEST(HostClock, RealTimeGoesOnFromThePresentSessionTime) {
  HostClock clock;
  clock.AdvanceTo(5 * HostClock::kTicksPerSecond);
  clock.FollowPlatformClock();
  EXPECT_TRUE(clock.RealTime());
  const std::int64_t now = clock.Now();
  EXPECT_GE(now, 5 * HostClock::kTicksPerSecond);
  EXPECT_LT(now, 5 * HostClock::kTicksPerSecond + 500 * kMillisecond);
}

TEST(HostClock, RealTimeWaitsUntilTheTimeHasCome) {
  HostClock clock;
  clock.FollowPlatformClock();
  const std::int64_t start = PlatformTicks();
  const std::int64_t target = clock.Now() + 30 * kMillisecond;
  clock.AdvanceTo(target);
  EXPECT_GE(clock.Now(), target);
  EXPECT_GE(PlatformTicks() - start, 30 * kMillisecond);
}

TEST(HostClock, RealTimeReturnsAtOnceForATimeInThePast) {
  HostClock clock;
  clock.FollowPlatformClock();
  clock.AdvanceTo(20 * kMillisecond);
  const std::int64_t start = PlatformTicks();
  clock.AdvanceTo(kMillisecond);
  EXPECT_LT(PlatformTicks() - start, 10 * kMillisecond);
}

// A step held at its time, or a step the clock stopped at, takes no session time however late the
// host is: afterwards the clock goes on from that time, and the counter the plugin reads with it.
TEST(HostClock, RealTimeGoesOnFromWhereItStoodWhenAHoldOrAStopEnds) {
  HostClock clock;
  clock.FollowPlatformClock();
  const std::int64_t stop = clock.Now() + 5 * kMillisecond;
  clock.StopAt(stop);
  clock.AdvanceTo(stop + 30 * kMillisecond);  // the host busy past the stop
  EXPECT_EQ(clock.Now(), stop);
  clock.Hold(stop);
  const std::int64_t counterAtStop = clock.Counter();
  std::int64_t before = PlatformTicks();
  clock.Release();
  clock.ClearStop();
  // Read in this order: the two sides of one EXPECT are evaluated in no set order.
  std::int64_t now = clock.Now();
  EXPECT_GE(now, stop);
  EXPECT_LE(now - stop, PlatformTicks() - before);

  const std::int64_t held = clock.Now();
  clock.Hold(held);
  clock.AdvanceTo(held + 30 * kMillisecond);
  EXPECT_EQ(clock.Now(), held);
  EXPECT_EQ(clock.Counter() - counterAtStop, held - stop);
  before = PlatformTicks();
  clock.Release();
  now = clock.Now();
  EXPECT_GE(now, held);
  EXPECT_LE(now - held, PlatformTicks() - before);

  clock.StopAt(held - kMillisecond);  // a stop in the past: the clock never goes back
  EXPECT_GE(clock.Now(), held);
}

// The host stops the clock at the first step's time before real time begins: however late it
// gets to that step, the step reads its own time, and so does every timeout it sets.
TEST(HostClock, AStopSetBeforeRealTimeBeginsHoldsFromItsFirstInstant) {
  HostClock clock;
  clock.AdvanceTo(HostClock::kTicksPerSecond);
  clock.StopAt(HostClock::kTicksPerSecond);
  clock.FollowPlatformClock();
  std::this_thread::sleep_for(std::chrono::milliseconds(2));  // the host late to its first step
  EXPECT_EQ(clock.Now(), HostClock::kTicksPerSecond);
  EXPECT_EQ(clock.Counter(), HostClock::kTicksPerSecond);
  const std::int64_t before = PlatformTicks();
  clock.ClearStop();
  const std::int64_t now = clock.Now();  // before the platform's ticks, as in the test above
  EXPECT_GE(now, HostClock::kTicksPerSecond);
  EXPECT_LE(now - HostClock::kTicksPerSecond, PlatformTicks() - before);
}

TEST(HostClock, PlatformTicksAreTheSteadyClockInHundredNanoseconds) {
  const std::int64_t before = SteadyTicks();
  const std::int64_t ticks = PlatformTicks();
  const std::int64_t after = SteadyTicks();
  EXPECT_LE(before, ticks);
  EXPECT_LE(ticks, after);
}

// The plugin reads the session time either way, so it computes the very same numbers in a
// real-time run as in a virtual one.
TEST(PerformanceCounter, ReadsTheSessionTimeInVirtualAndInRealTime) {
  pluginsdk::Host host;
  host.AdvanceTo(7 * HostClock::kTicksPerSecond);
  LARGE_INTEGER counter;
  LARGE_INTEGER frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  EXPECT_EQ(counter.QuadPart, 7 * HostClock::kTicksPerSecond);
  EXPECT_EQ(frequency.QuadPart, 10'000'000);

  host.Clock().FollowPlatformClock();
  const std::int64_t step = 7 * HostClock::kTicksPerSecond + 20 * kMillisecond;
  host.AdvanceTo(step);
  const pluginsdk::ClockHold hold(host.Clock(), step);
  QueryPerformanceCounter(&counter);
  EXPECT_EQ(counter.QuadPart, step);
  QueryPerformanceFrequency(&frequency);
  EXPECT_EQ(frequency.QuadPart, 10'000'000);
}

TEST(RealTimeHost, RunsATimeoutNoEarlierThanItIsDue) {
  pluginsdk::Host host;
  const auto plugin = host.Connect();
  host.Clock().FollowPlatformClock();
  const std::int64_t due = host.Clock().Now() + 25 * kMillisecond;
  std::int64_t ranAt = -1;
  host.AddTimeout(
      plugin->id, [&](GameWrapper*) { ranAt = host.Clock().Now(); }, 0.025f);
  host.AdvanceTo(due - 15 * kMillisecond);
  EXPECT_EQ(ranAt, -1);
  host.AdvanceTo(due + 5 * kMillisecond);
  EXPECT_GE(ranAt, due);
}

// The host program itself, run as a person runs it.
class HostProgram : public ::testing::Test {
 protected:
  std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      ("quillon-realtime-test-" +
       std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
       ::testing::UnitTest::GetInstance()->current_test_info()->name());

  void SetUp() override { std::filesystem::create_directories(folder); }
  void TearDown() override { std::filesystem::remove_all(folder); }

  // Runs the host program in the test's folder with its output going to the files OUT.out and
  // OUT.err there; returns the exit status.
  int Run(const std::string& arguments, const std::string& out) {
    const std::string command = "cd " + folder.string() + " && " + QUILLON_HOST_PATH + " " +
                                arguments + " >" + (folder / (out + ".out")).string() + " 2>" +
                                (folder / (out + ".err")).string();
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::string Read(const std::string& name) {
    std::ostringstream text;
    text << std::ifstream(folder / name).rdbuf();
    return text.str();
  }
};

// On a busy machine the host gets to steps late, yet every step reads the time it was planned
// for: the real-time replay prints exactly what the virtual one prints, and the recordings made
// of it (the host's and the plugin's own) replay with every expectation met.
TEST_F(HostProgram, RealTimeReplayOnABusyMachineShowsExactlyWhatTheVirtualReplayShows) {
  std::ofstream(folder / "practice.session") << "0.00 set quillon_record 1\n"
                                             << std::ifstream(REALTIME_SESSION).rdbuf();
  ASSERT_EQ(Run("practice.session", "virtual"), 0) << Read("virtual.err");
  std::chrono::steady_clock::duration took{};
  {
    const testing_support::BusyLoops busy;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Run("--realtime --data data --record host.session practice.session", "realtime"), 0)
        << Read("realtime.err");
    took = std::chrono::steady_clock::now() - start;
  }
  // It waited for every step: the last frame line begins with the session's last step time.
  const std::string frames = Read("virtual.out");
  ASSERT_GE(frames.size(), 2u);
  const std::size_t lastLine = frames.rfind('\n', frames.size() - 2) + 1;
  const double lastStepSeconds = std::stod(frames.substr(lastLine));
  EXPECT_GE(std::chrono::duration<double>(took).count(), lastStepSeconds);
  EXPECT_EQ(Read("realtime.out"), frames);

  EXPECT_EQ(Run("host.session", "host-replay"), 0) << Read("host-replay.err");
  const std::vector<std::filesystem::directory_entry> recordings(
      std::filesystem::directory_iterator(folder / "data/quillon/recordings"), {});
  ASSERT_EQ(recordings.size(), 1u) << "one game event, one recording";
  EXPECT_EQ(Run(recordings[0].path().string(), "plugin-replay"), 0) << Read("plugin-replay.err");
}

TEST_F(HostProgram, DescribePrintsEveryFieldOfTheDescriptorRecord) {
  ASSERT_EQ(Run("--describe", "describe"), 0) << Read("describe.err");
  std::istringstream actual(Read("describe.out"));
  std::ifstream expected(DESCRIPTOR_EXPECTED);
  ASSERT_TRUE(expected) << DESCRIPTOR_EXPECTED;
  std::string want;
  std::string got;
  while (std::getline(expected, want)) {
    ASSERT_TRUE(std::getline(actual, got)) << "missing: " << want;
    // In the expected listing '*' stands for any text (the builder's folder); '\' counts as '/'.
    std::replace(got.begin(), got.end(), '\\', '/');
    EXPECT_EQ(fnmatch(want.c_str(), got.c_str(), 0), 0) << got << " does not match " << want;
  }
  EXPECT_FALSE(std::getline(actual, got)) << "one line too many: " << got;
}

// Through a pipe, as `quillon-host --realtime S | tee log` reads it: the frame at 0 s arrives
// then, not when the program ends at 1.5 s.
TEST_F(HostProgram, RealTimeOutputArrivesAsEachLineIsWritten) {
  std::ofstream(folder / "live.session") << "0 frame\n1.5 frame\n";
  const std::string command =
      "cd " + folder.string() + " && " + QUILLON_HOST_PATH + " --realtime live.session 2>live.err";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::array<char, 256> line{};
  const bool gotFirst = std::fgets(line.data(), line.size(), pipe) != nullptr;
  const auto first = std::chrono::steady_clock::now();
  while (std::fgets(line.data(), line.size(), pipe) != nullptr) {
  }
  const auto end = std::chrono::steady_clock::now();
  ASSERT_EQ(pclose(pipe), 0) << Read("live.err");
  ASSERT_TRUE(gotFirst);
  EXPECT_GT(std::chrono::duration<double>(end - first).count(), 0.75)
      << "the first line came only as the program ended";
}

// A name without a folder is a file in the current folder, not one the loader's library search
// finds: with the build's own module's name, too.
TEST_F(HostProgram, PluginIsTheNamedFileInTheCurrentFolder) {
  for (const std::string name : {"QuillonPlugin.so", "Renamed.so"}) {
    std::filesystem::copy_file(QUILLON_PLUGIN_PATH, folder / name);
    ASSERT_EQ(Run("--plugin " + name + " --describe", name), 0) << Read(name + ".err");
    const std::string listing = Read(name + ".out");
    EXPECT_EQ(listing.substr(0, listing.find('\n')), "module " + (folder / name).string());
  }
}

TEST_F(HostProgram, DescribeTakesNoSession) {
  EXPECT_EQ(Run("--describe " REALTIME_SESSION, "refused"), 2);
  EXPECT_THAT(Read("refused.err"), HasSubstr("--describe takes no SESSION"));
}

}  // namespace
