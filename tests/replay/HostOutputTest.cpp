// What the host prints and records as it runs: each line whole, under the one lock console lines
// from any thread go out under; a write a signal interrupts goes on; a step recorded at the time
// it was planned for, so a real-time run shows what a virtual one shows however late steps ran,
// and its recording replays with every expectation met.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <future>
#include <sstream>
#include <thread>

#include "PluginSession.h"
#include "SessionRecorder.h"
#include "SessionRunner.h"
#include "StopOnSignals.h"
#include "TempFolder.h"

namespace {

using ::testing::HasSubstr;

// Notes each write that does not end a line, or that another thread (as the plugin's writer
// thread) could have slipped between because the host's output lock was free.
struct LockCheckingBuffer : std::streambuf {
  explicit LockCheckingBuffer(std::mutex& lock) : lock(lock) {}
  std::streamsize xsputn(const char* data, std::streamsize size) override {
    const bool free = std::async(std::launch::async, [this] {
                        return std::unique_lock(lock, std::try_to_lock).owns_lock();
                      }).get();
    const std::string written(data, static_cast<std::size_t>(size));
    if (free || !written.ends_with('\n')) faults += "[" + written + "]";
    text += written;
    return size;
  }
  std::mutex& lock;
  std::string text, faults;
};

TEST(HostOutput, EveryLineIsWrittenWholeUnderTheLockConsoleLinesGoOutUnder) {
  testing_support::PluginSession session;
  auto& host = session.Host();
  LockCheckingBuffer buffer(host.OutputLock());
  std::ostream out(&buffer);
  host.SetConsoleOutput(
      [&](std::string_view line) { out << "console: " + std::string(line) + '\n'; });
  host::SessionRunner runner(host, session.Loaded(), out, {.trace = true, .errors = &out});
  runner.Run(host::ParseSession("0 mode freeplay\n0 event init\n3 frame\n3 show quillon_posx\n"
                                "3 settings\n3 expect \"Resets: 1\"\n",
                                "lines.session", host::RegistryCheck(host)),
             "lines.session");
  std::thread([&host] { host.Log("from another thread"); }).join();
  host::ReportEnd(host, out, runner.Checked(), runner.Hint());
  host.SetConsoleOutput(nullptr);
  EXPECT_EQ(buffer.faults, "");
  EXPECT_TRUE(buffer.text.ends_with("\n1 of 1 expectations failed\n")) << buffer.text;
  EXPECT_THAT(buffer.text, HasSubstr("3.000 settings\n"));
  EXPECT_THAT(buffer.text, HasSubstr("console: from another thread\n"));
}

TEST(HostOutput, AWriteASignalInterruptsGoesOn) {
  const host::StopOnSignals stop;
  for (const int signal : {SIGINT, SIGTERM}) {
    struct sigaction installed {};
    ::sigaction(signal, nullptr, &installed);
    EXPECT_NE(installed.sa_flags & SA_RESTART, 0) << signal;
  }
}

// A command that keeps the host busy, as a loaded machine does, so the steps after it run late.
void AddBusyCommand(pluginsdk::Host& host, int milliseconds) {
  host.RegisterCommand(
      pluginsdk::kHostCommands, "busy",
      [milliseconds](auto) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
      },
      "");
}

TEST(HostOutput, RealTimeStepsRunAtTheirPlannedTimeHoweverLateAndTheRecordingReplays) {
  const testing_support::TempFolder folder;
  const auto file = folder.Path() / "realtime.session";
  std::ostringstream shown;
  {
    testing_support::PluginSession session;
    auto& host = session.Host();
    AddBusyCommand(host, 60);
    const auto parse = [&](const char* script) {
      return host::ParseSession(script, "play.session", host::RegistryCheck(host),
                                host::KnownCommands(host));
    };
    host::SessionRecorder recorder(file, {"the real-time test"}, std::cerr);
    host::SessionRunner runner(host, session.Loaded(), shown,
                               {.realTime = true, .recorder = &recorder});
    // Past the practice check in virtual time, then resets planned 0.02 s apart in real time.
    for (const auto& step : parse("0 mode freeplay\n0 set quillon_enabled 1\n0 event init\n"
                                  "3.05 ball 0 0 93.15\n3.05 event ballground\n3.05 event jump\n"))
      runner.RunStep(step, "play.session");
    ASSERT_TRUE(runner.Run(parse("3.10 ball 0 0 600\n3.10 car 0 0 300\n3.10 event landed\n"
                                 "3.10 command busy\n3.11 event dodge\n3.12 event landed\n"
                                 "3.12 frame\n"),
                           "play.session"));
  }
  // The steps after the busy one ran 60 ms late, yet at the times the script planned.
  EXPECT_EQ(shown.str(), "3.120 Resets: 2 | Height: 27 | Time: 0.02\n");
  testing_support::PluginSession replay;
  AddBusyCommand(replay.Host(), 0);
  std::ostringstream printed, failures;
  host::SessionRunner runner(replay.Host(), replay.Loaded(), printed, {.errors = &failures});
  runner.Run(host::LoadSession(file, host::RegistryCheck(replay.Host()),
                               host::KnownCommands(replay.Host())),
             file.string());
  EXPECT_EQ(failures.str(), "");
  EXPECT_EQ(runner.Checked().checked, 1);
  EXPECT_EQ(printed.str(), shown.str());
}

}  // namespace
