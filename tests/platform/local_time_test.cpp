// Wall clock override and local-time formatting in fixed time zones.
#include "platform/local_time.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <optional>
#include <string>

namespace {

class TimeZoneFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = ::getenv("TZ")) saved_ = old;
  }
  void TearDown() override {
    if (saved_) {
      ::setenv("TZ", saved_->c_str(), 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
    plat::OverrideWallClock(std::nullopt);
  }
  static void UseZone(const char* zone) {
    ::setenv("TZ", zone, 1);
    ::tzset();
  }
  std::optional<std::string> saved_;
};

TEST_F(TimeZoneFixture, FormatsInLocalZone) {
  // 2001-09-09 01:46:40 UTC
  const std::int64_t when = 1000000000;
  UseZone("UTC0");
  EXPECT_EQ(plat::FormatLocalTime("%Y/%m/%d %H:%M:%S", when), "2001/09/09 01:46:40");
  UseZone("JST-9");
  EXPECT_EQ(plat::FormatLocalTime("%Y/%m/%d %H:%M:%S", when), "2001/09/09 10:46:40");
  EXPECT_EQ(plat::FormatLocalTime("%H", 0), "09");
}

TEST_F(TimeZoneFixture, TimeFormatEdgeCases) {
  UseZone("UTC0");
  EXPECT_EQ(plat::FormatLocalTime(nullptr, 0), "");
  EXPECT_EQ(plat::FormatLocalTime("", 0), "");
  EXPECT_EQ(plat::FormatLocalTime("%Y", -86400), "1969");
  // Longer than the first buffer: still complete.
  std::string format;
  std::string expected;
  for (int i = 0; i < 200; ++i) {
    format += "%Y";
    expected += "1970";
  }
  EXPECT_EQ(plat::FormatLocalTime(format.c_str(), 0), expected);
  // Years no calendar can hold give an empty text rather than garbage.
  EXPECT_EQ(plat::FormatLocalTime("%Y", std::numeric_limits<std::int64_t>::max()), "");
  EXPECT_EQ(plat::FormatLocalTime("%Y", std::numeric_limits<std::int64_t>::min()), "");
}

TEST_F(TimeZoneFixture, WallClockOverride) {
  plat::OverrideWallClock(1234);
  EXPECT_EQ(plat::WallClockNow(), 1234);
  plat::OverrideWallClock(std::nullopt);
  const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
  EXPECT_LE(std::abs(plat::WallClockNow() - now), 5);
}

}  // namespace
