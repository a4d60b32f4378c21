#include "foundation/text_convert.h"

#include <climits>
#include <cstring>
#include <cwchar>

namespace em_utility {

namespace {

int NarrowLength(const char* text) {
  return text ? static_cast<int>(strlen(text)) : 0;
}
int WideLength(const wchar_t* text) {
  return text ? static_cast<int>(wcslen(text)) : 0;
}

int ClampLength(size_t length) {
  return length > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(length);
}

}  // namespace

namespace detail {

CString to_wide(UINT code_page, const char* text, int length, DWORD flags) {
  CString result;
  if (!text || length <= 0) return result;
  int needed = MultiByteToWideChar(code_page, flags, text, length, nullptr, 0);
  if (needed <= 0) return result;
  wchar_t* buffer = result.GetBufferSetLength(needed);
  int written = MultiByteToWideChar(code_page, flags, text, length, buffer, needed);
  result.ReleaseBuffer(written > 0 ? written : 0);
  return result;
}

std::string to_narrow(UINT code_page, const wchar_t* text, int length) {
  std::string result;
  if (!text || length <= 0) return result;
  int needed = WideCharToMultiByte(code_page, 0, text, length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return result;
  result.resize(static_cast<size_t>(needed));
  int written =
      WideCharToMultiByte(code_page, 0, text, length, &result[0], needed, nullptr, nullptr);
  result.resize(written > 0 ? static_cast<size_t>(written) : 0);
  return result;
}

}  // namespace detail

namespace {

std::string Recode(UINT from, UINT to, const char* text, int length) {
  CString wide = detail::to_wide(from, text, length);
  return detail::to_narrow(to, wide.GetString(), wide.GetLength());
}

}  // namespace

CString utf8_to_wide(const char* text) {
  return detail::to_wide(CP_UTF8, text, NarrowLength(text));
}
CString utf8_to_wide(const std::string& text) {
  return detail::to_wide(CP_UTF8, text.data(), ClampLength(text.size()));
}

std::string wide_to_utf8(const wchar_t* text) {
  return detail::to_narrow(CP_UTF8, text, WideLength(text));
}
std::string wide_to_utf8(const std::wstring& text) {
  return detail::to_narrow(CP_UTF8, text.data(), ClampLength(text.size()));
}

std::string wide_to_ansi(const wchar_t* text) {
  return detail::to_narrow(CP_THREAD_ACP, text, WideLength(text));
}
std::string wide_to_ansi(const std::wstring& text) {
  return detail::to_narrow(CP_THREAD_ACP, text.data(), ClampLength(text.size()));
}

CString ansi_to_wide(const char* text) {
  return detail::to_wide(CP_ACP, text, NarrowLength(text));
}
CString ansi_to_wide(const std::string& text) {
  return detail::to_wide(CP_ACP, text.data(), ClampLength(text.size()));
}

std::string utf8_to_ansi(const char* text) {
  return Recode(CP_UTF8, CP_THREAD_ACP, text, NarrowLength(text));
}
std::string utf8_to_ansi(const std::string& text) {
  return Recode(CP_UTF8, CP_THREAD_ACP, text.data(), ClampLength(text.size()));
}

std::string ansi_to_utf8(const char* text) {
  return Recode(CP_THREAD_ACP, CP_UTF8, text, NarrowLength(text));
}
std::string ansi_to_utf8(const std::string& text) {
  return Recode(CP_THREAD_ACP, CP_UTF8, text.data(), ClampLength(text.size()));
}

}  // namespace em_utility
