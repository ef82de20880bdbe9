// The module as the host sees it: its descriptor record, the plugin holder and load/unload.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "DynamicLibrary.h"
#include "HostClock.h"
#include "LoadedPlugin.h"
#include "PerformanceCounter.h"
#include "PluginSession.h"
#include "VariableTable.h"

namespace {

using BakkesMod::Plugin::BakkesModPlugin;
using BakkesMod::Plugin::PluginHolder;
using ::testing::HasSubstr;
using testing_support::PluginPath;

template <typename T>
T FieldAt(const void* record, std::size_t offset) {
  T value;
  std::memcpy(&value, static_cast<const unsigned char*>(record) + offset, sizeof value);
  return value;
}

TEST(DescriptorRecord, HoldsEveryFieldAtItsOffset) {
  const host::DynamicLibrary library(PluginPath());
  const void* record = library.Symbol("exports");
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(FieldAt<std::int32_t>(record, 0), 95);
  EXPECT_EQ(FieldAt<std::int32_t>(record, 4), 0);
  const std::string source = FieldAt<const char*>(record, 8);
  EXPECT_TRUE(source.ends_with("QuillonPlugin.cpp")) << source;
  EXPECT_STREQ(FieldAt<const char*>(record, 16), "QuillonPlugin");
  EXPECT_STREQ(FieldAt<const char*>(record, 24), "Quillon Plugin");
  EXPECT_STREQ(FieldAt<const char*>(record, 32), "1.1.0.1");
  EXPECT_EQ(FieldAt<std::uint64_t>(record, 40), 1u);
  EXPECT_EQ(FieldAt<void*>(record, 48), library.Symbol("getPlugin"));
  EXPECT_EQ(FieldAt<void*>(record, 56), library.Symbol("deleteMe"));
}

// The holder's functions, used directly on a loaded library as a host would.
class PluginHolderTest : public ::testing::Test {
 protected:
  pluginsdk::Host host;
  host::DynamicLibrary library{PluginPath()};
  const BakkesMod::Plugin::PluginDescriptor& record = host::ReadDescriptor(library, PluginPath());
};

TEST_F(PluginHolderTest, GetPluginTwiceGivesTheSameObject) {
  PluginHolder* first = record.create();
  const BakkesModPlugin* object = first->get();
  PluginHolder* second = record.create();
  EXPECT_EQ(first, second);
  EXPECT_EQ(second->get(), object);
  EXPECT_EQ(first->use_count(), 1);
  record.destroy();
  EXPECT_FALSE(*first);
}

TEST_F(PluginHolderTest, DeleteMeOnAnEmptyHolderDoesNothing) {
  record.destroy();
  record.destroy();
  EXPECT_FALSE(*record.create() == nullptr);
  record.destroy();
}

TEST_F(PluginHolderTest, DeleteMeThenGetPluginMakesAClearedObject) {
  auto& first = static_cast<QuillonPlugin&>(**record.create());
  first.cvarManager = std::make_shared<CVarManagerWrapper>(nullptr);
  first.colorPhase = 7;
  record.destroy();
  const auto& fresh = static_cast<const QuillonPlugin&>(**record.create());
  EXPECT_EQ(fresh.cvarManager, nullptr);
  EXPECT_EQ(fresh.gameWrapper, nullptr);
  EXPECT_EQ(fresh.enabled, nullptr);
  EXPECT_EQ(fresh.rgbSpeed, nullptr);
  EXPECT_EQ(fresh.record.resetCount, 0);
  EXPECT_TRUE(fresh.record.intervalStopwatch.stamps.empty());
  EXPECT_FALSE(fresh.overlayRegistered || fresh.awaitingDodge || fresh.ballExploded ||
               fresh.chainEnded || fresh.practiceActive);
  EXPECT_EQ(fresh.colorPhase, 0);
  record.destroy();
}

TEST_F(PluginHolderTest, ACopyKeptByTheHostOutlivesDeleteMe) {
  PluginHolder kept = *record.create();
  std::weak_ptr<BakkesModPlugin> watch = kept;
  record.destroy();
  EXPECT_FALSE(*record.create() == kept) << "a new object is made after deleteMe";
  EXPECT_FALSE(watch.expired());
  kept.reset();
  EXPECT_TRUE(watch.expired());
  record.destroy();
}

// A program that only inspects the module may make and delete the plugin with no host running;
// the stopwatch reads the performance counter as the plugin goes, and that counter never fails.
TEST(Loader, MakesAndDeletesThePluginWithNoHostRunning) {
  const host::DynamicLibrary library(PluginPath());
  const auto& record = host::ReadDescriptor(library, PluginPath());
  PluginHolder* holder = record.create();
  ASSERT_TRUE(*holder);
  record.destroy();
  EXPECT_FALSE(*holder);

  LARGE_INTEGER first;
  LARGE_INTEGER second;
  QueryPerformanceCounter(&first);
  const std::int64_t platform = pluginsdk::PlatformTicks();
  QueryPerformanceCounter(&second);
  EXPECT_LE(first.QuadPart, platform);
  EXPECT_GE(second.QuadPart, platform);
}

TEST(Loader, LoadsAndUnloadsTwoHundredTimes) {
  pluginsdk::Host host;
  for (int cycle = 0; cycle < 200; ++cycle) {
    host::LoadedPlugin plugin(host, PluginPath());
    ASSERT_EQ(host.HookCount(), 10u);
    ASSERT_EQ(host.Variables().size(), std::size(quillon::cvar::kVariables));
    host.FireEvent("Function TAGame.GameEvent_TA.Init");
    ASSERT_EQ(host.DrawableCount(), 1u);
  }
  EXPECT_EQ(host.HookCount(), 0u);
  EXPECT_EQ(host.DrawableCount(), 0u);
  EXPECT_EQ(host.PendingTimeouts(), 0u);
  EXPECT_TRUE(host.Variables().empty());
}

TEST(Loader, OffersTheSettingsPage) {
  pluginsdk::Host host;
  host::LoadedPlugin plugin(host, PluginPath());
  ASSERT_NE(plugin.SettingsWindow(), nullptr);
  EXPECT_EQ(plugin.SettingsWindow()->GetSettingsTitle(), "Quillon Plugin 1.1");
}

struct BadModule {
  const char* name;
  const char* file;
  const char* why;
};

class RefusedModule : public ::testing::TestWithParam<BadModule> {};

TEST_P(RefusedModule, IsRefusedWithAClearMessageAndTheHostGoesOn) {
  pluginsdk::Host host;
  try {
    host::LoadedPlugin plugin(host, GetParam().file);
    FAIL() << "the module was accepted";
  } catch (const std::runtime_error& error) {
    const std::string message = error.what();
    EXPECT_TRUE(message.starts_with(GetParam().file)) << message;
    EXPECT_THAT(message, HasSubstr(GetParam().why));
  }
  EXPECT_EQ(host.HookCount(), 0u);
  host::LoadedPlugin good(host, PluginPath());
  EXPECT_EQ(host.HookCount(), 10u);
}

INSTANTIATE_TEST_SUITE_P(
    Modules, RefusedModule,
    ::testing::Values(BadModule{"NoRecord", BAD_MODULE_NO_RECORD, "no descriptor record"},
                      BadModule{"WrongBuild", BAD_MODULE_WRONG_BUILD, "built for API build 94"},
                      BadModule{"NoClassName", BAD_MODULE_NO_NAME, "class name is missing"},
                      BadModule{"Missing", "/nonexistent/module.so", "cannot load the library"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
