// Text and byte helpers: case and fill of wide buffers, hex text, URL encoding, markup.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "winlayer/cstring.h"

namespace em_utility {

// Upper- or lower-cases a terminated wide buffer of size characters in place; null when the
// buffer is null or holds no terminator within size, else the buffer.
wchar_t* wcs_upper(wchar_t* buffer, size_t size);
wchar_t* wcs_lower(wchar_t* buffer, size_t size);
// Writes count copies of ch (no terminator); returns buffer.
wchar_t* wcs_fill(wchar_t ch, size_t count, wchar_t* buffer);

// '0'..'9' for 0..9, 'A'..'F' for 10..15 (only the low four bits count).
char hex_digit(unsigned nibble);

// Index of the first element equal to value; length when there is none.
std::uint32_t find_byte(const std::uint8_t* buffer, std::uint32_t length, std::uint8_t value);
std::uint32_t find_byte(const std::uint32_t* buffer, std::uint32_t length, std::uint32_t value);

// Two lower-case hex digits per byte.
std::string bytes_to_hex(const void* bytes, size_t length);
CString bytes_to_hex_wide(const void* bytes, size_t length);
// Pairs of hex digits (either case) to a new[] array of half the text's length, which the caller
// delete[]s; null for a null text or a character that is not a hex digit. An odd last digit is
// ignored.
std::uint8_t* hex_to_bytes(const char* text);
std::uint8_t* hex_to_bytes(const wchar_t* text);

// ASCII letters and digits stay, white space becomes '+', every other byte "%XX".
std::string url_encode(const std::string& text);
// Removes every balanced <...> (nested ones included); from a '<' without its '>' on, the
// text stays.
void strip_markup(CString& text);
// &amp; first, then &lt; &gt; &quot; &apos; &nbsp;, each pass over the whole text once.
void decode_entities(CString& text);

// The 40 upper-case hex digits of the SHA-1 of the text's bytes.
std::string sha1_hex_ansi(const std::string& text);

}  // namespace em_utility
