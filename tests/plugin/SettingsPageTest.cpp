// The settings page, drawn by the real module with Dear ImGui inside the host's settings window
// and used with the mouse, as a player uses it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "ConfigVariables.h"
#include "DynamicLibrary.h"
#include "PluginSession.h"
#include "Practice.h"
#include "SameLines.h"
#include "SettingsWindow.h"
#include "SliderFormat.h"
#include "TempFolder.h"
#include "VariableTable.h"
#include "imgui_internal.h"

namespace {

using ::testing::HasSubstr;

namespace cvar = quillon::cvar;

constexpr const char* kDescription =
    "This plugin is made for counting chained and unchained resets in freeplay/custom training";

using testing_support::kFreshStatistics;
using testing_support::kLaterSettings;
using testing_support::SameLines;

// A colour swatch showing the default colour, as the page's text writes it under the label.
constexpr const char* kYellow = "[colour 255 255 0 255]";

// The settings' lines, then the later check boxes and the statistics that follow them.
std::vector<std::string> WithStatistics(std::vector<std::string> settings,
                                        const std::vector<std::string>& later = kLaterSettings) {
  settings.insert(settings.end(), later.begin(), later.end());
  settings.insert(settings.end(), kFreshStatistics.begin(), kFreshStatistics.end());
  return settings;
}

const std::vector<std::string> kPerTextColorLabels{
    "Reset Label Color",   "Reset Number Color", "Height Label Color",
    "Height Number Color", "Timer Label Color",  "Timer Number Color",
};

class SettingsPageTest : public ::testing::Test {
 protected:
  std::string Value(const char* name) { return session.Host().FindVariable(name)->Text(); }
  pluginsdk::ConsoleVariable& Variable(const char* name) {
    return *session.Host().FindVariable(name);
  }
  std::size_t PendingWrites() { return session.Host().PendingDeferred(); }

  // Presses the left button over `at` in one frame and releases it in the next; returns the text
  // of the release frame, in which a check box or swatch reacts.
  std::vector<std::string> PressAndRelease(ImVec2 at) {
    window.MoveMouse(at);
    window.PressMouse();
    window.Draw();
    window.ReleaseMouse();
    return window.Draw();
  }

  testing_support::PluginSession session;
  host::SettingsWindow window{*session.Loaded().SettingsWindow()};
};

// The module draws with a copy of Dear ImGui of its own, on the host's context; if it exported
// that copy, the host's calls could bind to the module's code and state, or the other way round.
TEST(ModuleGuiLibrary, StaysPrivateToTheModule) {
  const host::DynamicLibrary module(testing_support::PluginPath());
  EXPECT_EQ(module.Symbol("_ZN5ImGui17SetCurrentContextEP12ImGuiContext"), nullptr);
  EXPECT_EQ(module.Symbol("GImGui"), nullptr);
}

// --- What the page shows ----------------------------------------------------------------------

struct PageLayout {
  const char* name;
  const char* sameColor;
  std::vector<std::string> text;
  std::vector<std::string> widgets;
  std::vector<std::string> absent;
};

class PageLayoutTest : public SettingsPageTest, public ::testing::WithParamInterface<PageLayout> {};

TEST_P(PageLayoutTest, ShowsTheDescriptionAndEachWidgetInOrder) {
  session.Set(cvar::kSameColorEnabled, GetParam().sameColor);
  EXPECT_PRED_FORMAT2(SameLines, window.Draw(), WithStatistics(GetParam().text));
  for (const auto& label : GetParam().widgets) {
    EXPECT_TRUE(window.Locate(label).has_value()) << "no widget " << label;
  }
  for (const auto& variable : testing_support::LaterVariables()) {
    EXPECT_TRUE(window.Locate(variable.label).has_value()) << "no widget " << variable.label;
  }
  for (const auto& label : GetParam().absent) {
    EXPECT_FALSE(window.Locate(label).has_value()) << "unexpected widget " << label;
  }
  EXPECT_EQ(PendingWrites(), 0u) << "drawing alone writes nothing";
}

INSTANTIATE_TEST_SUITE_P(
    BothColorModes, PageLayoutTest,
    ::testing::Values(
        PageLayout{
            "OneColorForAllText",
            "1",
            {kDescription, "[ ] Enable Quillon Plugin", "{ 0 } Quillon Position X",
             "{ 0 } Quillon Position Y", "{ 2.000 } Text Size", "[x] Enable Drop Shadows",
             "[ ] Enable Height Decimal", "[x] Use Same Color For All Text", "Text Color", kYellow,
             "[ ] Enable Gamer Mode", "{ 1.000 } RGB Cycle Speed"},
            {"Enable Quillon Plugin", "Quillon Position X", "Quillon Position Y", "Text Size",
             "Enable Drop Shadows", "Enable Height Decimal", "Use Same Color For All Text",
             "Text Color", "Enable Gamer Mode", "RGB Cycle Speed"},
            kPerTextColorLabels},
        PageLayout{
            "AColorForEachText",
            "0",
            {kDescription,
             "[ ] Enable Quillon Plugin",
             "{ 0 } Quillon Position X",
             "{ 0 } Quillon Position Y",
             "{ 2.000 } Text Size",
             "[x] Enable Drop Shadows",
             "[ ] Enable Height Decimal",
             "[ ] Use Same Color For All Text",
             "Reset Label Color",
             kYellow,
             "Reset Number Color",
             kYellow,
             "Height Label Color",
             kYellow,
             "Height Number Color",
             kYellow,
             "Timer Label Color",
             kYellow,
             "Timer Number Color",
             kYellow,
             "[ ] Enable Gamer Mode",
             "{ 1.000 } RGB Cycle Speed"},
            {"Enable Quillon Plugin", "Quillon Position X", "Quillon Position Y", "Text Size",
             "Enable Drop Shadows", "Enable Height Decimal", "Use Same Color For All Text",
             "Reset Label Color", "Reset Number Color", "Height Label Color", "Height Number Color",
             "Timer Label Color", "Timer Number Color", "Enable Gamer Mode", "RGB Cycle Speed"},
            {"Text Color"}}),
    [](const auto& info) { return info.param.name; });

TEST_F(SettingsPageTest, EveryWidgetShowsItsVariableAsTheRegistryHoldsIt) {
  session.Set(cvar::kEnabled, "1");
  session.Set(cvar::kPositionX, "120");
  session.Set(cvar::kPositionY, "9999");
  session.Set(cvar::kTextSize, "3.25");
  session.Set(cvar::kDropShadows, "0");
  session.Set(cvar::kHeightDecimal, "1");
  session.Set(cvar::kRgbEnabled, "1");
  session.Set(cvar::kRgbSpeed, "0.5");
  session.Set(cvar::kKeepOnScreen, "1");
  session.Set(cvar::kAnnounceBest, "0");
  EXPECT_EQ(window.Draw(),
            WithStatistics(
                {kDescription, "[x] Enable Quillon Plugin", "{ 120 } Quillon Position X",
                 "{ 9999 } Quillon Position Y", "{ 3.250 } Text Size", "[ ] Enable Drop Shadows",
                 "[x] Enable Height Decimal", "[x] Use Same Color For All Text", "Text Color",
                 kYellow, "[x] Enable Gamer Mode", "{ 0.500 } RGB Cycle Speed"},
                testing_support::LaterSettings([&](const char* name) { return Value(name); })));
}

TEST_F(SettingsPageTest, TheWholePageFitsInTheWindow) {
  session.Set(cvar::kSameColorEnabled, "0");
  const auto last = window.Locate("Clear statistics");
  ASSERT_TRUE(last.has_value());
  EXPECT_LE(last->max.y, host::SettingsWindow::kHeight);
  EXPECT_FALSE(window.PageWindow()->ScrollbarY) << "nothing is hidden below the window's edge";
}

TEST_F(SettingsPageTest, TheTextIsTheWholePageInAWindowThatShowsPartOfIt) {
  const auto whole = window.Draw();
  host::SettingsWindow small{*session.Loaded().SettingsWindow()};
  small.Resize({360.0f, 200.0f});
  EXPECT_PRED_FORMAT2(SameLines, small.Draw(), whole) << "at first sight";
  EXPECT_PRED_FORMAT2(SameLines, small.Draw(), whole) << "with the scroll bar";
}

TEST_F(SettingsPageTest, AVariableTheRegistryDoesNotKnowHasNoWidgetAndTheRestStay) {
  ASSERT_TRUE(session.Host().RemoveVariable(cvar::kTextSize));
  EXPECT_PRED_FORMAT2(
      SameLines, window.Draw(),
      WithStatistics({kDescription, "[ ] Enable Quillon Plugin", "{ 0 } Quillon Position X",
                      "{ 0 } Quillon Position Y", "[x] Enable Drop Shadows",
                      "[ ] Enable Height Decimal", "[x] Use Same Color For All Text", "Text Color",
                      kYellow, "[ ] Enable Gamer Mode", "{ 1.000 } RGB Cycle Speed"}));
  EXPECT_FALSE(window.Locate("Text Size").has_value());
  for (const char* label : {"Quillon Position Y", "Enable Drop Shadows", "Text Color"}) {
    EXPECT_TRUE(window.Locate(label).has_value()) << label;
  }
}

// --- Check boxes ---------------------------------------------------------------------------------

struct CheckBox {
  const char* label;
  const char* variable;
};

class CheckBoxTest : public SettingsPageTest, public ::testing::WithParamInterface<CheckBox> {};

TEST_P(CheckBoxTest, UntickingStoresZeroAndTickingStoresOneOnlyOnceTheHostRunsTheWrite) {
  const auto [label, variable] = GetParam();
  session.Set(variable, "1");
  const auto box = window.Locate(label);
  ASSERT_TRUE(box.has_value());

  PressAndRelease(box->Center());
  EXPECT_EQ(Value(variable), "1") << "the page itself writes nothing";
  ASSERT_EQ(PendingWrites(), 1u);
  session.Host().RunDeferred();
  EXPECT_EQ(Value(variable), "0");

  PressAndRelease(box->Center());
  EXPECT_EQ(Value(variable), "0");
  ASSERT_EQ(PendingWrites(), 1u);
  session.Host().RunDeferred();
  EXPECT_EQ(Value(variable), "1");
}

INSTANTIATE_TEST_SUITE_P(
    EveryCheckBox, CheckBoxTest,
    ::testing::Values(CheckBox{"Enable Quillon Plugin", cvar::kEnabled},
                      CheckBox{"Enable Drop Shadows", cvar::kDropShadows},
                      CheckBox{"Enable Height Decimal", cvar::kHeightDecimal},
                      CheckBox{"Use Same Color For All Text", cvar::kSameColorEnabled},
                      CheckBox{"Enable Gamer Mode", cvar::kRgbEnabled},
                      CheckBox{"Keep Overlay On Screen", cvar::kKeepOnScreen},
                      CheckBox{"Announce A New Best Chain", cvar::kAnnounceBest},
                      CheckBox{"Record Practice Sessions", cvar::kRecordSessions}),
    [](const auto& info) {
      std::string name = info.param.variable;
      return name.substr(name.find('_') + 1);
    });

TEST_F(SettingsPageTest, TickingSameColorShowsTheOtherEditorsOnlyAfterTheWriteHasRun) {
  session.Set(cvar::kSameColorEnabled, "0");
  const auto box = window.Locate("Use Same Color For All Text");
  ASSERT_TRUE(box.has_value());

  const auto sameDraw = PressAndRelease(box->Center());
  std::vector<std::string> expected{"[x] Use Same Color For All Text"};
  for (const auto& label : kPerTextColorLabels) {
    expected.push_back(label);
    expected.push_back(kYellow);
  }
  expected.push_back("[ ] Enable Gamer Mode");
  ASSERT_GE(sameDraw.size(), 7u + expected.size());
  EXPECT_EQ(std::vector<std::string>(sameDraw.begin() + 7,
                                     sameDraw.begin() + 7 + static_cast<long>(expected.size())),
            expected)
      << "the tick shows at once, the set of colour editors does not change in the same draw";

  EXPECT_EQ(window.Draw()[8], "Reset Label Color") << "still unchanged before the write runs";
  session.Host().RunDeferred();
  const auto nextDraw = window.Draw();
  ASSERT_EQ(nextDraw.size(), 12u + kLaterSettings.size() + kFreshStatistics.size());
  EXPECT_EQ(nextDraw[7], "[x] Use Same Color For All Text");
  EXPECT_EQ(nextDraw[8], "Text Color");
  EXPECT_TRUE(window.Locate("Text Color").has_value());
  EXPECT_FALSE(window.Locate("Reset Label Color").has_value());
}

// The host writes its configuration after each change made on the page, so a game that crashes a
// moment later still keeps the player's choice.
TEST(SettingsPageSaving, AChangeIsInTheConfigFileAsSoonAsItsWriteHasRun) {
  testing_support::TempFolder data;
  testing_support::PluginSession session(data.Path());
  host::SettingsWindow window{*session.Loaded().SettingsWindow()};
  const auto config = data.Path() / "config.cfg";
  ASSERT_TRUE(window.Click("Enable Quillon Plugin"));
  EXPECT_FALSE(std::filesystem::exists(config)) << "nothing is stored before the write runs";
  session.Host().RunDeferred();
  EXPECT_THAT(testing_support::FileText(config), HasSubstr("quillon_enabled \"1\"\n"));
  EXPECT_EQ(session.Host().ConsoleLines(), std::vector<std::string>{});
}

// --- Sliders -------------------------------------------------------------------------------------

// The number a slider shows in the page's text line, such as 4.250 in "{ 4.250 } Text Size".
double ShownValue(const std::vector<std::string>& text, const std::string& label) {
  for (const auto& line : text) {
    if (line.starts_with("{ ") && line.ends_with(" } " + label)) {
      return std::strtod(line.c_str() + 2, nullptr);
    }
  }
  ADD_FAILURE() << "no slider " << label << " in the page's text";
  return -1.0;
}

struct Slider {
  const char* label;
  const char* variable;
  double tolerance;  // the text shows three decimals of a float
};

class SliderTest : public SettingsPageTest, public ::testing::WithParamInterface<Slider> {};

// The value is written on every frame it changes, so the overlay follows the mouse; the host saves
// its configuration once, when the mouse lets go.
TEST_P(SliderTest, ADragMakesOneWriteForEachFrameInWhichTheValueChangedAndOneSave) {
  const auto [label, variable, tolerance] = GetParam();
  const auto config = session.Host().ConfigFile();
  const auto slider = window.Locate(label);
  ASSERT_TRUE(slider.has_value());
  const float y = slider->Center().y;
  const float width = slider->max.x - slider->min.x;

  // Grab near the left end, drag right in steps, hold still for a frame, then drag on.
  const std::vector<float> path{0.05f, 0.2f, 0.35f, 0.35f, 0.5f, 0.75f};
  window.MoveMouse({slider->min.x + width * path[0], y});
  window.PressMouse();
  double previous = -1.0;
  int writes = 0;
  for (std::size_t frame = 0; frame < path.size(); ++frame) {
    window.MoveMouse({slider->min.x + width * path[frame], y});
    const auto text = window.Draw();
    const double shown = ShownValue(text, label);
    const bool changed = shown != previous;
    ASSERT_EQ(PendingWrites(), changed ? 1u : 0u) << "frame " << frame;
    session.Host().RunDeferred();
    writes += changed;
    EXPECT_NEAR(std::strtod(Value(variable).c_str(), nullptr), shown, tolerance)
        << "frame " << frame << ": the write holds that frame's value";
    EXPECT_FALSE(std::filesystem::exists(config)) << "frame " << frame << ": saved mid-drag";
    if (frame > 0 && path[frame] > path[frame - 1]) {
      EXPECT_GT(shown, previous);
    }
    previous = shown;
  }
  window.ReleaseMouse();
  window.Draw();
  EXPECT_EQ(writes, 5);
  ASSERT_EQ(PendingWrites(), 1u) << "letting go writes no value, and saves once";
  session.Host().RunDeferred();
  EXPECT_THAT(testing_support::FileText(config),
              HasSubstr(std::string(variable) + " \"" + Value(variable) + "\"\n"));
}

INSTANTIATE_TEST_SUITE_P(EverySlider, SliderTest,
                         ::testing::Values(Slider{"Quillon Position X", cvar::kPositionX, 0.0},
                                           Slider{"Quillon Position Y", cvar::kPositionY, 0.0},
                                           Slider{"Text Size", cvar::kTextSize, 0.0005},
                                           Slider{"RGB Cycle Speed", cvar::kRgbSpeed, 0.0005}),
                         [](const auto& info) {
                           std::string name = info.param.variable;
                           return name.substr(name.find('_') + 1);
                         });

// Digits after the point in the value a slider's text line shows, such as 3 for "{ 4.250 } Text
// Size"; -1 when the page shows no such slider.
int ShownDecimals(const std::vector<std::string>& text, const std::string& label) {
  for (const auto& line : text) {
    if (!line.starts_with("{ ") || !line.ends_with(" } " + label)) continue;
    const std::string value = line.substr(2, line.size() - label.size() - 5);
    const auto point = value.find('.');
    return point == std::string::npos ? 0 : static_cast<int>(value.size() - point - 1);
  }
  return -1;
}

// Every number's slider, as the variable table declares it: its ends are the variable's bounds,
// and its text shows an integer whole and a float with its row's decimals (three for the text
// size and the cycle speed).
TEST_F(SettingsPageTest, SlidersSpanTheVariablesBounds) {
  int sliders = 0;
  for (const cvar::Variable& row : cvar::kVariables) {
    const bool integer = std::holds_alternative<cvar::Bound<int>>(row.bound);
    if (!integer && !std::holds_alternative<cvar::Bound<float>>(row.bound)) continue;
    ++sliders;
    const char* label = row.label;
    const char* variable = row.name;
    const int decimals = integer ? 0 : cvar::DecimalsFor(*row.range);
    EXPECT_EQ(ShownDecimals(window.Draw(), label), row.decimals.value_or(decimals)) << label;
    const auto slider = window.Locate(label);
    ASSERT_TRUE(slider.has_value()) << label;
    // The host runs the writes between frames, as the game thread would.
    const auto frame = [&] {
      window.Draw();
      session.Host().RunDeferred();
    };
    window.MoveMouse(slider->Center());
    window.PressMouse();
    frame();
    window.MoveMouse({slider->min.x - 100.0f, slider->Center().y});
    frame();
    EXPECT_EQ(std::strtod(Value(variable).c_str(), nullptr), row.range->min) << label;
    window.MoveMouse({slider->max.x + 100.0f, slider->Center().y});
    frame();
    window.ReleaseMouse();
    frame();
    EXPECT_EQ(std::strtod(Value(variable).c_str(), nullptr), row.range->max) << label;
  }
  EXPECT_EQ(sliders, 4);
}

TEST(SliderDecimals, ShowAStepOfAThousandthOfTheRange) {
  struct Case {
    cvar::Range range;
    int decimals;
  };
  const Case cases[] = {
      {{0.0f, 10000.0f}, 0}, {{0.0f, 1000.0f}, 0}, {{0.0f, 100.0f}, 1},
      {{0.0f, 10.0f}, 2},    {{-1.0f, 1.0f}, 3},   {{0.0f, 2.0f}, 3},
      {{0.0f, 0.1f}, 4},     {{5.0f, 5.01f}, 5},   {{0.0f, 1e-9f}, 6},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(cvar::DecimalsFor(c.range), c.decimals) << c.range.min << " to " << c.range.max;
  }
}

// --- Colour editors ----------------------------------------------------------------------------

// Presses inside the picker's item, drags to a point given as fractions of the item's size from
// its top left (outside it, so the picker clamps) and lets go. The host runs the writes after
// each frame.
void DragPickerItem(testing_support::PluginSession& session, host::SettingsWindow& window,
                    ImGuiWindow& picker, const char* item, ImVec2 to) {
  const auto rect = window.LocateItem(picker, {"##picker", item});
  ASSERT_TRUE(rect.has_value()) << item;
  window.MoveMouse(rect->Center());
  window.PressMouse();
  window.Draw();
  session.Host().RunDeferred();
  window.MoveMouse({rect->min.x + (rect->max.x - rect->min.x) * to.x,
                    rect->min.y + (rect->max.y - rect->min.y) * to.y});
  window.Draw();
  session.Host().RunDeferred();
  window.ReleaseMouse();
  window.Draw();
  session.Host().RunDeferred();
}

struct ColorCase {
  const char* name;
  const char* start;
  LinearColor stored;
};

class ColorEditorTest : public SettingsPageTest, public ::testing::WithParamInterface<ColorCase> {};

// The swatch opens Dear ImGui's colour picker; the mouse drags its saturation/value square to the
// top right corner and its hue bar to the top: pure red at full saturation and value.
TEST_P(ColorEditorTest, PickingPureRedStoresAllFourComponentsOnTheZeroTo255Scale) {
  session.Set(cvar::kTextColor, GetParam().start);
  ASSERT_TRUE(window.Click("Text Color"));
  ImGuiWindow* picker = window.TopPopup();
  ASSERT_NE(picker, nullptr) << "the swatch opens the picker";
  EXPECT_EQ(PendingWrites(), 0u) << "opening the picker changes nothing";

  DragPickerItem(session, window, *picker, "sv", {1.5f, -0.5f});
  EXPECT_NE(Value(cvar::kTextColor), GetParam().start) << "full saturation and value";
  DragPickerItem(session, window, *picker, "hue", {0.5f, -0.5f});

  const LinearColor stored = Variable(cvar::kTextColor).AsColor();
  EXPECT_EQ(stored.R, GetParam().stored.R);
  EXPECT_EQ(stored.G, GetParam().stored.G);
  EXPECT_EQ(stored.B, GetParam().stored.B);
  EXPECT_NEAR(stored.A, GetParam().stored.A, 1e-3);
}

INSTANTIATE_TEST_SUITE_P(
    FromBlueish, ColorEditorTest,
    ::testing::Values(ColorCase{"FullAlpha", "(0, 128, 255, 255)", {255.0f, 0.0f, 0.0f, 255.0f}},
                      ColorCase{"AlphaKept", "(0, 128, 255, 40)", {255.0f, 0.0f, 0.0f, 40.0f}}),
    [](const auto& info) { return info.param.name; });

TEST_F(SettingsPageTest, EachPerTextSwatchEditsItsOwnVariable) {
  session.Set(cvar::kSameColorEnabled, "0");
  const std::vector<const char*> variables{cvar::kResetLabelColor,  cvar::kResetNumberColor,
                                           cvar::kHeightLabelColor, cvar::kHeightNumberColor,
                                           cvar::kTimeLabelColor,   cvar::kTimeNumberColor};
  for (std::size_t i = 0; i < variables.size(); ++i) {
    // A click outside closes the previous picker, as it would for a player.
    window.MoveMouse({host::SettingsWindow::kWidth - 4.0f, host::SettingsWindow::kHeight - 4.0f});
    window.PressMouse();
    window.Draw();
    window.ReleaseMouse();
    window.Draw();
    ASSERT_EQ(window.TopPopup(), nullptr);

    ASSERT_TRUE(window.Click(kPerTextColorLabels[i])) << kPerTextColorLabels[i];
    ImGuiWindow* picker = window.TopPopup();
    ASSERT_NE(picker, nullptr) << kPerTextColorLabels[i];
    DragPickerItem(session, window, *picker, "sv", {1.5f, 1.5f});  // bottom right: black
    for (std::size_t j = 0; j < variables.size(); ++j) {
      const LinearColor color = Variable(variables[j]).AsColor();
      const bool edited = j <= i;
      EXPECT_EQ(color.R == 0.0f && color.G == 0.0f && color.B == 0.0f, edited)
          << kPerTextColorLabels[i] << " changed " << variables[j];
    }
  }
  EXPECT_EQ(Value(cvar::kTextColor), "(255, 255, 0, 255)") << "the shared colour is untouched";
}

TEST_F(SettingsPageTest, WithThePickerOpenThePageStillReadsInFull) {
  ASSERT_TRUE(window.Click("Text Color"));
  ASSERT_NE(window.TopPopup(), nullptr);
  const auto text = window.Draw();
  ASSERT_NE(window.TopPopup(), nullptr);
  EXPECT_PRED_FORMAT2(
      SameLines, text,
      WithStatistics({kDescription, "[ ] Enable Quillon Plugin", "{ 0 } Quillon Position X",
                      "{ 0 } Quillon Position Y", "{ 2.000 } Text Size", "[x] Enable Drop Shadows",
                      "[ ] Enable Height Decimal", "[x] Use Same Color For All Text", "Text Color",
                      kYellow, "[ ] Enable Gamer Mode", "{ 1.000 } RGB Cycle Speed"}));
}

// --- The window's picture ----------------------------------------------------------------------

// How many pixels inside `rect` satisfy `test`.
template <typename Test>
int CountPixels(const host::Image& picture, const host::ScreenRect& rect, Test test) {
  int count = 0;
  for (int y = static_cast<int>(rect.min.y); y < static_cast<int>(rect.max.y); ++y) {
    for (int x = static_cast<int>(rect.min.x); x < static_cast<int>(rect.max.x); ++x) {
      count += test(picture.At(x, y)) ? 1 : 0;
    }
  }
  return count;
}

bool IsTickBlue(host::Pixel pixel) {
  return pixel.b > 200 && pixel.r < 120;
}

bool IsLight(host::Pixel pixel) {
  return pixel.r + pixel.g + pixel.b > 600;
}

bool IsHistogramYellow(host::Pixel pixel) {
  return pixel.r > 200 && pixel.g > 150 && pixel.b < 60;
}

// The line's grey, unlike the title's white blended into the blue frame.
bool IsPlotLineGrey(host::Pixel p) {
  return p.r > 120 && p.r < 190 && std::abs(p.r - p.b) < 6 && std::abs(p.g - p.b) < 6;
}

// Where the page's plots begin, top first: runs of the frames' colour as tall as a plot down the
// column x, just inside the frames' left edge.
std::vector<float> PlotTops(const host::Image& picture, int x, host::Pixel frame) {
  std::vector<float> tops;
  for (int y = 0, run = 0; y < picture.Height(); ++y) {
    run = picture.At(x, y) == frame ? run + 1 : 0;
    if (run == 50) tops.push_back(static_cast<float>(y - 49));
  }
  return tops;
}

// One finished chain on one day: each plot shows its one value below its readable title.
TEST_F(SettingsPageTest, APlotOfOneValueShowsItAndKeepsClearOfItsTitle) {
  testing_support::Practice(session).Play("ball:900 reset +1 reset ballground jump");
  const auto slider = window.Locate("Text Size");  // as wide as the plots, in their colour
  ASSERT_TRUE(slider.has_value());
  window.Draw();
  const host::Image picture = window.Picture();
  const int x = static_cast<int>(slider->min.x) + 1;
  const auto tops = PlotTops(picture, x, picture.At(x, static_cast<int>(slider->min.y) + 1));
  ASSERT_EQ(tops.size(), 2u);
  const std::pair<const char*, bool (*)(host::Pixel)> plots[] = {
      {"Resets per chain", IsHistogramYellow}, {"Best chain per day", IsPlotLineGrey}};
  for (std::size_t i = 0; i < 2; ++i) {
    // The title's row: the built-in font's 13 pixels with the frame's padding of 3 above and below.
    const float top = tops[i], titleBottom = top + 19.0f;
    const host::ScreenRect title{{slider->min.x, top}, {slider->max.x, titleBottom}};
    const host::ScreenRect below{{slider->min.x, titleBottom}, {slider->max.x, top + 60.0f}};
    EXPECT_EQ(CountPixels(picture, title, plots[i].second), 0) << plots[i].first << ": title";
    EXPECT_GT(CountPixels(picture, below, plots[i].second), 100) << plots[i].first << ": value";
  }
}

TEST_F(SettingsPageTest, ThePictureShowsTheTickOnceTheHostHasStoredIt) {
  const auto box = window.Locate("Enable Quillon Plugin");
  ASSERT_TRUE(box.has_value());
  const host::ScreenRect square{box->min, {box->min.x + (box->max.y - box->min.y), box->max.y}};
  window.Draw();
  EXPECT_EQ(CountPixels(window.Picture(), square, IsTickBlue), 0);

  ASSERT_TRUE(window.Click("Enable Quillon Plugin"));
  session.Host().RunDeferred();
  window.Draw();
  EXPECT_GT(CountPixels(window.Picture(), square, IsTickBlue), 10);
}

TEST_F(SettingsPageTest, ThePictureDrawsLabelsInTheFontNotAsBlocks) {
  const auto box = window.Locate("Enable Drop Shadows");
  ASSERT_TRUE(box.has_value());
  const float square = box->max.y - box->min.y;
  const host::ScreenRect label{{box->min.x + square, box->min.y}, box->max};
  window.Draw();
  const int light = CountPixels(window.Picture(), label, IsLight);
  const int all = static_cast<int>((label.max.x - label.min.x) * (label.max.y - label.min.y));
  EXPECT_GT(light, all / 20) << "the label is drawn";
  // Glyphs fill about a tenth of the label's box; the glyphs' boxes alone, about a quarter.
  EXPECT_LT(light, all / 6) << "glyphs, not solid rectangles";
}

}  // namespace
