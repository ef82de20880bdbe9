#include "ScriptLine.h"

#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>

#include "HostClock.h"
#include "Overloaded.h"
#include "ValueText.h"

namespace host {
namespace {

template <typename Number>
void AppendNumber(std::string& line, Number value) {
  std::array<char, 32> digits{};
  const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
  line.append(digits.data(), end);
}

// A coordinate in its shortest text, unless the script would read that text (as a double, no
// larger than the largest float, then narrowed) as another float or refuse it, as it refuses
// "3.4028235e+38": then as the double it is.
void AppendCoordinate(std::string& line, float value) {
  const std::size_t start = line.size();
  AppendNumber(line, value);
  const auto read = pluginsdk::ParseNumber(std::string_view(line).substr(start));
  if (read && std::fabs(*read) <= FLT_MAX && static_cast<float>(*read) == value) return;
  line.resize(start);
  AppendNumber(line, static_cast<double>(value));
}

void AppendLocation(std::string& line, const char* step, const std::optional<Vector>& location) {
  line += step;
  if (!location) {
    line += " none";
    return;
  }
  for (const float coordinate : {location->X, location->Y, location->Z}) {
    line += ' ';
    AppendCoordinate(line, coordinate);
  }
}

// A word as the script reads it back: as it is, or in double quotes when it holds a blank or
// '#' or is empty.
void AppendWord(std::string& line, std::string_view word) {
  line += ' ';
  if (!word.empty() && word.find_first_of(" \t\r#\"") == std::string_view::npos) {
    line += word;
    return;
  }
  line += '"';
  line += word;
  line += '"';
}

void AppendQuoted(std::string& line, std::string_view text) {
  line += " \"";
  line += text;
  line += '"';
}

}  // namespace

const char* ModeWord(pluginsdk::GameMode mode) {
  switch (mode) {
    case pluginsdk::GameMode::Freeplay:
      return "freeplay";
    case pluginsdk::GameMode::Training:
      return "training";
    case pluginsdk::GameMode::Match:
      return "match";
    case pluginsdk::GameMode::Menu:
      break;
  }
  return "menu";
}

char* WriteExactTime(char* out, std::int64_t ticks) {
  constexpr std::int64_t kPerSecond = pluginsdk::HostClock::kTicksPerSecond;
  char* end = std::to_chars(out, out + 20, ticks / kPerSecond).ptr;
  *end = '.';
  // In 32 bits, which divide by ten faster: a recording makes one for every time it writes.
  auto rest = static_cast<std::uint32_t>(ticks % kPerSecond);
  for (int digit = 7; digit > 0; --digit, rest /= 10)
    end[digit] = static_cast<char>('0' + rest % 10);
  // Three decimals at least; more only where the tick needs them.
  int decimals = 7;
  while (decimals > 3 && end[decimals] == '0') --decimals;
  return end + 1 + decimals;
}

void AppendExactTime(std::string& line, std::int64_t ticks) {
  std::array<char, kExactTimeBytes> text{};
  line.append(text.data(), WriteExactTime(text.data(), ticks));
}

std::string ExactTime(std::int64_t ticks) {
  std::string text;
  AppendExactTime(text, ticks);
  return text;
}

void AppendAction(std::string& line, const StepAction& action) {
  std::visit(Overloaded{
                 [&](const SetMode& s) {
                   line += "mode ";
                   line += ModeWord(s.mode);
                 },
                 [&](const FireEvent& s) {
                   const std::string_view name = ShortEventName(s);
                   if (name.empty()) {
                     line += "event";
                     AppendQuoted(line, *s.function);
                   } else {
                     line += "event ";
                     line += name;
                   }
                 },
                 [&](const PlaceBall& s) { AppendLocation(line, "ball", s.location); },
                 [&](const PlaceCar& s) { AppendLocation(line, "car", s.location); },
                 [&](const SetGameState& s) {
                   line += s.present ? "gamestate present" : "gamestate none";
                 },
                 [&](const SetVariable& s) {
                   line += "set";
                   AppendWord(line, s.assignment->name);
                   AppendWord(line, s.assignment->value);
                 },
                 [&](const ShowVariable& s) {
                   line += "show";
                   AppendWord(line, *s.name);
                 },
                 [&](const DrawFrame& s) {
                   line += "frame";
                   if (s.image) AppendWord(line, s.image->string());
                 },
                 [&](const ShowSettings& s) {
                   line += "settings";
                   if (s.image) AppendWord(line, s.image->string());
                 },
                 [&](const ClickWidget& s) {
                   line += "click";
                   AppendQuoted(line, *s.label);
                 },
                 [&](const RunCommand& s) {
                   // Kept as the console splits it: quoted words are still quoted.
                   line += "command ";
                   line += *s.commandLine;
                 },
                 [&](const ExpectFrame& s) {
                   line += "expect";
                   AppendQuoted(line, *s.text);
                 },
                 [&](const SetScreen& s) {
                   line += "screen " + std::to_string(s.size.X) + ' ' + std::to_string(s.size.Y);
                 },
                 [&](const LostSteps& s) {
                   line += "lost ";
                   AppendNumber(line, s.count);
                 },
             },
             action);
}

bool Quotable(std::string_view text) {
  // Three searches for one byte each (memchr, which takes many bytes a step) cost less than one
  // loop that compares every byte three times, or find_first_of.
  return text.find('"') == std::string_view::npos && text.find('\n') == std::string_view::npos &&
         text.find('\r') == std::string_view::npos;
}

}  // namespace host
