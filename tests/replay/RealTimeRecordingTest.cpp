// A session recorded in real time replays with every expectation met, however late its steps
// ran: each is written at the time it ran, which is the time the plugin read.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "PluginSession.h"
#include "SessionRecorder.h"
#include "SessionRunner.h"
#include "SessionScript.h"
#include "TempFolder.h"

namespace {

// A console command that keeps the host busy for a while, as a loaded machine does: the steps
// after it run late. A replay knows it too, and there it takes no time.
void AddBusyCommand(pluginsdk::Host& host, std::chrono::milliseconds busy) {
  host.RegisterCommand(
      pluginsdk::kHostCommands, "busy",
      [busy](std::vector<std::string>) { std::this_thread::sleep_for(busy); }, "");
}

TEST(RealTimeRecording, ReplaysWithEveryExpectationMetHoweverLateItsStepsRan) {
  const testing_support::TempFolder folder;
  const auto file = folder.Path() / "realtime.session";
  // The practice check 3 s after init is passed in virtual time; the chain then plays in real
  // time, the second reset planned 0.02 s after the first but run after the busy step.
  const std::string setup =
      "0 mode freeplay\n0 set quillon_enabled 1\n0 event init\n"
      "3.05 ball 0 0 93.15\n3.05 event ballground\n3.05 car 0 0 17\n3.05 event jump\n";
  const std::string played =
      "3.10 ball 0 0 600\n3.10 car 0 0 300\n3.10 event landed\n3.10 command busy\n"
      "3.11 event dodge\n3.12 ball 0 0 800\n3.12 event landed\n3.12 frame\n";
  std::ostringstream shown;
  {
    testing_support::PluginSession session;
    auto& host = session.Host();
    AddBusyCommand(host, std::chrono::milliseconds(60));
    std::ostringstream errors;
    host::SessionRecorder recorder(file, {"the real-time test"}, errors);
    recorder.RecordSettings(host, 0);
    host::SessionRunner runner(host, session.Loaded(), shown,
                               {.realTime = true, .recorder = &recorder});
    const auto parse = [&](const std::string& script) {
      return host::ParseSession(script, "play.session", host::RegistryCheck(host),
                                host::KnownCommands(host));
    };
    for (const auto& step : parse(setup)) runner.RunStep(step, "play.session");
    ASSERT_TRUE(runner.Run(parse(played), "play.session"));
    EXPECT_EQ(errors.str(), "");
  }
  // The reset ran late: its interval is longer than planned, as a player would see it.
  EXPECT_EQ(shown.str().find("Time: 0.02"), std::string::npos) << shown.str();

  testing_support::PluginSession replay;
  AddBusyCommand(replay.Host(), std::chrono::milliseconds(0));
  std::ostringstream printed, failures;
  host::SessionRunner runner(replay.Host(), replay.Loaded(), printed, {.errors = &failures});
  ASSERT_TRUE(runner.Run(host::LoadSession(file, host::RegistryCheck(replay.Host()),
                                           host::KnownCommands(replay.Host())),
                         file.string()));
  EXPECT_EQ(failures.str(), "");
  EXPECT_EQ(runner.Checked().failed, 0);
  EXPECT_EQ(runner.Checked().checked, 1);
  EXPECT_EQ(printed.str(), shown.str());
}

}  // namespace
