// The numbers inside LRC tags, read the way lyric files have always been read: a number is the
// longest readable prefix of the text after leading blanks, and text with no number in front
// reads as 0. Each function reads the characters from begin up to end.
#pragma once

// A decimal integer with an optional sign ("+500", " -200", "12abc" -> 12). Values beyond the
// 32-bit range stick at its ends.
int ReadTagInt(const wchar_t* begin, const wchar_t* end);

// A decimal number with optional sign, fraction and exponent ("12.50", "1e1", "01:02" -> 1.0).
double ReadTagDouble(const wchar_t* begin, const wchar_t* end);

// The milliseconds of a time tag [minutes:seconds]: seconds x 1000 + minutes x 60000 in double
// precision, truncated toward zero; times beyond the 32-bit range stick at its ends.
int TagTimeMs(const wchar_t* minutesBegin, const wchar_t* minutesEnd, const wchar_t* secondsBegin,
              const wchar_t* secondsEnd);
