#pragma once
// The pieces of a recording's lines: times, numbers, names and stamps, all locale-free.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "StepRecord.h"

namespace quillon::recording {

inline constexpr std::int64_t kTicksPerSecond = 10'000'000;  // the script's 100 ns ticks

// Counter ticks at `frequency` a second as script ticks, without overflow.
std::int64_t ScriptTicks(std::int64_t counterTicks, std::int64_t frequency);
// Seconds with three decimals, or as many as the tick needs ("3.0000345").
void AppendTime(std::string& out, std::int64_t scriptTicks);
// A number that reads back as the very same value: whole numbers as integers, others in the
// shortest form of the double (a float widened first, so no text of it falls out of range).
void AppendNumber(std::string& out, double value);

std::string_view EventName(GameEvent event);
std::string_view ModeName(GameMode mode);
// "free play", "custom training", ...
std::string_view ModeWords(GameMode mode);

// UTC seconds since 1970 as 20261208T073000Z and as 2026-12-08 07:30:00 UTC.
std::string FileStamp(std::int64_t utcSeconds);
std::string ReadableUtc(std::int64_t utcSeconds);
// A path as UTF-8 text, for the console and the page.
std::string Utf8(const std::filesystem::path& path);

}  // namespace quillon::recording
