// Building TinyXML documents: child elements holding one text, and printing a node.
#pragma once

#include <string>

#include "em_tinyxml.h"

// Appends to parent an element called name holding one text node with text; returns the new
// element (owned by parent), or null for a null parent or name.
em_utility::TiXmlElement* AddChildText(em_utility::TiXmlNode* parent, const char* name,
                                       const char* text);
// The number written as "%d".
em_utility::TiXmlElement* AddChildInt(em_utility::TiXmlNode* parent, const char* name, int value);
// Adds nothing and returns null for a null or empty text.
em_utility::TiXmlElement* AddChildTextIfNotEmpty(em_utility::TiXmlNode* parent, const char* name,
                                                 const char* text);

// The node as TinyXML prints it (four-space indentation, one element a line).
std::string NodeToString(const em_utility::TiXmlNode* node);
