// Hostile values in every numeric and colour variable: not a number, infinities, huge, negative
// and denormal values, typed at the console or written straight into the bound values. Each must
// give the frame that docs/reliability.md's "Hostile values" describes, with no undefined
// behaviour (the sanitizer build runs this too).
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <functional>
#include <limits>
#include <source_location>
#include <span>
#include <string>
#include <vector>

#include "OverlayCalls.h"
#include "PluginSession.h"
#include "Practice.h"
#include "SettingsWindow.h"
#include "Tally.h"
#include "TrackerModel.h"

namespace {

using testing_support::PluginSession;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kDenormal = std::numeric_limits<float>::denorm_min();

constexpr const char* kPhaseZeroColor = "SetColor 127 243 30 255";

// In free play with the overlay on and one reset counted: the usual frame reads kUsual.
void PlayOneReset(PluginSession& session) {
  session.StartFreeplay();
  session.Set("quillon_enabled", "1");
  session.Fire("jump");
  session.Ball(1024.0f);
  session.Car(300.0f);
  session.Fire("landed");
}

// The frame after PlayOneReset as the reference model draws it, with the height's decimals and
// the text size typed as given: the texts are the model's, so these tests see only what a
// hostile value does to them, and a change of a text is told by the tests of that text.
std::string ModelFrame(bool heightDecimals, float textSize) {
  using model::Fire;
  using model::GameFunction;
  using model::Setting;
  using model::SetVariable;
  model::TrackerModel reference;
  const model::Step steps[] = {
      model::SwitchMode{pluginsdk::GameMode::Freeplay},
      Fire{GameFunction::kInit},
      model::Advance{30'000'000},  // the practice check, 3 s later
      SetVariable{Setting::kEnabled, "1", 1.0},
      SetVariable{Setting::kHeightDecimal, heightDecimals ? "1" : "0", heightDecimals ? 1.0 : 0.0},
      SetVariable{Setting::kTextSize, "", textSize},
      Fire{GameFunction::kJump},
      model::PlaceBall{1024.0f},
      model::PlaceCar{300.0f},
      Fire{GameFunction::kLanded},
  };
  for (const model::Step& step : steps) reference.Apply(step);
  return reference.Frame();
}

// The frames the documentation names: the usual one, its three lines on one row (a text size
// that gives no line step), nothing at all, and each of the first two with the height's decimals.
const std::string kUsual = ModelFrame(false, 2.0f);
const std::string kOneRow = ModelFrame(false, 0.0f);
const std::string kNothing;
const std::string kUsualWithDecimals = ModelFrame(true, 2.0f);
const std::string kOneRowWithDecimals = ModelFrame(true, 0.0f);

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The settings page's text as the host's settings window shows it, one line a widget.
std::vector<std::string> SettingsPage(PluginSession& session) {
  host::SettingsWindow window(*session.Loaded().SettingsWindow());
  return window.Draw();
}

// Draws three frames (the colour cycle moves between them); each must read `frame` and list every
// line of `trace` among its canvas calls.
void ExpectFrames(PluginSession& session, const std::string& frame,
                  const std::vector<std::string>& trace,
                  std::source_location at = std::source_location::current()) {
  testing_support::Tally tally;
  for (int i = 0; i < 3; ++i) {
    const std::string where = "frame " + std::to_string(i);
    tally.ExpectEq("the frame's text", session.Frame(), frame, where);
    const auto calls = testing_support::Trace(session.LastFrameCalls());
    for (const auto& line : trace) {
      tally.ExpectTrue("a canvas call " + line, Contains(calls, line), where);
    }
  }
  tally.Report(at);
}

// --- Typed at the console ------------------------------------------------------------------------

struct Typed {
  const char* name;
  const char* variable;
  const char* text;
  const char* stored;  // the variable's text afterwards; nullptr: refused, the value stays
  std::string frame;
  std::vector<std::string> trace;
  const char* page;  // a line the settings page shows afterwards
};

void PrintTo(const Typed& typed, std::ostream* out) {
  *out << typed.variable << " " << typed.text;
}

class TypedAtTheConsole : public ::testing::TestWithParam<Typed> {};

TEST_P(TypedAtTheConsole, IsRefusedOrClampedAndGivesTheDocumentedFrame) {
  const Typed& typed = GetParam();
  PluginSession session;
  PlayOneReset(session);
  if (std::string(typed.variable) == "quillon_rgb_speed") {
    session.Set("quillon_rgb_enabled", "1");
  }
  const auto variable = session.Host().FindVariable(typed.variable);
  ASSERT_NE(variable, nullptr);
  const std::string before = variable->Text();

  const auto refused = variable->SetText(typed.text);

  EXPECT_EQ(refused.has_value(), typed.stored == nullptr);
  EXPECT_EQ(variable->Text(), typed.stored != nullptr ? typed.stored : before);
  ExpectFrames(session, typed.frame, typed.trace);
  EXPECT_TRUE(Contains(SettingsPage(session), typed.page)) << typed.page;
}

INSTANTIATE_TEST_SUITE_P(
    Values, TypedAtTheConsole,
    ::testing::Values(
        // Not a number is refused everywhere; the overlay stays as it was.
        Typed{"EnabledNaN",
              "quillon_enabled",
              "nan",
              nullptr,
              kUsual,
              {},
              "[x] Enable Quillon Plugin"},
        Typed{
            "TextSizeNaN", "quillon_textsize", "-nan", nullptr, kUsual, {}, "{ 2.000 } Text Size"},
        Typed{
            "PositionXNaN", "quillon_posx", "nan", nullptr, kUsual, {}, "{ 0 } Quillon Position X"},
        Typed{"SpeedNaN",
              "quillon_rgb_speed",
              "nan",
              nullptr,
              kUsual,
              {},
              "{ 1.000 } RGB Cycle Speed"},
        // Switches: 1 and above is on; anything below 1, a denormal too, is off.
        Typed{"EnabledInfinity",
              "quillon_enabled",
              "inf",
              "1",
              kUsual,
              {},
              "[x] Enable Quillon Plugin"},
        Typed{"EnabledHuge",
              "quillon_enabled",
              "1e300",
              "1",
              kUsual,
              {},
              "[x] Enable Quillon Plugin"},
        Typed{"EnabledMinusInfinity",
              "quillon_enabled",
              "-inf",
              "0",
              kNothing,
              {},
              "[ ] Enable Quillon Plugin"},
        Typed{"EnabledNegative",
              "quillon_enabled",
              "-5",
              "0",
              kNothing,
              {},
              "[ ] Enable Quillon Plugin"},
        Typed{"EnabledDenormal",
              "quillon_enabled",
              "4.9e-324",
              "5e-324",
              kNothing,
              {},
              "[ ] Enable Quillon Plugin"},
        Typed{"EnabledAlmostOne",
              "quillon_enabled",
              "0.99",
              "0.99",
              kNothing,
              {},
              "[ ] Enable Quillon Plugin"},
        Typed{"HeightDecimalInfinity",
              "quillon_heightdecimal",
              "inf",
              "1",
              kUsualWithDecimals,
              {},
              "[x] Enable Height Decimal"},
        Typed{"DropShadowsMinusInfinity",
              "quillon_dropshadows",
              "-inf",
              "0",
              kUsual,
              {"DrawString \"Resets: \" 2 2 false false"},
              "[ ] Enable Drop Shadows"},
        Typed{"SameColourNegative",
              "quillon_samecolorenabled",
              "-1e300",
              "0",
              kUsual,
              {"SetColor 255 255 0 255"},
              "[ ] Use Same Color For All Text"},
        Typed{"CyclingHuge",
              "quillon_rgb_enabled",
              "1e300",
              "1",
              kUsual,
              {},
              "[x] Enable Gamer Mode"},
        // Positions: clamped to 0 to 10000 pixels.
        Typed{"PositionXInfinity",
              "quillon_posx",
              "inf",
              "10000",
              kUsual,
              {"SetPosition 10000 0"},
              "{ 10000 } Quillon Position X"},
        Typed{"PositionYHuge",
              "quillon_posy",
              "1e300",
              "10000",
              kUsual,
              {"SetPosition 0 10000", "SetPosition 0 10030", "SetPosition 0 10060"},
              "{ 10000 } Quillon Position Y"},
        Typed{"PositionYMinusInfinity",
              "quillon_posy",
              "-inf",
              "0",
              kUsual,
              {"SetPosition 0 0"},
              "{ 0 } Quillon Position Y"},
        Typed{"PositionXDenormal",
              "quillon_posx",
              "4.9e-324",
              "5e-324",
              kUsual,
              {"SetPosition 0 0"},
              "{ 0 } Quillon Position X"},
        // Text size: clamped to 0 to 10; 0 and denormals draw all three lines on one row at scale
        // 0 (nothing legible).
        Typed{"TextSizeInfinity",
              "quillon_textsize",
              "inf",
              "10",
              kUsual,
              {"SetPosition 0 150", "DrawString \"Resets: \" 10 10 true false"},
              "{ 10.000 } Text Size"},
        Typed{"TextSizeMinusInfinity",
              "quillon_textsize",
              "-inf",
              "0",
              kOneRow,
              {"DrawString \"Resets: \" 0 0 true false"},
              "{ 0.000 } Text Size"},
        Typed{
            "TextSizeNegative", "quillon_textsize", "-5", "0", kOneRow, {}, "{ 0.000 } Text Size"},
        Typed{"TextSizeFloatDenormal",
              "quillon_textsize",
              "1e-45",
              "1e-45",
              kOneRow,
              {"DrawString \"Resets: \" 1e-45 1e-45 true false"},
              "{ 0.000 } Text Size"},
        Typed{"TextSizeDoubleDenormal",
              "quillon_textsize",
              "4.9e-324",
              "5e-324",
              kOneRow,
              {"DrawString \"Resets: \" 0 0 true false"},
              "{ 0.000 } Text Size"},
        // Cycle speed: clamped to 0 to 2; 0 and denormals hold the phase-0 colour.
        Typed{"SpeedMinusInfinity",
              "quillon_rgb_speed",
              "-inf",
              "0",
              kUsual,
              {kPhaseZeroColor},
              "{ 0.000 } RGB Cycle Speed"},
        Typed{"SpeedNegative",
              "quillon_rgb_speed",
              "-5",
              "0",
              kUsual,
              {kPhaseZeroColor},
              "{ 0.000 } RGB Cycle Speed"},
        Typed{"SpeedFloatDenormal",
              "quillon_rgb_speed",
              "1e-45",
              "1e-45",
              kUsual,
              {kPhaseZeroColor},
              "{ 0.000 } RGB Cycle Speed"},
        // Colours: components outside 0 to 255, not a number included, are refused.
        Typed{"ColourNaN",
              "quillon_color",
              "(nan, 0, 0, 255)",
              nullptr,
              kUsual,
              {"SetColor 255 255 0 255"},
              "Text Color"},
        Typed{"ColourInfinity",
              "quillon_color",
              "(inf, 0, 0, 255)",
              nullptr,
              kUsual,
              {},
              "Text Color"},
        Typed{"ColourNegative",
              "quillon_resetcolor",
              "(-1, 0, 0, 255)",
              nullptr,
              kUsual,
              {},
              "Text Color"},
        Typed{"ColourHuge",
              "quillon_timenumcolor",
              "(1e300, 0, 0, 255)",
              nullptr,
              kUsual,
              {},
              "Text Color"},
        Typed{"ColourDenormal",
              "quillon_color",
              "(1e-45, 0, 0, 255)",
              "(1e-45, 0, 0, 255)",
              kUsual,
              {"SetColor 1e-45 0 0 255"},
              "Text Color"}),
    [](const auto& info) { return std::string(info.param.name); });

// Every variable, every hostile text: not a number is refused, numbers are clamped to the bounds,
// denormals are kept, and colours with a component outside 0 to 255 are refused. Whatever is
// stored, the frame still draws one of the documented texts.
TEST(EveryVariable, TakesEveryHostileTextByTheConsoleRuleAndStillDraws) {
  struct Variable {
    const char* name;
    const char* min;  // nullptr: a colour
    const char* max;
  };
  const Variable variables[] = {
      {"quillon_enabled", "0", "1"},
      {"quillon_posx", "0", "10000"},
      {"quillon_posy", "0", "10000"},
      {"quillon_textsize", "0", "10"},
      {"quillon_dropshadows", "0", "1"},
      {"quillon_heightdecimal", "0", "1"},
      {"quillon_samecolorenabled", "0", "1"},
      {"quillon_color", nullptr, nullptr},
      {"quillon_resetcolor", nullptr, nullptr},
      {"quillon_resetnumcolor", nullptr, nullptr},
      {"quillon_heightcolor", nullptr, nullptr},
      {"quillon_heightnumcolor", nullptr, nullptr},
      {"quillon_timecolor", nullptr, nullptr},
      {"quillon_timenumcolor", nullptr, nullptr},
      {"quillon_rgb_enabled", "0", "1"},
      {"quillon_rgb_speed", "0", "2"},
  };
  enum class Outcome { kRefused, kMinimum, kMaximum, kKept };
  struct Text {
    const char* typed;
    Outcome outcome;
    const char* kept;
  };
  const Text numbers[] = {
      {"nan", Outcome::kRefused, nullptr},  {"-nan", Outcome::kRefused, nullptr},
      {"inf", Outcome::kMaximum, nullptr},  {"1e300", Outcome::kMaximum, nullptr},
      {"-inf", Outcome::kMinimum, nullptr}, {"-1e300", Outcome::kMinimum, nullptr},
      {"-5", Outcome::kMinimum, nullptr},   {"4.9e-324", Outcome::kKept, "5e-324"},
      {"1e-45", Outcome::kKept, "1e-45"},
  };
  const Text colors[] = {
      {"(nan, 0, 0, 255)", Outcome::kRefused, nullptr},
      {"(0, -nan, 0, 255)", Outcome::kRefused, nullptr},
      {"(0, 0, inf, 255)", Outcome::kRefused, nullptr},
      {"(0, 0, 0, -inf)", Outcome::kRefused, nullptr},
      {"(1e300, 0, 0, 255)", Outcome::kRefused, nullptr},
      {"(-5, 0, 0, 255)", Outcome::kRefused, nullptr},
      {"(4.9e-324, 0, 0, 255)", Outcome::kKept, "(0, 0, 0, 255)"},
      {"(1e-45, 1e-45, 1e-45, 1e-45)", Outcome::kKept, "(1e-45, 1e-45, 1e-45, 1e-45)"},
  };
  const std::vector<std::string> documentedFrames{kUsual, kOneRow, kNothing, kUsualWithDecimals,
                                                  kOneRowWithDecimals};

  // A fault in the page or the frame shows in every case: each kind of check is told once.
  testing_support::Tally tally;
  for (const Variable& v : variables) {
    PluginSession session;
    PlayOneReset(session);
    session.Set("quillon_samecolorenabled", "0");  // every colour in use
    if (std::string(v.name) == "quillon_rgb_speed") session.Set("quillon_rgb_enabled", "1");
    const auto variable = session.Host().FindVariable(v.name);
    ASSERT_NE(variable, nullptr) << v.name;
    host::SettingsWindow window(*session.Loaded().SettingsWindow());
    const bool color = v.min == nullptr;
    for (const Text& text :
         color ? std::span<const Text>(colors) : std::span<const Text>(numbers)) {
      const std::string where = std::string(v.name) + " " + text.typed;
      const std::string before = variable->Text();
      const auto refused = variable->SetText(text.typed);
      tally.ExpectEq("refused", refused.has_value(), text.outcome == Outcome::kRefused, where);
      switch (text.outcome) {
        case Outcome::kRefused:
          tally.ExpectEq("kept its text", variable->Text(), before, where);
          break;
        case Outcome::kMinimum:
          tally.ExpectEq("clamped to the minimum", variable->Text(), v.min, where);
          break;
        case Outcome::kMaximum:
          tally.ExpectEq("clamped to the maximum", variable->Text(), v.max, where);
          break;
        case Outcome::kKept:
          tally.ExpectEq("kept the denormal", variable->Text(), text.kept, where);
          break;
      }
      for (int frame = 0; frame < 2; ++frame) {
        const std::string drawn = session.Frame();
        tally.ExpectTrue("a documented frame", Contains(documentedFrames, drawn),
                         where + ", drew \"" + drawn + "\"");
      }
      const auto page = window.Draw();
      // The description and ten widgets, or fifteen with a colour for each text, each colour
      // editor with its swatch's line; the two later check boxes; the statistics.
      tally.ExpectEq("page lines", page.size(),
                     (*session.Plugin().sameColorEnabled ? 12u : 22u) +
                         testing_support::kLaterSettings.size() +
                         testing_support::kFreshStatistics.size(),
                     where);
    }
  }
  tally.Report();
}

// --- Stored from code, as a settings page's deferred write does ----------------------------------

TEST(StoredFromCode, NotANumberIsIgnoredAndTheRestClamped) {
  PluginSession session;
  PlayOneReset(session);
  auto& host = session.Host();

  host.FindVariable("quillon_textsize")->Set(kNaN);
  EXPECT_EQ(host.FindVariable("quillon_textsize")->Text(), "2");
  host.FindVariable("quillon_rgb_speed")->Set(kInf);
  EXPECT_EQ(host.FindVariable("quillon_rgb_speed")->Text(), "2");
  host.FindVariable("quillon_posy")->Set(INT_MIN);
  EXPECT_EQ(host.FindVariable("quillon_posy")->Text(), "0");
  host.FindVariable("quillon_color")->Set(LinearColor{kNaN, kInf, -kInf, -1.0f});
  EXPECT_EQ(host.FindVariable("quillon_color")->Text(), "(0, 255, 0, 0)");

  ExpectFrames(session, kUsual, {"SetColor 0 255 0 0", "SetPosition 0 30"});
}

// --- Written straight into the bound values ------------------------------------------------------

struct Written {
  const char* name;
  std::function<void(QuillonPlugin&)> write;
  std::string frame;
  std::vector<std::string> trace;
};

// The page reads the variables, which keep their values; only the choice between one colour
// editor and six follows the bound value of quillon_samecolorenabled.
const std::vector<std::string> kPageOfTheVariables{
    "[x] Enable Quillon Plugin", "{ 0 } Quillon Position X", "{ 0 } Quillon Position Y",
    "{ 2.000 } Text Size",       "[ ] Enable Gamer Mode",    "{ 1.000 } RGB Cycle Speed"};

void PrintTo(const Written& written, std::ostream* out) {
  *out << written.name;
}

class WrittenIntoTheBoundValue : public ::testing::TestWithParam<Written> {};

TEST_P(WrittenIntoTheBoundValue, GivesTheDocumentedFrame) {
  PluginSession session;
  PlayOneReset(session);
  GetParam().write(session.Plugin());
  ExpectFrames(session, GetParam().frame, GetParam().trace);
  const auto page = SettingsPage(session);
  for (const auto& line : kPageOfTheVariables) EXPECT_TRUE(Contains(page, line)) << line;
  EXPECT_EQ(Contains(page, "Reset Label Color"), !*session.Plugin().sameColorEnabled);
}

// Writers for the table.
std::function<void(QuillonPlugin&)> TextSize(float value) {
  return [value](QuillonPlugin& plugin) { *plugin.textSize = value; };
}
std::function<void(QuillonPlugin&)> Position(int x, int y) {
  return [x, y](QuillonPlugin& plugin) {
    *plugin.positionX = x;
    *plugin.positionY = y;
  };
}
std::function<void(QuillonPlugin&)> CycleSpeed(float value) {
  return [value](QuillonPlugin& plugin) {
    *plugin.rgbEnabled = true;
    *plugin.rgbSpeed = value;
  };
}
// Every colour at once, each text with its own colour.
std::function<void(QuillonPlugin&)> Colours(float value) {
  return [value](QuillonPlugin& plugin) {
    *plugin.sameColorEnabled = false;
    for (auto* color : {&plugin.textColor, &plugin.resetLabelColor, &plugin.resetNumberColor,
                        &plugin.heightLabelColor, &plugin.heightNumberColor, &plugin.timeLabelColor,
                        &plugin.timeNumberColor}) {
      **color = LinearColor{value, value, value, value};
    }
  };
}

INSTANTIATE_TEST_SUITE_P(
    Values, WrittenIntoTheBoundValue,
    ::testing::Values(
        // Text size: the line step is cut to the 32-bit range; not a number gives no step.
        Written{"TextSizeNaN",
                TextSize(kNaN),
                kOneRow,
                {"SetPosition 0 0", "DrawString \"Resets: \" nan nan true false"}},
        Written{"TextSizeInfinity",
                TextSize(kInf),
                kUsual,
                {"SetPosition 0 2147483648", "SetPosition 0 4294967296"}},
        Written{"TextSizeHuge",
                TextSize(FLT_MAX),
                kUsual,
                {"SetPosition 0 2147483648", "SetPosition 0 4294967296"}},
        Written{"TextSizeMinusInfinity",
                TextSize(-kInf),
                kUsual,
                {"SetPosition 0 -2147483648", "SetPosition 0 -4294967296"}},
        Written{
            "TextSizeNegative",
            TextSize(-2.0f),
            kUsual,
            {"SetPosition 0 -30", "SetPosition 0 -60", "DrawString \"Resets: \" -2 -2 true false"}},
        Written{"TextSizeDenormal", TextSize(kDenormal), kOneRow, {"SetPosition 0 0"}},
        // Positions: any integer is a place on (or off) the screen; at the ends of the range
        // 30 pixels are lost in the float and the three lines share one row.
        Written{"PositionLargest",
                Position(INT_MAX, INT_MAX),
                kOneRow,
                {"SetPosition 2147483648 2147483648"}},
        Written{"PositionSmallest",
                Position(INT_MIN, INT_MIN),
                kOneRow,
                {"SetPosition -2147483648 -2147483648"}},
        Written{"PositionNegative",
                Position(-100, -100),
                kUsual,
                {"SetPosition -100 -100", "SetPosition -100 -70", "SetPosition -100 -40"}},
        // Cycle speed: not a number or infinite draws black; any speed whose cycle is shorter than
        // one frame (huge, negative) or that rounds to no step (denormal) holds phase 0.
        Written{"SpeedNaN", CycleSpeed(kNaN), kUsual, {"SetColor 0 0 0 255"}},
        Written{"SpeedInfinity", CycleSpeed(kInf), kUsual, {"SetColor 0 0 0 255"}},
        Written{"SpeedMinusInfinity", CycleSpeed(-kInf), kUsual, {"SetColor 0 0 0 255"}},
        Written{"SpeedHuge", CycleSpeed(FLT_MAX), kUsual, {kPhaseZeroColor}},
        Written{"SpeedNegative", CycleSpeed(-1.0f), kUsual, {kPhaseZeroColor}},
        Written{"SpeedDenormal", CycleSpeed(kDenormal), kUsual, {kPhaseZeroColor}},
        // Colours are handed to the canvas as they are.
        Written{"ColoursNaN", Colours(kNaN), kUsual, {"SetColor nan nan nan nan"}},
        Written{"ColoursInfinity", Colours(kInf), kUsual, {"SetColor inf inf inf inf"}},
        Written{"ColoursMinusInfinity", Colours(-kInf), kUsual, {"SetColor -inf -inf -inf -inf"}},
        Written{"ColoursNegative", Colours(-1.0f), kUsual, {"SetColor -1 -1 -1 -1"}},
        Written{"ColoursHuge",
                Colours(FLT_MAX),
                kUsual,
                {"SetColor 3.4028235e+38 3.4028235e+38 3.4028235e+38 3.4028235e+38"}},
        Written{
            "ColoursDenormal", Colours(kDenormal), kUsual, {"SetColor 1e-45 1e-45 1e-45 1e-45"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
