// Wall-clock time in the local zone, formatted with strftime-style formats.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace plat {

// Seconds since the epoch; the override, when set, is returned instead (tests).
std::int64_t WallClockNow();
void OverrideWallClock(std::optional<std::int64_t> seconds);

// strftime of `when` in local time. Result is ASCII for the formats the programs use.
std::string FormatLocalTime(const char* format, std::int64_t when);

}  // namespace plat
