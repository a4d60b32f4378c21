#include "foundation/xml_reader.h"

#include <cstdlib>
#include <cstring>

using em_utility::TiXmlDocument;
using em_utility::TiXmlElement;
using em_utility::TiXmlNode;

namespace {

// The longest step of TinyXML's reader past a zero is a four-byte character's; twice that stops it.
constexpr size_t kZeroPadding = 8;

// The text node's value of the named child element, or null when either is missing.
const char* ChildText(const TiXmlNode* node, const char* name) {
  if (!node || !name) return nullptr;
  const TiXmlElement* element = node->FirstChildElement(name);
  if (!element) return nullptr;
  const TiXmlNode* text = element->FirstChild();
  return text ? text->Value() : nullptr;
}

}  // namespace

int GetChildInt(const TiXmlNode* node, const char* name, int defaultValue) {
  const char* text = ChildText(node, name);
  return text ? std::atoi(text) : defaultValue;
}

double GetChildDouble(const TiXmlNode* node, const char* name, double defaultValue) {
  const char* text = ChildText(node, name);
  return text ? std::atof(text) : defaultValue;
}

std::string GetChildString(const TiXmlNode* node, const char* name, const char* defaultValue) {
  const char* text = ChildText(node, name);
  if (text) return text;
  return defaultValue ? defaultValue : "";
}

int GetChildText(const TiXmlNode* node, const char* name, char* buffer, uint32_t size,
                 const char* defaultValue) {
  if (!buffer || size == 0) return kChildTextTooLong;
  const char* text = ChildText(node, name);
  if (!text) {
    // A default longer than the buffer is cut rather than written past its end.
    size_t length = defaultValue ? std::strlen(defaultValue) : 0;
    if (length >= size) length = size - 1;
    std::memcpy(buffer, defaultValue ? defaultValue : "", length);
    buffer[length] = '\0';
    return kChildTextMissing;
  }
  size_t length = std::strlen(text);
  if (length >= size) return kChildTextTooLong;
  std::memcpy(buffer, text, length + 1);
  return static_cast<int>(length);
}

int CountChildren(const TiXmlNode* node) {
  int count = 0;
  if (!node) return count;
  for (const TiXmlNode* child = node->FirstChild(); child; child = child->NextSibling()) ++count;
  return count;
}

bool ParseXmlText(TiXmlDocument& document, const std::string& text,
                  em_utility::TiXmlEncoding encoding) {
  std::string padded;
  padded.reserve(text.size() + kZeroPadding);
  padded.assign(text).append(kZeroPadding, '\0');
  document.Parse(padded.c_str(), nullptr, encoding);
  return !document.Error();
}

bool LoadXmlFile(TiXmlDocument& document, FILE* file, em_utility::TiXmlEncoding encoding) {
  if (!file || std::fseek(file, 0, SEEK_END) != 0) return false;
  const long length = std::ftell(file);
  if (length <= 0 || std::fseek(file, 0, SEEK_SET) != 0) return false;
  std::string bytes(static_cast<size_t>(length), '\0');
  if (std::fread(&bytes[0], 1, bytes.size(), file) != bytes.size()) return false;
  bytes.resize(std::strlen(bytes.c_str()));
  std::string text;
  text.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r') {
      text += bytes[i];
    } else {
      text += '\n';
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    }
  }
  return ParseXmlText(document, text, encoding);
}
