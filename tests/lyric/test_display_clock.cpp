// The display window's clock and line positions at chosen tick counts, without a window.
#include <gtest/gtest.h>

#include <vector>

#include "lyric/display_clock.h"

namespace {

std::vector<LrcLine> Lines(std::initializer_list<int> times) {
  std::vector<LrcLine> lines;
  for (int t : times) lines.push_back(LrcLine{t, CString(L"x"), 0});
  return lines;
}

}  // namespace

TEST(DisplayClock, FollowsPlaySetTimePauseAndTheTickWrap) {
  std::vector<LrcLine> lines = Lines({1000, 2000});
  LrcClock clock;
  clock.SetTime(5000, 0, 700);  // before any Play: nothing
  EXPECT_EQ(LrcClock::kStopped, clock.m_nState);
  EXPECT_FALSE(clock.Play(0, 0, Lines({})));

  // Started just before the tick count wraps, with an offset of +500: lines come 500 ms later.
  const DWORD start = 0xFFFFFF00u;
  ASSERT_TRUE(clock.Play(start, 500, lines));
  EXPECT_EQ(-1, clock.m_nCurLine);  // the first line starts after 0
  EXPECT_EQ(1000 - 500, clock.Elapsed(start + 1000));
  EXPECT_TRUE(clock.Pause(start + 1200));
  EXPECT_FALSE(clock.Pause(start + 1300));
  EXPECT_EQ(700, clock.Elapsed(start + 9000));  // frozen while paused
  clock.SetTime(start + 9000, 500, 1500);  // resumes at play time 1500, the offset still applied
  EXPECT_EQ(LrcClock::kPlaying, clock.m_nState);
  EXPECT_EQ(0, clock.m_nCurLine);
  EXPECT_EQ(1500 - 500 + 100, clock.Elapsed(start + 9100));
  clock.Stop();
  EXPECT_FALSE(clock.m_bStarted);

  LrcClock atZero;
  atZero.Play(0, 0, Lines({0, 10}));
  EXPECT_EQ(0, atZero.m_nCurLine);
}

TEST(DisplayClock, ScrollAndCurrentLineFollowTheTime) {
  std::vector<LrcLine> lines = Lines({1000, 2000, 4000});
  struct {
    int t;
    int startLine;
    int line;
    int scroll;
  } cases[] = {{500, -1, -1, 7}, {1500, -1, 0, 7}, {3000, 0, 1, 7},
               {2000, 1, 1, 0},  {9000, 1, 2, 0},  {0, 0, 0, -14}};
  for (const auto& c : cases) {
    int line = AdvanceCurrentLine(c.startLine, c.t, lines);
    EXPECT_EQ(c.line, line) << c.t;
    EXPECT_EQ(c.scroll, DockedScroll(c.t, line, lines, 14)) << c.t;
  }
}

// Lines sharing a time (several tags on one lyric line) have no gap to divide by.
TEST(DisplayClock, LinesOfEqualTimeDoNotScroll) {
  std::vector<LrcLine> lines = Lines({1000, 1000, 3000});
  EXPECT_EQ(0, DockedScroll(500, 0, lines, 14));
  EXPECT_EQ(0, FloatingScroll(500, 0, lines, 100, 60));
  EXPECT_EQ(0, DockedScroll(500, -1, Lines({0, 1000}), 14));
  EXPECT_EQ(0, EdgeFadeSize(20, 4));  // an edge thinner than a row
  EXPECT_EQ(0, EdgeFadeAlpha(0, 0));
}

TEST(DisplayClock, FadesBlendTheColoursNearALineChange) {
  const COLORREF other = 0x7D7D7D;
  const COLORREF current = 0x00FF00;
  struct {
    float f;
    COLORREF colour;
  } cases[] = {{CurrentLineFade(1000, 3000), current}, {CurrentLineFade(2750, 3000), 0x3EBE3E},
               {CurrentLineFade(3000, 3000), other},   {OtherLineFade(2750, 3000), 0x3EBE3E},
               {OtherLineFade(2500, 3000), other},     {OtherLineFade(3000, 3000), other}};
  for (const auto& c : cases) EXPECT_EQ(c.colour, BlendColour(other, current, c.f)) << c.f;

  EXPECT_EQ(20, EdgeFadeSize(5 * 4, 100));
  EXPECT_EQ(220, EdgeFadeAlpha(20, 20));
  EXPECT_EQ(110, EdgeFadeAlpha(10, 20));
}
