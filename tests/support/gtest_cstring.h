// Lets GoogleTest print CString values (as UTF-8) in failure messages.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>

#include "winlayer/cstring.h"

inline void PrintTo(const CString& s, std::ostream* os) {
  int n = WideCharToMultiByte(CP_UTF8, 0, s.GetString(), s.GetLength(), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, s.GetString(), s.GetLength(), &utf8[0], n, nullptr, nullptr);
  *os << "L\"" << utf8 << "\"";
}
