#include "PlotText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "imgui.h"

namespace quillon {
namespace {

constexpr float kRoomAboveTop = 0.8f;  // for the title along the plot's top edge
constexpr std::string_view kBestLabel = ": best chain ";

struct CivilDate {
  std::int32_t year;
  unsigned month;
  unsigned day;
};

// The civil date of a day counted from 1970-01-01 (proleptic Gregorian calendar), by eras of
// 400 years, which repeat exactly.
CivilDate DateOf(std::int32_t days) {
  const std::int32_t shifted = days + 719468;  // from 0000-03-01: leap days end a year
  const std::int32_t era = (shifted >= 0 ? shifted : shifted - 146096) / 146097;
  const auto dayOfEra = static_cast<unsigned>(shifted - era * 146097);
  const unsigned yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const unsigned monthFromMarch = (5 * dayOfYear + 2) / 153;
  const unsigned day = dayOfYear - (153 * monthFromMarch + 2) / 5 + 1;
  const unsigned month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
  const auto year = static_cast<std::int32_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
  return {year, month, day};
}

// Writes `value` with at least `width` digits, zeros in front.
char* WritePadded(char* out, unsigned value, int width) {
  for (int i = width - 1; i >= 0; --i, value /= 10) out[i] = static_cast<char>('0' + value % 10);
  return out + width;
}

}  // namespace

void LogPlotValues(std::string_view kind, const float* values, int count) {
  ImGui::LogText("\n[%.*s:", static_cast<int>(kind.size()), kind.data());
  if (count <= 0) ImGui::LogText(" -");
  for (int i = 0; i < count; ++i) {
    PlotValueText text;
    const std::string_view value = FormatPlotValue(values[i], text);
    ImGui::LogText(" %.*s", static_cast<int>(value.size()), value.data());
  }
  ImGui::LogText("]");
}

float PlotScaleTop(const float* values, int count) {
  float largest = 0.0f;
  for (int i = 0; i < count; ++i) {
    if (std::isfinite(values[i])) largest = std::max(largest, values[i]);
  }
  return largest > 0.0f ? largest * (1.0f + kRoomAboveTop) : 1.0f;
}

PlotScale LineScale(const float* values, int count) {
  float lowest = INFINITY;
  float highest = 0.0f;
  for (int i = 0; i < count; ++i) {
    if (!std::isfinite(values[i])) continue;
    lowest = std::min(lowest, values[i]);
    highest = std::max(highest, values[i]);
  }
  if (!std::isfinite(lowest) || lowest >= highest) return {0.0f, PlotScaleTop(values, count)};
  const float bottom = std::max(0.0f, lowest - (highest - lowest) / 2.0f);
  return {bottom, highest + (highest - bottom) * kRoomAboveTop};
}

int NearestPoint(float x, float left, float right, int count) {
  if (count <= 1 || !(right > left)) return 0;
  const float share = std::clamp((x - left) / (right - left), 0.0f, 1.0f);
  return static_cast<int>(std::lround(share * static_cast<float>(count - 1)));
}

std::string_view FormatPlotValue(float value, PlotValueText& text) {
  const auto end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
  return {text.data(), static_cast<std::size_t>(end - text.data())};
}

std::string_view FormatDayPoint(std::int32_t day, float best, DayPointText& text) {
  char* out = text.data();
  // Outside these days a date's year would not be four digits.
  constexpr std::int32_t kFirstDay = -719528;  // 0000-01-01
  constexpr std::int32_t kLastDay = 2932896;   // 9999-12-31
  if (day < kFirstDay || day > kLastDay) {
    *out++ = '?';
  } else {
    const CivilDate date = DateOf(day);
    out = WritePadded(out, static_cast<unsigned>(date.year), 4);
    *out++ = '-';
    out = WritePadded(out, date.month, 2);
    *out++ = '-';
    out = WritePadded(out, date.day, 2);
  }
  out = std::copy(kBestLabel.begin(), kBestLabel.end(), out);
  PlotValueText value;
  const std::string_view digits = FormatPlotValue(best, value);
  out = std::copy(digits.begin(), digits.end(), out);
  return {text.data(), static_cast<std::size_t>(out - text.data())};
}

}  // namespace quillon
