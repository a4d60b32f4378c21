// Drawing wrapped text, date numbers, character classes and string formatting.
#include <windows.h>

#include <cstdarg>
#include <ctime>
#include <vector>

#include "foundation/common_helpers.h"
#include "foundation/text_convert.h"

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

bool IsCjkChar(wchar_t ch) { return ch >= 0x4E00 && ch <= 0x9FA5; }
bool IsDigitChar(wchar_t ch) { return ch >= L'0' && ch <= L'9'; }
bool IsLetterChar(wchar_t ch) { return (ch >= L'A' && ch <= L'Z') || (ch >= L'a' && ch <= L'z'); }

std::wstring FormatWString(const wchar_t* format, ...) {
  if (!format) return std::wstring();
  va_list args;
  va_start(args, format);
  va_list measure;
  va_copy(measure, args);
  int length = _vscwprintf(format, measure);
  va_end(measure);
  std::wstring result;
  if (length > 0) {
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    _vsnwprintf(buffer.data(), buffer.size(), format, args);
    buffer[static_cast<size_t>(length)] = 0;
    result.assign(buffer.data(), static_cast<size_t>(length));
  }
  va_end(args);
  return result;
}

std::string UrlEncode(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char byte : text) {
    // ASCII classes only: the C library's tables change with the locale (GBK lead bytes).
    bool alnum = (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
                 (byte >= 'a' && byte <= 'z');
    if (alnum) {
      out += static_cast<char>(byte);
    } else if (byte == ' ' || (byte >= '\t' && byte <= '\r')) {
      out += '+';
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    }
  }
  return out;
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
