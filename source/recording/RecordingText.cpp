#include "RecordingText.h"

#include <array>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace quillon::recording {

std::int64_t ScriptTicks(std::int64_t counterTicks, std::int64_t frequency) {
  if (frequency <= 0) return 0;
  return counterTicks / frequency * kTicksPerSecond +
         counterTicks % frequency * kTicksPerSecond / frequency;
}

void AppendTime(std::string& out, std::int64_t scriptTicks) {
  if (scriptTicks < 0) scriptTicks = 0;
  std::array<char, 32> digits{};
  const auto whole =
      std::to_chars(digits.data(), digits.data() + digits.size(), scriptTicks / kTicksPerSecond);
  out.append(digits.data(), whole.ptr);
  out += '.';
  std::int64_t fraction = scriptTicks % kTicksPerSecond;
  char decimals[7];
  for (int i = 6; i >= 0; --i) {
    decimals[i] = static_cast<char>('0' + fraction % 10);
    fraction /= 10;
  }
  int used = 7;
  while (used > 3 && decimals[used - 1] == '0') --used;
  out.append(decimals, static_cast<std::size_t>(used));
}

void AppendNumber(std::string& out, double value) {
  std::array<char, 64> text{};
  const bool whole = std::trunc(value) == value && std::fabs(value) < 1e15;
  const auto end = whole ? std::to_chars(text.data(), text.data() + text.size(),
                                         static_cast<std::int64_t>(value))
                         : std::to_chars(text.data(), text.data() + text.size(), value);
  out.append(text.data(), end.ptr);
}

std::string_view EventName(GameEvent event) {
  static constexpr std::string_view kNames[] = {
      "init",       "destroyed",  "jump",    "landed", "dodge",
      "ballground", "roundstart", "explode", "pause",  "unpause",
  };
  return kNames[static_cast<std::size_t>(event)];
}

std::string_view ModeName(GameMode mode) {
  static constexpr std::string_view kNames[] = {"menu", "freeplay", "training", "match"};
  return kNames[static_cast<std::size_t>(mode)];
}

std::string_view ModeWords(GameMode mode) {
  static constexpr std::string_view kWords[] = {"the menu", "free play", "custom training",
                                                "a match"};
  return kWords[static_cast<std::size_t>(mode)];
}

namespace {

struct CivilTime {
  int year;
  unsigned month, day;
  long long hours, minutes, seconds;
};

CivilTime Civil(std::int64_t utcSeconds) {
  using namespace std::chrono;
  const sys_seconds moment{seconds(utcSeconds)};
  const sys_days day = floor<days>(moment);
  const year_month_day date{day};
  const long long inDay = (moment - day).count();
  return {static_cast<int>(date.year()),
          static_cast<unsigned>(date.month()),
          static_cast<unsigned>(date.day()),
          inDay / 3600,
          inDay / 60 % 60,
          inDay % 60};
}

}  // namespace

std::string FileStamp(std::int64_t utcSeconds) {
  const CivilTime t = Civil(utcSeconds);
  std::array<char, 48> text{};
  std::snprintf(text.data(), text.size(), "%04d%02u%02uT%02lld%02lld%02lldZ", t.year, t.month,
                t.day, t.hours, t.minutes, t.seconds);
  return text.data();
}

std::string ReadableUtc(std::int64_t utcSeconds) {
  const CivilTime t = Civil(utcSeconds);
  std::array<char, 48> text{};
  std::snprintf(text.data(), text.size(), "%04d-%02u-%02u %02lld:%02lld:%02lld UTC", t.year,
                t.month, t.day, t.hours, t.minutes, t.seconds);
  return text.data();
}

std::string Utf8(const std::filesystem::path& path) {
  const auto text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace quillon::recording
