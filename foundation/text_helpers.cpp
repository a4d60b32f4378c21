// Drawing wrapped text, date numbers, character classes and string formatting.
#include <windows.h>

#include <cstdarg>
#include <ctime>
#include <vector>

#include "foundation/common_helpers.h"
#include "foundation/text_convert.h"
#include "foundation/text_util.h"
#include "winlayer/cstring.h"

std::vector<std::wstring> BreakTextIntoLines(const std::wstring& text, int width,
                                             const std::function<int(wchar_t)>& measure) {
  std::vector<std::wstring> lines;
  std::wstring line;
  int lineWidth = 0;
  for (wchar_t ch : text) {
    int charWidth = measure(ch);
    // Never break before the first character of a line: a character wider than the whole
    // rectangle stands on a line of its own instead of leaving an empty line before it.
    if (!line.empty() && lineWidth + charWidth >= width) {
      lines.push_back(line);
      line.clear();
      lineWidth = 0;
    }
    line += ch;
    lineWidth += charWidth;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

void DrawWrappedText(HDC dc, const RECT& rect, const wchar_t* text, int lineHeight) {
  if (!text) return;
  auto measure = [dc](wchar_t ch) {
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, &ch, 1, &size);
    return static_cast<int>(size.cx);
  };
  int y = rect.top;
  for (const std::wstring& line : BreakTextIntoLines(text, rect.right - rect.left, measure)) {
    TextOutW(dc, rect.left, y, line.c_str(), static_cast<int>(line.size()));
    y += lineHeight;
  }
}

bool IsWindowsXP() {
  static const DWORD major = [] {
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExW(&info) ? info.dwMajorVersion : 0;
  }();
  return major == 5;
}

int GetDateNumber(__time64_t time) {
  struct tm local = {};
  if (_localtime64_s(&local, &time) != 0) return 0;
  return (local.tm_year + 1900) * 10000 + (local.tm_mon + 1) * 100 + local.tm_mday;
}

int GetDateNumberAfterDays(int days) {
  // In 64 bits: days * 86400 overflows 32 bits beyond about 68 years.
  return GetDateNumber(_time64(nullptr) + static_cast<__time64_t>(days) * 86400);
}

bool IsCjkChar(wchar_t ch) {
  return ch >= 0x4E00 && ch <= 0x9FA5;
}
bool IsDigitChar(wchar_t ch) {
  return ch >= L'0' && ch <= L'9';
}
bool IsLetterChar(wchar_t ch) {
  return (ch >= L'A' && ch <= L'Z') || (ch >= L'a' && ch <= L'z');
}

std::wstring FormatWString(const wchar_t* format, ...) {
  if (!format) return std::wstring();
  va_list args;
  va_start(args, format);
  CString text;
  text.FormatV(format, args);
  va_end(args);
  return std::wstring(text.GetString(), static_cast<size_t>(text.GetLength()));
}

std::string UrlEncode(const std::string& text) {
  return em_utility::url_encode(text);
}

void TrimSpaces(std::string& text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) {
    text.clear();
    return;
  }
  size_t last = text.find_last_not_of(' ');
  text = text.substr(first, last - first + 1);
}

std::string WStringToAnsi(const std::wstring& text) {
  return em_utility::detail::to_narrow(CP_ACP, text.c_str(), static_cast<int>(text.size()));
}
