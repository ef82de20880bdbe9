// The host in real time: its clock follows the platform's, steps and timeouts wait for their
// time, the plugin's counter reads the monotonic clock, and a real-time replay shows what the
// exact virtual replay shows.
#include <fnmatch.h>
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

#include "Host.h"
#include "PerformanceCounter.h"
#include "ReplayComparison.h"

namespace {

using pluginsdk::HostClock;
using pluginsdk::PlatformTicks;

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

TEST(HostClock, PlatformTicksAreTheSteadyClockInHundredNanoseconds) {
  const std::int64_t before = SteadyTicks();
  const std::int64_t ticks = PlatformTicks();
  const std::int64_t after = SteadyTicks();
  EXPECT_LE(before, ticks);
  EXPECT_LE(ticks, after);
}

TEST(PerformanceCounter, ReadsTheMonotonicClockInRealTimeAndTheSessionOtherwise) {
  pluginsdk::Host host;
  host.AdvanceTo(7 * HostClock::kTicksPerSecond);
  LARGE_INTEGER counter;
  LARGE_INTEGER frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  EXPECT_EQ(counter.QuadPart, 7 * HostClock::kTicksPerSecond);
  EXPECT_EQ(frequency.QuadPart, 10'000'000);

  host.Clock().FollowPlatformClock();
  const std::int64_t before = SteadyTicks();
  QueryPerformanceCounter(&counter);
  const std::int64_t after = SteadyTicks();
  EXPECT_LE(before, counter.QuadPart);
  EXPECT_LE(counter.QuadPart, after);
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

TEST_F(HostProgram, RealTimeReplayShowsWhatTheVirtualReplayShows) {
  const std::string session = REALTIME_SESSION;
  ASSERT_EQ(Run(session, "virtual"), 0) << Read("virtual.err");
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(Run("--realtime " + session, "realtime"), 0) << Read("realtime.err");
  const auto took = std::chrono::steady_clock::now() - start;

  // It waited for every step: the last frame line begins with the session's last step time.
  const std::string frames = Read("virtual.out");
  ASSERT_GE(frames.size(), 2u);
  const std::size_t lastLine = frames.rfind('\n', frames.size() - 2) + 1;
  const double lastStepSeconds = std::stod(frames.substr(lastLine));
  EXPECT_GE(std::chrono::duration<double>(took).count(), lastStepSeconds);
  std::istringstream expected(frames);
  std::istringstream actual(Read("realtime.out"));
  EXPECT_EQ(replay::CompareReplays(expected, actual, 0.05), std::nullopt)
      << "virtual:\n"
      << Read("virtual.out") << "real time:\n"
      << Read("realtime.out");
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
  EXPECT_NE(Read("refused.err").find("--describe takes no SESSION"), std::string::npos)
      << Read("refused.err");
}

}  // namespace
