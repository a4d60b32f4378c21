// Time tags in the editor's text: "[mm:ss.xx]" at the start of a lyric line. What F5/F6 insert
// and what F7/F8 shift, as text in and text out, so the edit box only carries out the result.
#pragma once

#include "winlayer/cstring.h"

// The tag of a play position in seconds: whole minutes, whole seconds and truncated hundredths,
// two digits each ("[01:05.43]" for 65.437 s; minutes from 100 on take three digits).
CString FormatInsertTag(double seconds);

// Whether text (normally the first ten characters of a line) starts with a time tag: 5 to 10
// characters, "[" first, a digit second, and a ":" and a "]" somewhere.
bool IsTimeTagLine(const CString& text);

// What F5 (keep) or F6 does to the line whose first characters are prefix: replace the first
// replaceCount characters of the line by text.
struct TagInsertion {
  int replaceCount;
  CString text;
  bool moveToNextLine;  // the caret goes down a line (else it stays after the new tag)
};
// F5 puts the tag in front of the line. F6 puts it in place of the tag that the line starts
// with, and only that tag: whatever follows the tag's "]" stays.
TagInsertion PlanTagInsertion(const CString& prefix, const CString& tag, bool keep);

// Every "[...]" of text that IsTimeTagLine accepts moves by deltaMs. Minutes and seconds are
// read on either side of the ":", a time below zero stops at zero, and the written tag is
// rounded to hundredths ("[01:00.00]", never "[00:60.00]").
CString ShiftTimeTagsText(const CString& text, int deltaMs);

// The tag "[mm:ss.xx]" of a time in milliseconds (below zero: zero), rounded to hundredths.
CString FormatShiftedTag(int ms);
