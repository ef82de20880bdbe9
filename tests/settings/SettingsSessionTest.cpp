// The settings steps of session scripts: `settings` prints the page, `click` uses it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "PluginSession.h"
#include "Practice.h"
#include "SessionRunner.h"
#include "SessionScript.h"
#include "SettingsWindow.h"
#include "TempFolder.h"
#include "stb_image.h"

namespace {

using ::testing::HasSubstr;

// The page's text for the variables after "RGB Cycle Speed", at their defaults, as `settings`
// prints it; and their labels as a missing widget's message lists them.
const std::string kLaterLines = [] {
  std::string text;
  for (const auto& line : testing_support::kLaterSettings) text += "  " + line + "\n";
  return text;
}();
const std::string kLaterLabels = [] {
  std::string text;
  for (const auto& variable : testing_support::LaterVariables()) {
    text += "\"" + std::string(variable.label) + "\", ";
  }
  return text;
}();

class SettingsSessionTest : public ::testing::Test {
 protected:
  // Parses and replays the script; returns what the host printed.
  // Replays the script, its pictures in `pictures`; returns what it printed.
  std::string Replay(const std::string& script, const std::filesystem::path& pictures = {}) {
    const auto steps =
        host::ParseSession(script, "test.session", host::RegistryCheck(session.Host()));
    std::ostringstream out;
    host::SessionRunner runner(session.Host(), session.Loaded(), out, {.pictures = pictures});
    runner.Run(steps, "test.session");
    return out.str();
  }

  testing_support::PluginSession session;
};

TEST_F(SettingsSessionTest, SettingsPrintsThePageTextIndentedUnderItsTime) {
  EXPECT_EQ(Replay("1.5 settings\n"),
            "1.500 settings\n"
            "  This plugin is made for counting chained and unchained resets in freeplay/custom "
            "training\n"
            "  [ ] Enable Quillon Plugin\n"
            "  { 0 } Quillon Position X\n"
            "  { 0 } Quillon Position Y\n"
            "  { 2.000 } Text Size\n"
            "  [x] Enable Drop Shadows\n"
            "  [ ] Enable Height Decimal\n"
            "  [x] Use Same Color For All Text\n"
            "  Text Color\n"
            "  [colour 255 255 0 255]\n"
            "  [ ] Enable Gamer Mode\n"
            "  { 1.000 } RGB Cycle Speed\n" +
                kLaterLines +
                "  --------------------------------\n"
                "  Session statistics\n"
                "  Chains: 0\n"
                "  Resets: 0\n"
                "  Best chain: 0\n"
                "  Highest reset: -\n"
                "  Average time between resets: -\n"
                "  All-time best chain: 0\n"
                "  Resets per chain (last 50)\n"
                "  [histogram: -]\n"
                "  Days practised: 0\n"
                "  Best chain per day\n"
                "  [lines: -]\n"
                "  [ Clear statistics ]\n");
}

TEST_F(SettingsSessionTest, AClickTakesEffectOnceTheStepsDeferredWorkHasRun) {
  const std::string out = Replay(
      "0 show quillon_enabled\n"
      "1 click \"Enable Quillon Plugin\"\n"
      "1 show quillon_enabled\n"
      "2 click \"Use Same Color For All Text\"\n"
      "2 settings\n");
  EXPECT_THAT(out, HasSubstr("0.000 quillon_enabled = 0\n1.000 quillon_enabled = 1\n"));
  EXPECT_THAT(out, HasSubstr("  [x] Enable Quillon Plugin\n"));
  EXPECT_THAT(out, HasSubstr("  [ ] Use Same Color For All Text\n  Reset Label Color\n"));
}

TEST_F(SettingsSessionTest, SettingsWithAColourPickerOpenStillPrintsTheWholePage) {
  const std::string out = Replay(
      "0 click \"Text Color\"\n"
      "0 settings\n");
  EXPECT_THAT(out, HasSubstr("  Text Color\n  [colour 255 255 0 255]\n  [ ] Enable Gamer Mode\n"
                             "  { 1.000 } RGB Cycle Speed\n"));
}

TEST_F(SettingsSessionTest, WhileAColourPickerIsOpenAClickOutsideItOnlyClosesItAndSaysSo) {
  EXPECT_EQ(Replay("0 click \"Text Color\"\n"
                   "1 click \"Enable Quillon Plugin\"\n"
                   "1 show quillon_enabled\n"
                   "2 click \"Enable Quillon Plugin\"\n"
                   "2 show quillon_enabled\n"),
            "1.000 click 'Enable Quillon Plugin' only closed the colour picker that was open; "
            "click again to use the widget\n"
            "1.000 quillon_enabled = 0\n2.000 quillon_enabled = 1\n");
}

struct MissingWidget {
  const char* name;
  const char* script;
  std::string message;
};

// What the message lists: the labels on the page when the click came, in the page's order.
const std::string kSameColorLabels =
    "; it has \"Enable Quillon Plugin\", \"Quillon Position X\", \"Quillon Position Y\", "
    "\"Text Size\", \"Enable Drop Shadows\", \"Enable Height Decimal\", "
    "\"Use Same Color For All Text\", \"Text Color\", \"Enable Gamer Mode\", "
    "\"RGB Cycle Speed\", " +
    kLaterLabels + "\"Clear statistics\"";
const std::string kPerTextColorLabels =
    "; it has \"Enable Quillon Plugin\", \"Quillon Position X\", \"Quillon Position Y\", "
    "\"Text Size\", \"Enable Drop Shadows\", \"Enable Height Decimal\", "
    "\"Use Same Color For All Text\", \"Reset Label Color\", \"Reset Number Color\", "
    "\"Height Label Color\", \"Height Number Color\", \"Timer Label Color\", "
    "\"Timer Number Color\", \"Enable Gamer Mode\", \"RGB Cycle Speed\", " +
    kLaterLabels + "\"Clear statistics\"";

class MissingWidgetTest : public SettingsSessionTest,
                          public ::testing::WithParamInterface<MissingWidget> {};

TEST_P(MissingWidgetTest, ClickOnALabelThePageDoesNotShowIsAnErrorNamingTheLineAndTheLabels) {
  try {
    Replay(GetParam().script);
    FAIL() << "the click was accepted";
  } catch (const std::runtime_error& error) {
    EXPECT_EQ(error.what(), GetParam().message);
  }
  EXPECT_EQ(session.Host().PendingDeferred(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Labels, MissingWidgetTest,
    ::testing::Values(
        MissingWidget{"Unknown", "0 settings\n1 click \"Enable Everything\"\n",
                      "test.session:2: no widget 'Enable Everything' on the settings page" +
                          kSameColorLabels},
        MissingWidget{"WrongCase", "0 click \"enable quillon plugin\"\n",
                      "test.session:1: no widget 'enable quillon plugin' on the settings page" +
                          kSameColorLabels + "; did you mean 'Enable Quillon Plugin'?"},
        MissingWidget{
            "ColorOfTheOtherMode", "0 set quillon_samecolorenabled 0\n0 click \"Text Color\"\n",
            "test.session:2: no widget 'Text Color' on the settings page" + kPerTextColorLabels},
        MissingWidget{"DescriptionText",
                      "0 click \"This plugin is made for counting chained and unchained resets in "
                      "freeplay/custom training\"\n",
                      "test.session:1: no widget 'This plugin is made for counting chained and "
                      "unchained reset'... (89 bytes) on the settings page" +
                          kSameColorLabels}),
    [](const auto& info) { return info.param.name; });

TEST(SettingsScript, ParsesSettingsWithAnOptionalImageAndClickWithAQuotedLabel) {
  const auto steps = host::ParseSession(
      "0 settings\n1 settings page.png\n2 click \"Text Size\"\n", "s",
      [](std::string_view, std::optional<std::string_view>) { return std::nullopt; });
  ASSERT_EQ(steps.size(), 3u);
  EXPECT_EQ(std::get<host::ShowSettings>(steps[0].action).image, nullptr);
  EXPECT_EQ(*std::get<host::ShowSettings>(steps[1].action).image, "page.png");
  EXPECT_EQ(*std::get<host::ClickWidget>(steps[2].action).label, "Text Size");
}

TEST_F(SettingsSessionTest, SettingsWithAFileWritesTheWindowAsAPng) {
  testing_support::TempFolder folder;
  const auto file = folder.Path() / "pages" / "settings.png";
  Replay("0 settings pages/settings.png\n", folder.Path());
  int width = 0;
  int height = 0;
  int channels = 0;
  ASSERT_EQ(stbi_info(file.string().c_str(), &width, &height, &channels), 1);
  EXPECT_EQ(width, static_cast<int>(host::SettingsWindow::kWidth));
  EXPECT_EQ(height, static_cast<int>(host::SettingsWindow::kHeight));
}

TEST_F(SettingsSessionTest, ASettingsPictureThatCannotBeWrittenIsAFaultNamingLineAndReason) {
  testing_support::TempFolder folder;
  std::ofstream(folder.Path() / "blocker") << "a file where a folder should be";
  const std::string file = (folder.Path() / "blocker" / "settings.png").string();
  try {
    Replay("0 settings\n1 settings blocker/settings.png\n", folder.Path());
    FAIL() << "no error";
  } catch (const host::ScriptError& error) {
    EXPECT_EQ(std::string(error.what()),
              "test.session:2: cannot write '" + file + "': Not a directory");
  }
}

}  // namespace
