#include "lyric/time_tag.h"

#include <cmath>
#include <cwchar>
#include <cwctype>
#include <string>

#include "foundation/ascii.h"
#include "lyric/lrc_tag_number.h"

namespace {

// "[%2d:%2d.%2d]" with its blanks as zeros.
CString ZeroFilled(CString tag) {
  tag.Replace(L' ', L'0');
  return tag;
}

// A tag is looked for within the first characters of a line only.
constexpr int kTagPrefixLength = 10;

bool IsTimeTagChars(const wchar_t* text, int length) {
  if (length < 5 || length > kTagPrefixLength || text[0] != L'[' || !ascii::IsDigit(text[1])) {
    return false;
  }
  return wmemchr(text, L':', length) && wmemchr(text, L']', length);
}

// The tag's time moved by delta, in milliseconds. The seconds are read in single precision and
// truncated to the millisecond, as the shift has always read tags; the one rounding is to the
// hundredths the tag is written with (rounding here as well would round "1.2345" twice, to 1.74).
// Computed in double, which holds these sums exactly; an int conversion is one instruction where
// a 64-bit one is a library call. Times out of any tag's reach stop at a bound that the writer's
// arithmetic still holds.
long long ShiftedMs(int minutes, double seconds, int delta) {
  constexpr double kBound = 1e14;
  auto bounded = [](double value) {
    return value < -kBound ? -kBound : value > kBound ? kBound : value;
  };
  auto fitsInt = [](double value) { return value > -2147483648.0 && value < 2147483647.0; };
  const double thousandths = static_cast<double>(static_cast<float>(bounded(seconds))) * 1000;
  double ms = (fitsInt(thousandths) ? static_cast<int>(thousandths) : std::trunc(thousandths)) +
              minutes * 60000.0 + delta;
  if (fitsInt(ms)) return static_cast<int>(ms);
  return static_cast<long long>(bounded(ms));
}

// Writes value with at least two digits at out; returns the end. (32-bit arithmetic: 64-bit
// division is a library call on this processor, and tags are shifted by the thousand.)
wchar_t* WriteTwoDigits(wchar_t* out, unsigned value) {
  wchar_t digits[12];
  int count = 0;
  do {
    digits[count++] = static_cast<wchar_t>(L'0' + value % 10);
    value /= 10;
  } while (value > 0 || count < 2);
  while (count > 0) *out++ = digits[--count];
  return out;
}

// Writes "[mm:ss.xx]" of ms (below zero: zero) at out, rounded to the hundredths that are
// written before minutes and seconds are split, so 59.995 s carries into the next minute.
// Returns the end; at most kMaxTagLength characters.
constexpr int kMaxTagLength = 32;
wchar_t* WriteShiftedTag(wchar_t* out, long long ms) {
  if (ms < 0) ms = 0;
  unsigned minutes;
  unsigned rest;
  if (ms < 0x7FFFFFF0) {  // the everyday case, in 32 bits
    unsigned hundredths = (static_cast<unsigned>(ms) + 5) / 10;
    minutes = hundredths / 6000;
    rest = hundredths % 6000;
  } else {
    long long hundredths = (ms + 5) / 10;
    minutes = static_cast<unsigned>(hundredths / 6000);
    rest = static_cast<unsigned>(hundredths % 6000);
  }
  *out++ = L'[';
  out = WriteTwoDigits(out, minutes);
  *out++ = L':';
  out = WriteTwoDigits(out, rest / 100);
  *out++ = L'.';
  out = WriteTwoDigits(out, rest % 100);
  *out++ = L']';
  return out;
}

}  // namespace

CString FormatInsertTag(double seconds) {
  int minutes = static_cast<int>(seconds) / 60;
  int wholeSeconds = static_cast<int>(seconds - minutes * 60) % 60;
  int hundredths = static_cast<int>(seconds * 100) % 100;
  CString tag;
  tag.Format(L"[%2d:%2d.%2d]", minutes, wholeSeconds, hundredths);
  return ZeroFilled(tag);
}

bool IsTimeTagLine(const CString& text) {
  return IsTimeTagChars(text.GetString(), text.GetLength());
}

TagInsertion PlanTagInsertion(const CString& prefix, const CString& tag, bool keep) {
  if (keep || !IsTimeTagLine(prefix)) return TagInsertion{0, tag, true};
  return TagInsertion{prefix.Find(L']') + 1, tag, false};
}

CString FormatShiftedTag(int ms) {
  wchar_t tag[kMaxTagLength];
  return CString(tag, static_cast<int>(WriteShiftedTag(tag, ms) - tag));
}

CString ShiftTimeTagsText(const CString& text, int deltaMs) {
  const wchar_t* chars = text.GetString();
  const wchar_t* const end = chars + text.GetLength();
  std::wstring result;
  result.reserve(text.GetLength() + kMaxTagLength);
  const wchar_t* copied = chars;
  const wchar_t* open = wmemchr(chars, L'[', end - chars);
  while (open) {
    const wchar_t* close = wmemchr(open, L']', end - open);
    if (!close) break;
    const wchar_t* next = open + 1;
    if (IsTimeTagChars(open, static_cast<int>(close - open + 1))) {
      const wchar_t* colon = wmemchr(open, L':', close - open);
      int minutes = ReadTagInt(open + 1, colon);
      double seconds = ReadTagDouble(colon + 1, close);
      wchar_t tag[kMaxTagLength];
      wchar_t* tagEnd = WriteShiftedTag(tag, ShiftedMs(minutes, seconds, deltaMs));
      result.append(copied, open).append(tag, tagEnd);
      copied = next = close + 1;
    }
    open = next < end ? wmemchr(next, L'[', end - next) : nullptr;
  }
  result.append(copied, end);
  return CString(result.data(), static_cast<int>(result.size()));
}
