// Reading the text of named child elements of TinyXML nodes, with the caller's default whenever
// the element or its text is missing. Names and texts are UTF-8, returned as stored.
//
// An empty element (<a></a> or <a/>) has no text node, so it counts as missing.
#pragma once

#include <cstdint>
#include <string>

#include "em_tinyxml.h"

// The text of the first child element called name, read as atoi does (leading whitespace, an
// optional sign, the leading digits; 0 when the text does not start with a number).
int GetChildInt(const em_utility::TiXmlNode* node, const char* name, int defaultValue);
// The same read as atof does.
double GetChildDouble(const em_utility::TiXmlNode* node, const char* name, double defaultValue);
std::string GetChildString(const em_utility::TiXmlNode* node, const char* name,
                           const char* defaultValue);

constexpr int kChildTextMissing = -10000;
constexpr int kChildTextTooLong = -10001;

// Copies the text, terminated, into buffer and returns its length. kChildTextTooLong (nothing
// copied) when it does not fit with its terminator; kChildTextMissing when the element or its
// text is missing, with the default copied instead (cut to fit the buffer).
int GetChildText(const em_utility::TiXmlNode* node, const char* name, char* buffer, uint32_t size,
                 const char* defaultValue);

// Child nodes of every kind: elements, texts, comments, declarations.
int CountChildren(const em_utility::TiXmlNode* node);
