// One timed line of an LRC lyric, and the text encodings a lyric file can announce.
#pragma once

#include "winlayer/cstring.h"

// One (time tag, text) pair. A file line with several time tags gives one LrcLine per tag, all
// with the same text.
struct LrcLine {
  int nTime;        // start, in milliseconds
  CString strText;  // what follows the line's last tag, without the line end; may be empty
  int nWidth;       // pixels in the display font; 0 until the display window measures it
};

// Orders lines by start time.
inline bool LrcLineLess(const LrcLine& a, const LrcLine& b) {
  return a.nTime < b.nTime;
}

// What the first two bytes of a lyric file say about its text.
enum LrcEncoding {
  LrcEncodingUtf8 = 1,     // no UTF-16 mark: read as UTF-8
  LrcEncodingUtf16LE = 2,  // FF FE
  LrcEncodingUtf16BE = 3,  // FE FF
};
