// Time formatting, the time-zone offset, and tick timing. Times are seconds since 1970 in 32
// bits; the offset is the run-time library's, in seconds west of UTC.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace em_utility {

constexpr int kLocalTimeTextSize = 127;
constexpr int kUtcTimeTextSize = 128;

// The time as local time, formatted with strftime's format; an empty text when the time cannot
// be converted (or the text does not fit).
void format_local_time(long time, const char* format, char (&out)[kLocalTimeTextSize]);
void format_local_time(long time, const wchar_t* format, wchar_t (&out)[kLocalTimeTextSize]);
// The same in UTC.
void format_utc_time(long time, const char* format, char (&out)[kUtcTimeTextSize]);

// time minus the offset; 0 stands for the current time (returned as it is).
long time_minus_offset(long time);
// time plus the offset; 0 stands for the current time.
long time_plus_offset(long time);
// Whole seconds from from to to; a to of 0 stands for the current time plus the offset. 0 when
// from is 0.
long seconds_between(long from, long to);
// (end - start) / 1000 in unsigned arithmetic (wrapping tick counts work); an end of 0 stands
// for the current tick count.
std::uint32_t seconds_since_tick(std::uint32_t start, std::uint32_t end);

// Tick counts marked along a piece of work, against an interval in milliseconds.
class tick_timer {
 public:
  explicit tick_timer(std::uint32_t interval_ms);

  // Appends the current tick count.
  void mark();
  // Forgets every mark, then marks.
  void restart();
  // Marks, then whether the last mark is at least the interval after the first.
  bool due();
  // The last mark minus the first; 0 with fewer than two marks.
  std::uint32_t span() const;
  // For each mark after the first: its index, "=", its distance to the previous mark, then ", "
  // or, after the last, "(end). ". Empty with fewer than two marks.
  std::string report() const;

 private:
  std::vector<std::uint32_t> m_ticks;
  std::uint32_t m_interval;
};

}  // namespace em_utility
