#include "lyric/lrc_tag_number.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cwctype>
#include <string>

#include "foundation/ascii.h"

namespace {

// The blanks of the C library (which also knows wide blanks such as U+3000); the common ASCII
// ones without a call into it.
bool IsBlank(wchar_t c) {
  return c < 0x80 ? ascii::IsSpace(c) : iswspace(c) != 0;
}

const wchar_t* SkipBlanks(const wchar_t* p, const wchar_t* end) {
  while (p < end && IsBlank(*p)) ++p;
  return p;
}

bool IsDigit(const wchar_t* p, const wchar_t* end) {
  return p < end && ascii::IsDigit(*p);
}

bool IsSign(const wchar_t* p, const wchar_t* end) {
  return p < end && (*p == L'-' || *p == L'+');
}

int Truncate(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483648.0) return INT_MAX;
  if (value <= -2147483649.0) return INT_MIN;
  return static_cast<int>(value);
}

// Up to this many digits a mantissa is exact in a double.
constexpr int kExactDigits = 15;

// Powers of ten that a double holds exactly.
const double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                               1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                               1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

}  // namespace

int ReadTagInt(const wchar_t* begin, const wchar_t* end) {
  const wchar_t* p = SkipBlanks(begin, end);
  bool negative = p < end && *p == L'-';
  if (IsSign(p, end)) ++p;
  long long value = 0;
  for (; IsDigit(p, end); ++p) {
    value = value * 10 + (*p - L'0');
    if (value > 2147483648LL) value = 2147483648LL;  // enough to saturate either way
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  return static_cast<int>(value);
}

double ReadTagDouble(const wchar_t* begin, const wchar_t* end) {
  const wchar_t* first = SkipBlanks(begin, end);
  const wchar_t* p = first;
  bool negative = p < end && *p == L'-';
  if (IsSign(p, end)) ++p;
  int digits = 0;
  int fractionDigits = 0;
  long long mantissa = 0;
  // Only the digits of the exact case below are added up: a longer run would overflow.
  auto take = [&](wchar_t c) {
    if (++digits <= kExactDigits) mantissa = mantissa * 10 + (c - L'0');
  };
  for (; IsDigit(p, end); ++p) take(*p);
  if (p < end && *p == L'.') {
    for (++p; IsDigit(p, end); ++p, ++fractionDigits) take(*p);
  }
  if (digits == 0) return 0.0;
  bool exponent = false;
  if (p < end && (*p == L'e' || *p == L'E')) {
    // An exponent counts only with at least one digit; "1e" reads as 1.
    const wchar_t* q = p + 1;
    if (IsSign(q, end)) ++q;
    if (IsDigit(q, end)) {
      exponent = true;
      for (p = q; IsDigit(p, end);) ++p;
    }
  }
  // Up to 15 digits the mantissa and the power of ten are exact, so one division rounds
  // correctly, exactly as the C library does; anything longer goes to the library, which sees
  // only the prefix read here (so no "inf", "nan" or hexadecimal).
  if (!exponent && digits <= kExactDigits) {
    double value = static_cast<double>(mantissa) / kExactPowers[fractionDigits];
    return negative ? -value : value;
  }
  std::string number(first, p);  // ASCII only
  return std::strtod(number.c_str(), nullptr);
}

int TagTimeMs(const wchar_t* minutesBegin, const wchar_t* minutesEnd, const wchar_t* secondsBegin,
              const wchar_t* secondsEnd) {
  double seconds = ReadTagDouble(secondsBegin, secondsEnd);
  return Truncate(seconds * 1000.0 + ReadTagInt(minutesBegin, minutesEnd) * 60000.0);
}
