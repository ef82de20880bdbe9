// Loading, playing and unloading the module many times in one process, letting it go at awkward
// moments, must leave nothing behind: nothing of the plugin in the host, no memory in the process.
#include <gtest/gtest.h>

#include <malloc.h>

#include <functional>

#include "PluginSession.h"
#include "SettingsWindow.h"

namespace {

using pluginsdk::GameMode;

constexpr int kCycles = 1000;

// Plays a little and stops at one of several awkward moments, chosen by the cycle number.
void PlayUntilAwkwardMoment(testing_support::PluginSession& session, int cycle) {
  session.Mode(GameMode::Freeplay);
  session.Fire("init");
  if (cycle % 6 == 0) return;  // the practice check is still pending
  session.At(3.0);
  session.Set("quillon_enabled", "1");
  session.Fire("jump");
  session.Car(300.0f);
  session.Fire("landed");  // the stopwatch runs
  session.Frame();
  if (cycle % 6 == 1) return;
  session.Fire("pause");  // paused
  if (cycle % 6 == 2) return;
  session.Fire("unpause");
  session.Fire("explode");  // ball exploded
  if (cycle % 6 == 3) return;
  session.Fire("destroyed");  // drawable gone, values kept
  if (cycle % 6 == 4) return;
  // A settings change still waiting in the host's queue of deferred writes.
  host::SettingsWindow window(*session.Loaded().SettingsWindow());
  ASSERT_TRUE(window.Click("Enable Height Decimal"));
  ASSERT_EQ(session.Host().PendingDeferred(), 1u);
}

std::size_t LiveHeapBytes() {
  return mallinfo2().uordblks;
}

TEST(LifecycleSoak, AThousandLoadPlayUnloadCyclesLeaveNothingBehind) {
  [[maybe_unused]] std::size_t heapAfterWarmUp = 0;  // unread in the sanitizer build
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    {
      testing_support::PluginSession session;
      PlayUntilAwkwardMoment(session, cycle);
      const auto& host = session.Host();
      ASSERT_EQ(host.HookCount(), 10u);
      session.Unload();
      ASSERT_EQ(host.HookCount(), 0u);
      ASSERT_EQ(host.DrawableCount(), 0u);
      ASSERT_EQ(host.PendingTimeouts(), 0u);
      ASSERT_EQ(host.PendingDeferred(), 0u);
      ASSERT_FALSE(host.HasCommand("quillon_clear_stats"));
      ASSERT_TRUE(host.Variables().empty());
    }
    if (cycle == 99) heapAfterWarmUp = LiveHeapBytes();
  }
#if !defined(__SANITIZE_ADDRESS__)
  // The sanitizer build has its own allocator (and reports leaks itself); here the heap in use
  // must be as it was after the first hundred cycles, give or take allocator slack.
  EXPECT_LT(LiveHeapBytes(), heapAfterWarmUp + 64 * 1024);
#endif
}

}  // namespace
