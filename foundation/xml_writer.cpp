#include "foundation/xml_writer.h"

#include <cstdio>

using em_utility::TiXmlElement;
using em_utility::TiXmlNode;
using em_utility::TiXmlText;

TiXmlElement* AddChildText(TiXmlNode* parent, const char* name, const char* text) {
  if (!parent || !name) return nullptr;
  auto* element = new TiXmlElement(name);
  element->LinkEndChild(new TiXmlText(text ? text : ""));
  parent->LinkEndChild(element);
  return element;
}

TiXmlElement* AddChildInt(TiXmlNode* parent, const char* name, int value) {
  char digits[16];
  std::snprintf(digits, sizeof(digits), "%d", value);
  return AddChildText(parent, name, digits);
}

TiXmlElement* AddChildTextIfNotEmpty(TiXmlNode* parent, const char* name, const char* text) {
  if (!text || !*text) return nullptr;
  return AddChildText(parent, name, text);
}

std::string NodeToString(const TiXmlNode* node) {
  if (!node) return std::string();
  em_utility::TiXmlPrinter printer;
  node->Accept(&printer);
  return printer.Str();
}
