// A session played in the live window with keys and the mouse, recorded, and the recording
// replayed in virtual time: the same frame lines, and every expectation holds.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "LiveWindow.h"
#include "PluginSession.h"
#include "ScriptLine.h"
#include "SessionRecorder.h"
#include "SessionRunner.h"
#include "TempFolder.h"
#include "VirtualDisplay.h"
#include "backends/imgui_impl_glfw.h"

namespace {

using host::GameAction;
using ::testing::HasSubstr;

std::vector<host::Step> Steps(pluginsdk::Host& host, const std::string& script) {
  return host::ParseSession(script, "play.session", host::RegistryCheck(host));
}

// Clicks the settings window's widget as the window's own mouse would: the pointer moved over
// it, the button pressed (held for one frame, as a press shorter than a frame is).
void ClickInWindow(host::SettingsWindow& settings, std::string_view label) {
  const auto rect = settings.Locate(label);
  ASSERT_TRUE(rect.has_value()) << label;
  settings.MakeCurrent();
  GLFWwindow* window = glfwGetCurrentContext();
  ImGui_ImplGlfw_CursorEnterCallback(window, GLFW_TRUE);
  glfwSetCursorPos(window, rect->Center().x, rect->Center().y);
  ImGui_ImplGlfw_MouseButtonCallback(window, GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, 0);
}

TEST(RecordingWindow, KeysAndTheMouseRecordedInTheWindowReplayToTheSameFrames) {
  if (!testing_support::SharedDisplay().Available()) GTEST_SKIP() << "no X server";
  const testing_support::TempFolder folder;
  const auto file = folder.Path() / "live.session";
  std::ostringstream shown;
  {
    testing_support::PluginSession session;
    auto& host = session.Host();
    std::ostringstream errors;
    host::SessionRecorder recorder(file, {"the window test"}, errors);
    recorder.RecordSettings(host, 0);
    host::SessionRunner runner(host, session.Loaded(), shown, {.recorder = &recorder});
    host::LiveWindow window(host, runner, "quillon recording test");
    window.Controls().EnterMode(pluginsdk::GameMode::Freeplay);
    window.Run(Steps(host, "0 set quillon_enabled 1\n3.05 frame\n"), "play.session", true);
    for (int i = 0; i < 13; ++i) window.Play(GameAction::BallUp);
    for (const auto action : {GameAction::Jump, GameAction::LandInAir, GameAction::Dodge}) {
      window.Play(action);
    }
    ClickInWindow(*runner.OpenSettings(), "Enable Height Decimal");
    // The settings window takes the click as it draws, after the frame's overlay, and a busy
    // machine skips frames: play on until the setting has changed, then draw a frame.
    const auto decimal = host.FindVariable("quillon_heightdecimal");
    ASSERT_NE(decimal, nullptr);
    for (int wait = 0; wait < 60 && !decimal->AsBool(); ++wait) {
      const std::int64_t later = host.Clock().Now() + 3'000'000;
      window.Run(Steps(host, host::ExactTime(later) + " show quillon_heightdecimal\n"),
                 "play.session", true);
    }
    window.Run(Steps(host, host::ExactTime(host.Clock().Now()) + " frame\n"), "play.session", true);
    EXPECT_EQ(errors.str(), "");
  }
  std::ifstream in(file);
  std::ostringstream recorded;
  recorded << in.rdbuf();
  EXPECT_THAT(recorded.str(), HasSubstr(" event landed\n"));
  EXPECT_THAT(recorded.str(), HasSubstr(" set quillon_heightdecimal 1\n"));
  EXPECT_THAT(shown.str(), HasSubstr(" Resets: 1 | Height: 65 | "));
  EXPECT_THAT(shown.str(), HasSubstr(" Resets: 1 | Height: 65.00 | "));

  testing_support::PluginSession replay;
  std::ostringstream printed, failures;
  host::SessionRunner runner(replay.Host(), replay.Loaded(), printed, {.errors = &failures});
  ASSERT_TRUE(runner.Run(host::LoadSession(file, host::RegistryCheck(replay.Host()),
                                           host::KnownCommands(replay.Host())),
                         file.string()));
  EXPECT_EQ(printed.str(), shown.str());
  EXPECT_EQ(failures.str(), "");
  EXPECT_EQ(runner.Checked().failed, 0);
  EXPECT_GE(runner.Checked().checked, 4);
}

}  // namespace
