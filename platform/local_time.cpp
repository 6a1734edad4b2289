// Wall clock and local-time formatting.
#include "platform/local_time.h"

#include <ctime>
#include <mutex>

namespace plat {
namespace {

std::mutex g_clock_mutex;  // constant-initialised: usable during static initialisation
bool g_clock_overridden = false;
std::int64_t g_clock_override = 0;

}  // namespace

std::int64_t WallClockNow() {
  {
    std::lock_guard<std::mutex> lock(g_clock_mutex);
    if (g_clock_overridden) return g_clock_override;
  }
  return static_cast<std::int64_t>(std::time(nullptr));
}

void OverrideWallClock(std::optional<std::int64_t> seconds) {
  std::lock_guard<std::mutex> lock(g_clock_mutex);
  g_clock_overridden = seconds.has_value();
  g_clock_override = seconds.value_or(0);
}

std::string FormatLocalTime(const char* format, std::int64_t when) {
  if (format == nullptr || format[0] == '\0') return {};
  static std::once_flag zone_once;
  std::call_once(zone_once, [] { tzset(); });

  const auto seconds = static_cast<std::time_t>(when);
  if (static_cast<std::int64_t>(seconds) != when) return {};
  std::tm parts{};
  if (localtime_r(&seconds, &parts) == nullptr) return {};  // out of the representable years

  // strftime reports 0 when the buffer is too small; one larger try, then give up.
  char small[256];
  std::size_t length = std::strftime(small, sizeof(small), format, &parts);
  if (length > 0) return std::string(small, length);
  char large[4096];
  length = std::strftime(large, sizeof(large), format, &parts);
  return std::string(large, length);
}

}  // namespace plat
