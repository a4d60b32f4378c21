// The conversions for code that works with the narrow string functions (str_util.h): the ANSI
// side is always the system code page, whatever the calling thread's is. Header only.
#pragma once

#include <windows.h>

#include <string>

#include "foundation/text_convert.h"
#include "winlayer/cstring.h"

inline CString Utf8ToCString(const std::string& text) {
  return em_utility::detail::to_wide(CP_UTF8, text.data(), static_cast<int>(text.size()));
}

inline CString AnsiToCString(const std::string& text) {
  return em_utility::detail::to_wide(CP_ACP, text.data(), static_cast<int>(text.size()));
}

inline std::string CStringToUtf8(const CString& text) {
  return em_utility::detail::to_narrow(CP_UTF8, text.GetString(), text.GetLength());
}

inline std::string CStringToAnsi(const CString& text) {
  return em_utility::detail::to_narrow(CP_ACP, text.GetString(), text.GetLength());
}

inline std::string Utf8ToAnsi(const std::string& text) {
  return CStringToAnsi(Utf8ToCString(text));
}

inline std::string AnsiToUtf8(const std::string& text) {
  return CStringToUtf8(AnsiToCString(text));
}
