// How the web API's JSON records read their fields from a wide property tree and write them back.
//
// Keys compare without regard to case (wiptree). JSON numbers, true, false and null all arrive as
// texts; a value of the wrong form never fails a load, it gives the field's default.
#pragma once

#include <string>

#include <boost/property_tree/ptree.hpp>

namespace tree_fields {

using Tree = boost::property_tree::wiptree;

// A whole decimal number that fits in 32 bits ("12", " -3 "), else defaultValue: a missing key,
// "1.5", "abc" and "2147483648" all give the default.
int ReadInt(const Tree& tree, const wchar_t* key, int defaultValue = 0);
// The key's text, or defaultText when the key is missing.
std::wstring ReadText(const Tree& tree, const wchar_t* key, const wchar_t* defaultText = L"");
// "1", "0", "true" or "false", else false.
bool ReadBool(const Tree& tree, const wchar_t* key);

// Each replaces an existing child of the same key.
// As an unsigned number: -1 becomes 4294967295.
void WriteUnsigned(Tree& tree, const wchar_t* key, int value);
void WriteInt(Tree& tree, const wchar_t* key, int value);
void WriteText(Tree& tree, const wchar_t* key, const std::wstring& text);
// "true" or "false".
void WriteBoolText(Tree& tree, const wchar_t* key, bool value);

}  // namespace tree_fields
