#include "lyric/time_tag.h"

#include <cmath>
#include <cwchar>
#include <cwctype>
#include <string>

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
  if (length < 5 || length > kTagPrefixLength || text[0] != L'[' || !std::iswdigit(text[1])) {
    return false;
  }
  return wmemchr(text, L':', length) && wmemchr(text, L']', length);
}

void AppendTwoDigits(std::wstring& out, int value) {
  if (value >= 100) out += std::to_wstring(value / 100);
  out += static_cast<wchar_t>(L'0' + value / 10 % 10);
  out += static_cast<wchar_t>(L'0' + value % 10);
}

// "[mm:ss.xx]" of ms (below zero: zero), rounded to the hundredths that are written before
// minutes and seconds are split, so 59.995 s carries into the next minute.
void AppendShiftedTag(std::wstring& out, long long ms) {
  if (ms < 0) ms = 0;
  long long hundredths = (ms + 5) / 10;
  out += L'[';
  AppendTwoDigits(out, static_cast<int>(hundredths / 6000));
  out += L':';
  AppendTwoDigits(out, static_cast<int>(hundredths % 6000 / 100));
  out += L'.';
  AppendTwoDigits(out, static_cast<int>(hundredths % 100));
  out += L']';
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
  std::wstring tag;
  AppendShiftedTag(tag, ms);
  return CString(tag.c_str(), static_cast<int>(tag.size()));
}

CString ShiftTimeTagsText(const CString& text, int deltaMs) {
  const wchar_t* chars = text.GetString();
  const wchar_t* const end = chars + text.GetLength();
  std::wstring result;
  result.reserve(text.GetLength() + 16);
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
      result.append(copied, open);
      AppendShiftedTag(
          result, static_cast<long long>(minutes) * 60000 + std::llround(seconds * 1000) + deltaMs);
      copied = next = close + 1;
    }
    open = next < end ? wmemchr(next, L'[', end - next) : nullptr;
  }
  result.append(copied, end);
  return CString(result.c_str(), static_cast<int>(result.size()));
}
