// Text conversion between UTF-8, UTF-16 and the ANSI code page.
//
// A null or empty input gives an empty result. Characters that the target code page lacks
// become its default character (the platform's multibyte functions decide).
#pragma once

#include <windows.h>

#include <string>

#include "winlayer/cstring.h"

namespace em_utility {

namespace detail {
// The shared core: length counts code units of the input; a negative or zero length, or a
// null pointer, gives an empty result. flags go to MultiByteToWideChar: with
// MB_ERR_INVALID_CHARS a byte sequence that is not valid in the code page also gives an empty
// result, instead of replacement characters.
CString to_wide(UINT code_page, const char* text, int length, DWORD flags = 0);
std::string to_narrow(UINT code_page, const wchar_t* text, int length);
}  // namespace detail

CString utf8_to_wide(const char* text);
CString utf8_to_wide(const std::string& text);
std::string wide_to_utf8(const wchar_t* text);
std::string wide_to_utf8(const std::wstring& text);

// The narrow side is the calling thread's ANSI code page.
std::string wide_to_ansi(const wchar_t* text);
std::string wide_to_ansi(const std::wstring& text);
// The narrow side is the system ANSI code page.
CString ansi_to_wide(const char* text);
CString ansi_to_wide(const std::string& text);

// Through wide text; the ANSI side is the calling thread's code page.
std::string utf8_to_ansi(const char* text);
std::string utf8_to_ansi(const std::string& text);
std::string ansi_to_utf8(const char* text);
std::string ansi_to_utf8(const std::string& text);

}  // namespace em_utility
