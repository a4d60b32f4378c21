#include "foundation/time_util.h"

#include <windows.h>

#include <cstdio>
#include <ctime>
#include <cwchar>

namespace em_utility {

namespace {

long Offset() {
  _tzset();
  return _timezone;
}

long Now() {
  return static_cast<long>(std::time(nullptr));
}

// Sums in 64 bits and keeps what fits 32: the offset moves a time by at most a day, which only
// matters at the ends of the range.
long Clamp(long long value) {
  if (value > 0x7FFFFFFFLL) return 0x7FFFFFFF;
  if (value < -0x7FFFFFFFLL - 1) return -0x7FFFFFFF - 1;
  return static_cast<long>(value);
}

bool Convert(long time, bool local, std::tm* out) {
  __time64_t t = time;
  return (local ? _localtime64_s(out, &t) : _gmtime64_s(out, &t)) == 0;
}

template <size_t N>
void Format(long time, bool local, const char* format, char (&out)[N]) {
  out[0] = 0;
  std::tm tm;
  if (!format || !Convert(time, local, &tm)) return;
  if (std::strftime(out, N, format, &tm) == 0) out[0] = 0;
}

}  // namespace

void format_local_time(long time, const char* format, char (&out)[kLocalTimeTextSize]) {
  Format(time, true, format, out);
}

void format_local_time(long time, const wchar_t* format, wchar_t (&out)[kLocalTimeTextSize]) {
  out[0] = 0;
  std::tm tm;
  if (!format || !Convert(time, true, &tm)) return;
  if (std::wcsftime(out, kLocalTimeTextSize, format, &tm) == 0) out[0] = 0;
}

void format_utc_time(long time, const char* format, char (&out)[kUtcTimeTextSize]) {
  Format(time, false, format, out);
}

long time_minus_offset(long time) {
  if (time == 0) return Now();
  return Clamp(static_cast<long long>(time) - Offset());
}

long time_plus_offset(long time) {
  return Clamp(static_cast<long long>(time == 0 ? Now() : time) + Offset());
}

long seconds_between(long from, long to) {
  if (from == 0) return 0;
  long long end = to == 0 ? static_cast<long long>(Now()) + Offset() : to;
  return Clamp(end - from);
}

std::uint32_t seconds_since_tick(std::uint32_t start, std::uint32_t end) {
  std::uint32_t stop = end == 0 ? GetTickCount() : end;
  return (stop - start) / 1000;
}

tick_timer::tick_timer(std::uint32_t interval_ms) : m_interval(interval_ms) {}

void tick_timer::mark() {
  m_ticks.push_back(GetTickCount());
}

void tick_timer::restart() {
  m_ticks.clear();
  mark();
}

bool tick_timer::due() {
  mark();
  return span() >= m_interval;
}

std::uint32_t tick_timer::span() const {
  return m_ticks.size() < 2 ? 0 : m_ticks.back() - m_ticks.front();
}

std::string tick_timer::report() const {
  std::string text;
  for (size_t i = 1; i < m_ticks.size(); ++i) {
    char piece[48];
    std::snprintf(piece, sizeof(piece), "%u=%u%s", static_cast<unsigned>(i),
                  static_cast<unsigned>(m_ticks[i] - m_ticks[i - 1]),
                  i + 1 == m_ticks.size() ? "(end). " : ", ");
    text += piece;
  }
  return text;
}

}  // namespace em_utility
