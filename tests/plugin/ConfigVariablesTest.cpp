// The plugin's configuration variables as the host's console holds them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "DynamicLibrary.h"
#include "PluginSession.h"
#include "VariableTable.h"

namespace {

using quillon::cvar::Bound;
using quillon::cvar::kVariables;
using quillon::cvar::Range;
using quillon::cvar::Variable;
using ::testing::HasSubstr;

struct Expected {
  const char* name;
  const char* defaultText;
  const char* description;
  std::optional<float> min;
  std::optional<float> max;
};

// The sixteen the overlay began with, written out by hand from the plugin's documented variables,
// not from its code: registering one more leaves them as they are.
const Expected kFirstVariables[] = {
    {"quillon_enabled", "0", "Enable plugin", 0.0f, 1.0f},
    {"quillon_posx", "0", "Quillon Text Position X", 0.0f, 10000.0f},
    {"quillon_posy", "0", "Quillon Text Position Y", 0.0f, 10000.0f},
    {"quillon_textsize", "2", "Quillon Text Size", 0.0f, 10.0f},
    {"quillon_dropshadows", "1", "Display text with drop shadows", 0.0f, 1.0f},
    {"quillon_heightdecimal", "0", "Show decimals on the height percentage", 0.0f, 1.0f},
    {"quillon_samecolorenabled", "1", "Use the same color for all labels/numbers", 0.0f, 1.0f},
    {"quillon_color", "#FFFF00", "Color of all text", std::nullopt, std::nullopt},
    {"quillon_resetcolor", "#FFFF00", "Color of reset label", std::nullopt, std::nullopt},
    {"quillon_resetnumcolor", "#FFFF00", "Color of reset number", std::nullopt, std::nullopt},
    {"quillon_heightcolor", "#FFFF00", "Color of height label", std::nullopt, std::nullopt},
    {"quillon_heightnumcolor", "#FFFF00", "Color of height number", std::nullopt, std::nullopt},
    {"quillon_timecolor", "#FFFF00", "Color of timer label", std::nullopt, std::nullopt},
    {"quillon_timenumcolor", "#FFFF00", "Color of timer number", std::nullopt, std::nullopt},
    {"quillon_rgb_enabled", "0", "Enable rgb colors", 0.0f, 1.0f},
    {"quillon_rgb_speed", "1", "Enable rgb colors", 0.0f, 2.0f},
};

// What the host holds for a variable, beside what the plugin's table or the list above says.
Expected Registered(const pluginsdk::ConsoleVariable& variable) {
  return {variable.Name().c_str(), variable.DefaultValue().c_str(), variable.Description().c_str(),
          variable.Bounds().min, variable.Bounds().max};
}

constexpr LinearColor kYellow{255.0f, 255.0f, 0.0f, 255.0f};

TEST(ConfigVariables, LoadRegistersTheSixteenThenTheLaterOnesInOrderWithDefaultsAndBounds) {
  testing_support::PluginSession session;
  const auto& variables = session.Host().Variables();
  const std::span<const Variable> table = kVariables;
  ASSERT_EQ(variables.size(), table.size()) << "every variable is registered from the table";
  for (std::size_t i = 0; i < variables.size(); ++i) {
    const auto& actual = *variables[i];
    std::optional<Range> range = table[i].range;
    Expected expected{table[i].name, table[i].defaultValue, table[i].description,
                      range ? std::optional(range->min) : std::nullopt,
                      range ? std::optional(range->max) : std::nullopt};
    if (i < std::size(kFirstVariables)) expected = kFirstVariables[i];
    SCOPED_TRACE(expected.name);
    const Expected registered = Registered(actual);
    EXPECT_STREQ(registered.name, expected.name);
    EXPECT_STREQ(registered.defaultText, expected.defaultText);
    EXPECT_STREQ(registered.description, expected.description);
    EXPECT_EQ(registered.min, expected.min);
    EXPECT_EQ(registered.max, expected.max);
    EXPECT_TRUE(actual.Searchable());
    EXPECT_TRUE(actual.Saved());
  }
}

// Every bound value holds what the host's registry holds, right after load.
TEST(ConfigVariables, BoundValuesHoldTheVariablesRightAfterLoad) {
  testing_support::PluginSession session;
  const auto& plugin = session.Plugin();
  for (const Variable& variable : kVariables) {
    SCOPED_TRACE(variable.name);
    CVarWrapper registered = plugin.cvarManager->getCvar(variable.name);
    ASSERT_TRUE(static_cast<bool>(registered));
    std::visit(
        [&]<typename Value>(const Bound<Value>& bound) {
          const Value& value = *(plugin.*bound.member);
          if constexpr (std::is_same_v<Value, bool>) {
            EXPECT_EQ(value, registered.getBoolValue());
          } else if constexpr (std::is_same_v<Value, int>) {
            EXPECT_EQ(value, registered.getIntValue());
          } else if constexpr (std::is_same_v<Value, float>) {
            EXPECT_EQ(value, registered.getFloatValue());
          } else {
            EXPECT_EQ(value, registered.getColorValue());
          }
        },
        variable.bound);
  }
  // The documented values, among them the colours' yellow that the default text gives.
  EXPECT_FALSE(*plugin.enabled);
  EXPECT_EQ(*plugin.textSize, 2.0f);
  EXPECT_EQ(*plugin.timeNumberColor, kYellow);
}

// A player looks a variable up in the documentation's table: every one the host holds has its row
// there, with its default.
TEST(ConfigVariables, EveryVariableIsDocumentedWithItsDefault) {
  testing_support::PluginSession session;
  std::ostringstream doc;
  doc << std::ifstream(SESSIONS_DOC).rdbuf();
  std::vector<std::string> missing;
  for (const auto& variable : session.Host().Variables()) {
    const std::string row = "\n| `" + variable->Name() + "` | " + variable->DefaultValue() + " |";
    if (doc.str().find(row) == std::string::npos) missing.push_back(variable->Name());
  }
  EXPECT_EQ(missing, std::vector<std::string>{})
      << "no row with its default in the variables' table of " << SESSIONS_DOC;
}

TEST(ConfigVariables, AChangeMadeThroughTheHostReachesTheBoundValueAtOnce) {
  testing_support::PluginSession session;
  session.Set("quillon_textsize", "3.5");
  EXPECT_EQ(*session.Plugin().textSize, 3.5f);
  session.Set("quillon_posx", "250");
  EXPECT_EQ(*session.Plugin().positionX, 250);
  session.Set("quillon_enabled", "1");
  EXPECT_TRUE(*session.Plugin().enabled);
  session.Set("quillon_timecolor", "#00FF0080");
  EXPECT_EQ(*session.Plugin().timeLabelColor, (LinearColor{0.0f, 255.0f, 0.0f, 128.0f}));
}

TEST(ConfigVariables, ANewPluginObjectAfterDeleteMeBindsFreshValuesAgain) {
  pluginsdk::Host host;
  const host::DynamicLibrary library(testing_support::PluginPath());
  const auto& descriptor = host::ReadDescriptor(library, testing_support::PluginPath());
  const auto connection = host.Connect();
  const auto load = [&] {
    auto& plugin = static_cast<QuillonPlugin&>(**descriptor.create());
    plugin.cvarManager = connection->cvars;
    plugin.gameWrapper = connection->game;
    plugin.onLoad();
    return &plugin;
  };
  const std::shared_ptr<float> firstSize = load()->textSize;
  host.FindVariable("quillon_textsize")->SetText("4");
  descriptor.destroy();

  const auto* second = load();
  ASSERT_NE(second->textSize, nullptr);
  EXPECT_NE(second->textSize, firstSize);
  // The console kept its variable and value; the new share follows it from now on.
  EXPECT_EQ(*second->textSize, 4.0f);
  host.FindVariable("quillon_textsize")->SetText("5");
  EXPECT_EQ(*second->textSize, 5.0f);
  EXPECT_EQ(host.Variables().size(), std::size(kVariables));
  host.Disconnect(*connection);
  descriptor.destroy();
}

// --- The host's console -------------------------------------------------------------------------

struct ConsoleCase {
  const char* variable;
  const char* typed;
  const char* stored;  // nullptr: refused
};

class Console : public ::testing::TestWithParam<ConsoleCase> {};

TEST_P(Console, StoresClampsOrRefusesLikeAConsole) {
  testing_support::PluginSession session;
  const auto variable = session.Host().FindVariable(GetParam().variable);
  ASSERT_NE(variable, nullptr);
  const std::string before = variable->Text();
  const auto refused = variable->SetText(GetParam().typed);
  if (GetParam().stored == nullptr) {
    ASSERT_TRUE(refused.has_value());
    EXPECT_THAT(*refused, HasSubstr(GetParam().typed));
    EXPECT_EQ(variable->Text(), before);
  } else {
    EXPECT_FALSE(refused.has_value()) << *refused;
    EXPECT_EQ(variable->Text(), GetParam().stored);
  }
}

// A case's name for ctest: the variable and the typed text, in the letters and digits a test
// name may hold ("posx_Minus5", "color_1_2Point5_3_4"); the same in every build.
std::string ConsoleCaseName(const ::testing::TestParamInfo<ConsoleCase>& info) {
  std::string typed;
  for (const char c : std::string_view(info.param.typed)) {
    if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
      typed += c;
    } else if (c == '-') {
      typed += "Minus";
    } else if (c == '+') {
      typed += "Plus";
    } else if (c == '.') {
      typed += "Point";
    } else if (c == '#') {
      typed += "Hash";
    } else if (!typed.empty() && typed.back() != '_') {
      typed += '_';
    }
  }
  while (!typed.empty() && typed.back() == '_') typed.pop_back();
  const std::string_view variable = info.param.variable;
  return std::string(variable.substr(variable.find('_') + 1)) + "_" +
         (typed.empty() ? "Empty" : typed);
}

INSTANTIATE_TEST_SUITE_P(
    Values, Console,
    ::testing::Values(
        ConsoleCase{"quillon_posx", "250", "250"}, ConsoleCase{"quillon_posx", "20000", "10000"},
        ConsoleCase{"quillon_posx", "-5", "0"}, ConsoleCase{"quillon_textsize", " 2.50 ", "2.5"},
        ConsoleCase{"quillon_textsize", "inf", "10"},
        ConsoleCase{"quillon_textsize", "1e-3", "0.001"},
        ConsoleCase{"quillon_rgb_speed", "+1.5", "1.5"}, ConsoleCase{"quillon_enabled", "7", "1"},
        ConsoleCase{"quillon_textsize", "abc", nullptr},
        ConsoleCase{"quillon_textsize", "nan", nullptr},
        ConsoleCase{"quillon_textsize", "", nullptr},
        ConsoleCase{"quillon_textsize", "2x", nullptr},
        ConsoleCase{"quillon_color", "#FF8000", "(255, 128, 0, 255)"},
        ConsoleCase{"quillon_color", "#ff800040", "(255, 128, 0, 64)"},
        ConsoleCase{"quillon_color", "(1, 2.5, 3, 4)", "(1, 2.5, 3, 4)"},
        ConsoleCase{"quillon_color", "#FF80", nullptr},
        ConsoleCase{"quillon_color", "#GG0000", nullptr},
        ConsoleCase{"quillon_color", "(1, 2, 3)", nullptr},
        ConsoleCase{"quillon_color", "(1, 2, 3, 300)", nullptr},
        ConsoleCase{"quillon_color", "255", nullptr}),
    ConsoleCaseName);

TEST(Console, AnUnknownNameHasANullHandle) {
  testing_support::PluginSession session;
  // A handle's null test is not const, as in the host's SDK: it is made on named handles.
  CVarWrapper unknown = session.Plugin().cvarManager->getCvar("quillon_nonexistent");
  CVarWrapper known = session.Plugin().cvarManager->getCvar("quillon_enabled");
  EXPECT_FALSE(static_cast<bool>(unknown));
  EXPECT_TRUE(static_cast<bool>(known));
}

TEST(Console, RegisteringANameTwiceKeepsTheFirstVariable) {
  testing_support::PluginSession session;
  CVarWrapper again = session.Plugin().cvarManager->registerCvar(
      "quillon_textsize", "9", "another", false, false, 0.0f, false, 0.0f, false);
  EXPECT_EQ(again.getFloatValue(), 2.0f);
  EXPECT_EQ(session.Host().FindVariable("quillon_textsize")->Description(), "Quillon Text Size");
}

TEST(Console, ValuesStoredFromCodeAreClampedAndReachBoundValues) {
  testing_support::PluginSession session;
  CVarWrapper size = session.Plugin().cvarManager->getCvar("quillon_textsize");
  size.setValue(12.0f);
  EXPECT_EQ(*session.Plugin().textSize, 10.0f);
  size.setValue(0.25f);
  EXPECT_EQ(size.getStringValue(), "0.25");
  CVarWrapper enabled = session.Plugin().cvarManager->getCvar("quillon_enabled");
  enabled.setValue(1);
  EXPECT_TRUE(*session.Plugin().enabled);
  CVarWrapper color = session.Plugin().cvarManager->getCvar("quillon_color");
  color.setValue(LinearColor{255.0f, 0.0f, 0.0f, 255.0f});
  EXPECT_EQ(*session.Plugin().textColor, (LinearColor{255.0f, 0.0f, 0.0f, 255.0f}));
}

}  // namespace
