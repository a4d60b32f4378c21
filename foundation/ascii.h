// Character classes and case mapping of ASCII alone. Bytes of 0x80 and above are never letters,
// digits or space and keep their value: they are GBK lead bytes or parts of UTF-8 sequences,
// which the run-time library's locale tables would misread (with the Chinese locale set, Wine's
// tolower turns every GBK lead byte into a blank).
#pragma once

namespace ascii {

inline bool IsDigit(unsigned c) {
  return c >= '0' && c <= '9';
}
inline bool IsUpper(unsigned c) {
  return c >= 'A' && c <= 'Z';
}
inline bool IsLower(unsigned c) {
  return c >= 'a' && c <= 'z';
}
inline bool IsAlpha(unsigned c) {
  return IsUpper(c) || IsLower(c);
}
inline bool IsAlnum(unsigned c) {
  return IsAlpha(c) || IsDigit(c);
}
// Space, tab, line feed, vertical tab, form feed, carriage return.
inline bool IsSpace(unsigned c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

inline char ToLower(char c) {
  return IsUpper(static_cast<unsigned char>(c)) ? c + ('a' - 'A') : c;
}
inline char ToUpper(char c) {
  return IsLower(static_cast<unsigned char>(c)) ? c - ('a' - 'A') : c;
}

// The value of a hex digit of either case, -1 for anything else.
inline int HexValue(unsigned c) {
  if (IsDigit(c)) return static_cast<int>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
  return -1;
}

}  // namespace ascii
