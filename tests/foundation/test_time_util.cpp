// Time formatting, the time-zone offset and tick arithmetic.
#include <gtest/gtest.h>

#include <windows.h>

#include <ctime>
#include <string>

#include "foundation/time_util.h"

using namespace em_utility;

namespace {

long OffsetWest() {
  _tzset();
  return _timezone;
}

// 2014-03-01 12:00:00 UTC.
constexpr long kMarch2014 = 1393675200;

}  // namespace

TEST(TimeUtil, FormatsIntoFixedBuffersAndFailuresLeaveAnEmptyText) {
  char utc[kUtcTimeTextSize];
  format_utc_time(kMarch2014, "%Y-%m-%d %H:%M:%S", utc);
  EXPECT_STREQ("2014-03-01 12:00:00", utc);
  char local[kLocalTimeTextSize] = "old";
  format_local_time(-1, "%Y", local);  // before 1970: no local time
  EXPECT_STREQ("", local);
  strcpy(local, "old");
  format_local_time(kMarch2014, std::string(200, 'x').c_str(), local);  // does not fit
  EXPECT_STREQ("", local);
}

TEST(TimeUtil, OffsetArithmeticDoesNotWrapAtTheEndsOfTheRange) {
  // A sum past the 32-bit range would wrap to 1901; it stops at the end of the range instead.
  long top = 0x7FFFFFFF;
  long bottom = -0x7FFFFFFF - 1;
  if (OffsetWest() > 0) {
    EXPECT_EQ(top, time_plus_offset(top));
  } else if (OffsetWest() < 0) {
    EXPECT_EQ(top, time_minus_offset(top));
  }
  EXPECT_EQ(top, seconds_between(-10, top));
  EXPECT_EQ(bottom, seconds_between(10, bottom));
}

TEST(TimeUtil, SecondsSinceTickWrapsLikeTheTickCounter) {
  EXPECT_EQ(2u, seconds_since_tick(1000, 3999));
  EXPECT_EQ(3u, seconds_since_tick(0xFFFFF830u, 1500));  // 2000 ms before the wrap, 1500 after
  EXPECT_LT(seconds_since_tick(GetTickCount(), 0), 2u);
}
