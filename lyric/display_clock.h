// The lyric display's own clock, and where its lines stand and how they are coloured at a
// given lyric time. Every function takes the tick count it works with, so the display window
// passes GetTickCount() and tests pass the ticks they choose.
//
// All tick arithmetic is done as (int)(now - start): the 32-bit tick count wraps every 49.7
// days and the differences stay right across the wrap.
#pragma once

#include <windows.h>

#include <vector>

#include "lyric/lrc_line.h"

struct LrcClock {
  enum State { kStopped = 0, kPlaying = 1, kPaused = 2 };

  // The lyric time in milliseconds: from m_dwStart to now while playing, to m_dwPause otherwise.
  int Elapsed(DWORD now) const;
  // Starts from lyric time 0 (minus the document's offset). False for a document without lines.
  bool Play(DWORD now, int offset, const std::vector<LrcLine>& lines);
  // Jumps to lyric time ms and plays; nothing before Play.
  void SetTime(DWORD now, int offset, int ms);
  void Stop();
  // True when it was playing.
  bool Pause(DWORD now);
  // True when it was paused.
  bool Resume();

  int m_nState = kStopped;
  DWORD m_dwStart = 0;
  DWORD m_dwPause = 0;
  int m_nCurLine = 0;  // -1 before the first line
  bool m_bStarted = false;
};

// The current line at lyric time t, moving on from cur past every line that has started.
int AdvanceCurrentLine(int cur, int t, const std::vector<LrcLine>& lines);

// How far the docked lines have scrolled up from the current line towards the next one, in
// pixels (lineHeight per line). 0 without a next line, and when the two lines share a time.
int DockedScroll(int t, int cur, const std::vector<LrcLine>& lines, int lineHeight);
// The same for the floating line, which moves sideways: span is the distance to the next line.
int FloatingScroll(int t, int cur, const std::vector<LrcLine>& lines, int firstSpan, int span);

// The weight f of the current colour, for BlendColour(other, current, f). The current line has
// 1, falling to 0 during the 500 ms before the next line starts.
float CurrentLineFade(int t, int nextTime);
// Another line has 0, rising towards 1 during the 500 ms before it starts.
float OtherLineFade(int t, int lineTime);
// other + (current - other) x f, per channel, truncated.
COLORREF BlendColour(COLORREF other, COLORREF current, float f);

// Rows (or columns) of the edge fade: percent of extent.
int EdgeFadeSize(int percent, int extent);
// Opacity (0..220) of the fade's row k steps in from its inner end: k = size is the outermost.
int EdgeFadeAlpha(int k, int size);
