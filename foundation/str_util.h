// Functions on narrow std::string, in place unless said otherwise. Case and white space are
// ASCII's alone (ascii.h): GBK and UTF-8 bytes pass through unchanged.
#pragma once

#include <string>

void str_to_lower(std::string& text);
void str_to_upper(std::string& text);
// White space: space, tab, line feed, vertical tab, form feed, carriage return.
void str_trim(std::string& text);
void str_trim_left(std::string& text);
void str_trim_right(std::string& text);
// Equal lengths and equal lower-case copies.
bool str_iequals(const std::string& a, const std::string& b);

// The text up to and including the last slash or backslash; empty when there is none.
std::string str_get_folder(const std::string& path);
// Backslashes become slashes, white space is trimmed, leading slashes go and one trailing slash
// is added when missing; false when nothing is left.
bool str_normalize_folder(std::string& path);
// Normalises the path as str_normalize_folder does its separators and blanks, then creates every
// prefix that ends before a slash and the whole path. False when the path holds no slash or the
// folder does not exist afterwards.
bool str_make_dirs(std::string& path);
