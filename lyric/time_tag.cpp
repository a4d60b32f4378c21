#include "lyric/time_tag.h"

#include <cmath>
#include <cwctype>

#include "lyric/lrc_tag_number.h"

namespace {

// "[%2d:%2d.%2d]" with its blanks as zeros.
CString ZeroFilled(CString tag) {
  tag.Replace(L' ', L'0');
  return tag;
}

// A tag is looked for within the first characters of a line only.
constexpr int kTagPrefixLength = 10;

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
  int length = text.GetLength();
  return length >= 5 && length <= kTagPrefixLength && text[0] == L'[' &&
         std::iswdigit(text[1]) && text.Find(L':') >= 0 && text.Find(L']') >= 0;
}

TagInsertion PlanTagInsertion(const CString& prefix, const CString& tag, bool keep) {
  if (keep || !IsTimeTagLine(prefix)) return TagInsertion{0, tag, true};
  return TagInsertion{prefix.Find(L']') + 1, tag, false};
}

CString FormatShiftedTag(int ms) {
  if (ms < 0) ms = 0;
  // Rounded to the hundredths that are written, before minutes and seconds are split, so that
  // 59.995 s carries into the next minute instead of showing 60 seconds.
  int hundredths = static_cast<int>((static_cast<long long>(ms) + 5) / 10);
  CString tag;
  tag.Format(L"[%2d:%5.2f]", hundredths / 6000, (hundredths % 6000) / 100.0);
  return ZeroFilled(tag);
}

CString ShiftTimeTagsText(const CString& text, int deltaMs) {
  const wchar_t* chars = text.GetString();
  CString result;
  int copied = 0;
  int open = text.Find(L'[');
  while (open >= 0) {
    int close = text.Find(L']', open);
    if (close < 0) break;
    int next = open + 1;
    if (IsTimeTagLine(text.Mid(open, close - open + 1))) {
      int colon = text.Find(L':', open);  // within the tag: IsTimeTagLine saw one before "]"
      int minutes = ReadTagInt(chars + open + 1, chars + colon);
      double seconds = ReadTagDouble(chars + colon + 1, chars + close);
      long long ms =
          static_cast<long long>(minutes) * 60000 + std::llround(seconds * 1000) + deltaMs;
      result += text.Mid(copied, open - copied);
      result += FormatShiftedTag(ms > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(ms));
      copied = next = close + 1;
    }
    open = text.Find(L'[', next);
  }
  result += text.Mid(copied);
  return result;
}
