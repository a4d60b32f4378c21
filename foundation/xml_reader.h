// Reading the text of named child elements of TinyXML nodes, with the caller's default whenever
// the element or its text is missing. Names and texts are UTF-8, returned as stored.
//
// An empty element (<a></a> or <a/>) has no text node, so it counts as missing.
#pragma once

#include <cstdint>
#include <cstdio>
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

// TinyXML's reader steps over a whole UTF-8 character as its lead byte announces it, over the zero
// that ends the text too: a text that ends inside a character would be read past its end. These
// two hand it the text followed by enough zero bytes to stop it; every parse of the program goes
// through them. True when the text parsed (document.Error() is false).
bool ParseXmlText(em_utility::TiXmlDocument& document, const std::string& text,
                  em_utility::TiXmlEncoding encoding);
// The file's bytes from its start, as TiXmlDocument::LoadFile reads them (up to a zero byte, each
// CR LF and lone CR read as LF), parsed as above. False for an empty or unreadable file too.
bool LoadXmlFile(em_utility::TiXmlDocument& document, FILE* file,
                 em_utility::TiXmlEncoding encoding);
