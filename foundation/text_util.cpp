#include "foundation/text_util.h"

#include <cstring>
#include <cwchar>

#include "foundation/ascii.h"
#include "foundation/sha1.h"

namespace em_utility {

namespace {

const char kHexLower[] = "0123456789abcdef";

template <typename Char>
std::uint8_t* HexToBytes(const Char* text) {
  if (!text) return nullptr;
  size_t length = 0;
  while (text[length]) ++length;
  size_t count = length / 2;
  auto* bytes = new std::uint8_t[count];
  for (size_t i = 0; i < count; ++i) {
    int high = ascii::HexValue(text[2 * i]);
    int low = ascii::HexValue(text[2 * i + 1]);
    if (high < 0 || low < 0) {
      delete[] bytes;
      return nullptr;
    }
    bytes[i] = static_cast<std::uint8_t>(high << 4 | low);
  }
  return bytes;
}

template <typename T>
std::uint32_t FindFirst(const T* buffer, std::uint32_t length, T value) {
  if (!buffer) return length;
  for (std::uint32_t i = 0; i < length; ++i) {
    if (buffer[i] == value) return i;
  }
  return length;
}

bool Terminated(const wchar_t* buffer, size_t size) {
  return buffer && size > 0 && wmemchr(buffer, L'\0', size) != nullptr;
}

}  // namespace

wchar_t* wcs_upper(wchar_t* buffer, size_t size) {
  if (!Terminated(buffer, size) || _wcsupr_s(buffer, size) != 0) return nullptr;
  return buffer;
}

wchar_t* wcs_lower(wchar_t* buffer, size_t size) {
  if (!Terminated(buffer, size) || _wcslwr_s(buffer, size) != 0) return nullptr;
  return buffer;
}

wchar_t* wcs_fill(wchar_t ch, size_t count, wchar_t* buffer) {
  if (buffer) wmemset(buffer, ch, count);
  return buffer;
}

char hex_digit(unsigned nibble) {
  return "0123456789ABCDEF"[nibble & 15];
}

std::uint32_t find_byte(const std::uint8_t* buffer, std::uint32_t length, std::uint8_t value) {
  return FindFirst(buffer, length, value);
}

std::uint32_t find_byte(const std::uint32_t* buffer, std::uint32_t length, std::uint32_t value) {
  return FindFirst(buffer, length, value);
}

std::string bytes_to_hex(const void* bytes, size_t length) {
  std::string text;
  if (!bytes) return text;
  const auto* p = static_cast<const std::uint8_t*>(bytes);
  text.resize(length * 2);
  for (size_t i = 0; i < length; ++i) {
    text[2 * i] = kHexLower[p[i] >> 4];
    text[2 * i + 1] = kHexLower[p[i] & 15];
  }
  return text;
}

CString bytes_to_hex_wide(const void* bytes, size_t length) {
  std::string hex = bytes_to_hex(bytes, length);
  std::wstring wide(hex.begin(), hex.end());
  return CString(wide.c_str(), static_cast<int>(wide.size()));
}

std::uint8_t* hex_to_bytes(const char* text) {
  return HexToBytes(text);
}
std::uint8_t* hex_to_bytes(const wchar_t* text) {
  return HexToBytes(text);
}

std::string url_encode(const std::string& text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (unsigned char c : text) {
    if (ascii::IsAlnum(c)) {
      out += static_cast<char>(c);
    } else if (ascii::IsSpace(c)) {
      out += '+';
    } else {
      out += '%';
      out += hex_digit(c >> 4);
      out += hex_digit(c);
    }
  }
  return out;
}

void strip_markup(CString& text) {
  for (;;) {
    int open = text.Find(L'<');
    if (open < 0) return;
    int depth = 1;
    int close = -1;
    for (int i = open + 1; i < text.GetLength(); ++i) {
      if (text[i] == L'<') {
        ++depth;
      } else if (text[i] == L'>' && --depth == 0) {
        close = i;
        break;
      }
    }
    if (close < 0) return;
    text.Delete(open, close - open + 1);
  }
}

void decode_entities(CString& text) {
  // &amp; goes first, so an escaped entity such as "&amp;lt;" comes out decoded as "<".
  static const wchar_t* const kEntities[][2] = {
      {L"&amp;", L"&"},   {L"&lt;", L"<"},   {L"&gt;", L">"},
      {L"&quot;", L"\""}, {L"&apos;", L"'"}, {L"&nbsp;", L" "},
  };
  for (const auto& entity : kEntities) text.Replace(entity[0], entity[1]);
}

std::string sha1_hex_ansi(const std::string& text) {
  std::wstring hex = Sha1HexOfBytes(text.data(), static_cast<std::uint32_t>(text.size()));
  return std::string(hex.begin(), hex.end());
}

}  // namespace em_utility
