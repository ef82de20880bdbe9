#pragma once
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <type_traits>
#include <variant>
#include <vector>

#include "Patterns.h"
#include "PluginSession.h"
#include "VariableTable.h"

namespace testing_support {

// Plays a practice written as words, from free play past its practice check: "+1.5" moves the
// clock on by that many seconds, "ball:Z" puts the ball's centre Z units up, "reset" is a landing
// with the car in the air and the dodge after it, "init" begins a game event and waits out its
// practice check; any other word runs that game function (jump, ballground, roundstart, ...).
class Practice {
 public:
  explicit Practice(PluginSession& session) : session_(session) {
    session_.StartFreeplay();
    session_.Car(300.0f);
  }

  void Play(std::string_view words) {
    std::istringstream stream{std::string(words)};
    for (std::string word; stream >> word;) {
      if (word.starts_with('+')) {
        now_ += std::stod(word.substr(1));
        session_.At(now_);
      } else if (word.starts_with("ball:")) {
        session_.Ball(std::stof(word.substr(5)));
      } else if (word == "reset") {
        session_.Fire("landed");
        session_.Fire("dodge");
      } else if (word == "init") {
        session_.Fire("init");
        now_ += 3.0;
        session_.At(now_);
      } else {
        session_.Fire(word);
      }
    }
  }

 private:
  PluginSession& session_;
  double now_ = 3.0;  // StartFreeplay ends there
};

// The lines of a text file; none when it does not exist.
inline std::vector<std::string> FileLines(const std::filesystem::path& path) {
  std::ifstream file(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  return lines;
}

inline std::string FileText(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

inline std::filesystem::path ChainLogPath(const std::filesystem::path& dataFolder) {
  return dataFolder / "quillon" / "chains.csv";
}

// The resets of every chain line in the chain log, in order.
inline std::vector<int> LoggedResets(const std::filesystem::path& log) {
  std::vector<int> resets;
  for (const std::string& line : FileLines(log)) {
    // The resets follow the time's comma.
    if (MatchesPattern(line, R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ,\d+,.*)")) {
      resets.push_back(std::stoi(line.substr(line.find(',') + 1)));
    }
  }
  return resets;
}

// Waits until what another thread (the chain log's writer) does shows. It ends as soon as it
// shows; the bound, false after 5 minutes, only stops a test that would otherwise hang, however
// loaded the machine.
inline bool Eventually(const std::function<bool()>& shown) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(5);
  while (!shown()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// The page's statistics section of a session with no chain yet and no chain log, as it follows
// the settings.
inline const std::vector<std::string> kFreshStatistics{
    "--------------------------------",
    "Session statistics",
    "Chains: 0",
    "Resets: 0",
    "Best chain: 0",
    "Highest reset: -",
    "Average time between resets: -",
    "All-time best chain: 0",
    "Resets per chain (last 50)",
    "[histogram: -]",
    "Days practised: 0",
    "Best chain per day",
    "[lines: -]",
    "[ Clear statistics ]",
};

// The variables added after the sixteen the overlay began with, which the page shows after
// "RGB Cycle Speed", as the plugin's table declares them.
inline std::span<const quillon::cvar::Variable> LaterVariables() {
  const std::span<const quillon::cvar::Variable> all = quillon::cvar::kVariables;
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (std::string_view(all[i].name) == quillon::cvar::kRgbSpeed) return all.subspan(i + 1);
  }
  return {};
}

// A widget's lines as the page's text shows them, for a variable whose value the console writes as
// `value` (a colour as "(R, G, B, A)" or "#RRGGBB").
inline std::vector<std::string> PageLines(const quillon::cvar::Variable& variable,
                                          const std::string& value) {
  const std::string label = variable.label;
  return std::visit(
      [&]<typename Value>(const quillon::cvar::Bound<Value>&) -> std::vector<std::string> {
        if constexpr (std::is_same_v<Value, bool>) {
          return {(value == "1" ? "[x] " : "[ ] ") + label};
        } else if constexpr (std::is_same_v<Value, int>) {
          return {"{ " + value + " } " + label};
        } else if constexpr (std::is_same_v<Value, float>) {
          char digits[64];
          std::snprintf(digits, sizeof digits, "%.3f", std::stof(value));
          return {"{ " + std::string(digits) + " } " + label};
        } else {
          unsigned channel[4] = {0, 0, 0, 255};
          if (value.starts_with("#")) {
            for (int i = 0; i < 3; ++i)
              channel[i] = std::stoul(value.substr(1 + 2 * i, 2), nullptr, 16);
          } else {
            std::sscanf(value.c_str(), "(%u, %u, %u, %u)", &channel[0], &channel[1], &channel[2],
                        &channel[3]);
          }
          return {label, "[colour " + std::to_string(channel[0]) + " " +
                             std::to_string(channel[1]) + " " + std::to_string(channel[2]) + " " +
                             std::to_string(channel[3]) + "]"};
        }
      },
      variable.bound);
}

// The later variables' widgets, each showing the value `valueOf` gives for its name.
inline std::vector<std::string> LaterSettings(
    const std::function<std::string(const char*)>& valueOf) {
  std::vector<std::string> lines;
  for (const auto& variable : LaterVariables()) {
    for (auto& line : PageLines(variable, valueOf(variable.name))) lines.push_back(std::move(line));
  }
  return lines;
}

// The same at their defaults.
inline const std::vector<std::string> kLaterSettings = LaterSettings([](const char* name) {
  for (const auto& variable : quillon::cvar::kVariables) {
    if (std::string_view(variable.name) == name) return std::string(variable.defaultValue);
  }
  return std::string();
});

// The page's statistics section as a player reads it: its lines, the plots' titles and values,
// and the button.
inline std::vector<std::string> StatisticsLines(const std::vector<std::string>& page) {
  for (std::size_t i = 0; i < page.size(); ++i) {
    if (page[i] == "Session statistics") return {page.begin() + static_cast<long>(i), page.end()};
  }
  return {};
}

}  // namespace testing_support
