// The adapter that builds the plugin against the host's own SDK headers (source/sdk/real/), here
// against a stand-in of those headers (stand-in/): the host's calls reach the plugin's operations,
// and the host reads the plugin's descriptor record through its own record type.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "BakkesModPlugin.h"
#include "PluginDescriptor.h"
#include "PluginSettingsWindow.h"
#include "SettingsWindowHost.h"

namespace {

using realsdk::HostCall;

// Shaped as the plugin is: both bases, the three operations under the plugin's names.
class Page : public BakkesMod::Plugin::BakkesModPlugin,
             public BakkesMod::Plugin::PluginSettingsWindow {
 public:
  void DrawSettingsPage() override { calls.push_back("DrawSettingsPage"); }
  std::string GetSettingsTitle() override {
    calls.push_back("GetSettingsTitle");
    return "Page 1.0";
  }
  void AttachGuiContext(std::uintptr_t context) override {
    calls.push_back("AttachGuiContext " + std::to_string(context));
  }

  std::vector<std::string> calls;
};

TEST(RealSdkAdapter, EachHostCallReachesThePluginsOperationOfTheSameSlot) {
  struct Case {
    HostCall call;
    std::string pluginCall;
    std::string answer;
  };
  const Case cases[] = {
      {HostCall::kSetImGuiContext, "AttachGuiContext 48879", ""},
      {HostCall::kRenderSettings, "DrawSettingsPage", ""},
      {HostCall::kGetPluginName, "GetSettingsTitle", "Page 1.0"},
  };
  for (const auto& c : cases) {
    Page page;
    EXPECT_EQ(realsdk::CallSettingsWindow(page, c.call, 0xBEEF), c.answer) << c.pluginCall;
    EXPECT_EQ(page.calls, std::vector<std::string>{c.pluginCall});
  }
}

BakkesMod::Plugin::PluginHolder holder;
BakkesMod::Plugin::PluginHolder* Create() {
  return &holder;
}
void Destroy() {}

TEST(RealSdkAdapter, TheHostReadsEveryFieldOfTheRecordThroughItsOwnType) {
  const BakkesMod::Plugin::PluginDescriptor record{
      BakkesMod::Plugin::kApiBuildVersion,
      0,
      "source\\Page.cpp",
      "Page",
      "A Page",
      "1.0.0.1",
      1,
      &Create,
      &Destroy,
  };
  const auto read = std::bit_cast<BakkesMod::Plugin::PluginInfo>(record);
  EXPECT_EQ(read.apiBuildVersion, 95);
  EXPECT_EQ(read.fileName, record.sourceFile);
  EXPECT_EQ(read.className, record.className);
  EXPECT_EQ(read.pluginName, record.displayName);
  EXPECT_EQ(read.pluginVersion, record.version);
  EXPECT_EQ(read.pluginType, 1u);
  EXPECT_EQ(std::bit_cast<std::uintptr_t>(read.initializeFunc),
            std::bit_cast<std::uintptr_t>(&Create));
  EXPECT_EQ(std::bit_cast<std::uintptr_t>(read.delFunc), std::bit_cast<std::uintptr_t>(&Destroy));
}

}  // namespace
