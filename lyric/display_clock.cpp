#include "lyric/display_clock.h"

#include <cstdlib>

namespace {

// Lines within this many milliseconds of a line change fade between the two colours.
constexpr int kFadeMs = 500;
constexpr int kEdgeAlpha = 220;

// A scroll far outside any window still fits an int.
int ClampedPixels(double pixels) {
  const double kLimit = 1e6;
  if (pixels > kLimit) return static_cast<int>(kLimit);
  if (pixels < -kLimit) return static_cast<int>(-kLimit);
  return static_cast<int>(pixels);
}

// The part of the way from the current line to the next that lyric time t has gone, times span.
int ScrollTowardsNext(int t, int cur, const std::vector<LrcLine>& lines, int firstSpan, int span) {
  int count = static_cast<int>(lines.size());
  if (cur + 1 >= count) return 0;
  if (cur < 0) {
    int first = lines[0].nTime;
    return first > 0 ? ClampedPixels(static_cast<double>(t) / first * firstSpan) : 0;
  }
  // Lines that share a time have no way between them.
  double gap = static_cast<double>(lines[cur + 1].nTime) - lines[cur].nTime;
  if (gap <= 0) return 0;
  return ClampedPixels((static_cast<double>(t) - lines[cur].nTime) / gap * span);
}

}  // namespace

int LrcClock::Elapsed(DWORD now) const {
  return static_cast<int>((m_nState == kPlaying ? now : m_dwPause) - m_dwStart);
}

bool LrcClock::Play(DWORD now, int offset, const std::vector<LrcLine>& lines) {
  if (lines.empty()) return false;
  m_dwStart = now + offset;
  m_nCurLine = lines[0].nTime < 1 ? 0 : -1;
  m_nState = kPlaying;
  m_bStarted = true;
  return true;
}

void LrcClock::SetTime(DWORD now, int offset, int ms) {
  if (!m_bStarted) return;
  m_nState = kPlaying;
  m_dwStart = now + offset - ms;
  m_nCurLine = 0;
}

void LrcClock::Stop() {
  m_bStarted = false;
  m_dwStart = 0;
  m_nCurLine = 0;
  m_nState = kStopped;
}

bool LrcClock::Pause(DWORD now) {
  if (m_nState != kPlaying) return false;
  m_dwPause = now;
  m_nState = kPaused;
  return true;
}

bool LrcClock::Resume() {
  if (m_nState != kPaused) return false;
  m_nState = kPlaying;
  return true;
}

int AdvanceCurrentLine(int cur, int t, const std::vector<LrcLine>& lines) {
  int count = static_cast<int>(lines.size());
  while (cur + 1 < count && t > lines[cur + 1].nTime) ++cur;
  return cur;
}

int DockedScroll(int t, int cur, const std::vector<LrcLine>& lines, int lineHeight) {
  return ScrollTowardsNext(t, cur, lines, lineHeight, lineHeight);
}

int FloatingScroll(int t, int cur, const std::vector<LrcLine>& lines, int firstSpan, int span) {
  return ScrollTowardsNext(t, cur, lines, firstSpan, span);
}

float CurrentLineFade(int t, int nextTime) {
  int d = static_cast<int>(static_cast<long long>(t) - nextTime);
  return std::abs(d) < kFadeMs ? -static_cast<float>(d) / kFadeMs : 1.0f;
}

float OtherLineFade(int t, int lineTime) {
  long long d = static_cast<long long>(t) - lineTime;
  return d > -kFadeMs && d < 0 ? static_cast<float>(d) / kFadeMs + 1 : 0.0f;
}

COLORREF BlendColour(COLORREF other, COLORREF current, float f) {
  auto channel = [f](int from, int to) { return static_cast<BYTE>(from + (to - from) * f); };
  return RGB(channel(GetRValue(other), GetRValue(current)),
             channel(GetGValue(other), GetGValue(current)),
             channel(GetBValue(other), GetBValue(current)));
}

int EdgeFadeSize(int percent, int extent) {
  return percent > 0 ? static_cast<int>(percent / 100.0 * extent) : 0;
}

int EdgeFadeAlpha(int k, int size) {
  return size > 0 ? static_cast<int>(static_cast<float>(k) / size * kEdgeAlpha) : 0;
}
