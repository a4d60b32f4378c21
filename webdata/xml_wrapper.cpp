#include "webdata/xml_wrapper.h"

#include "foundation/xml_reader.h"
#include "foundation/xml_writer.h"

using em_utility::TiXmlDocument;
using em_utility::TiXmlElement;
using em_utility::TiXmlNode;

bool xml_wrapper::WriteXmlDocument(TiXmlDocument*) {
  return false;
}

bool xml_wrapper::ReadXmlElement(TiXmlElement*) {
  return false;
}

bool xml_wrapper::LoadFromString(const char* text) {
  if (!text || !*text) return false;
  TiXmlDocument document;
  if (!ParseXmlText(document, text, em_utility::TIXML_ENCODING_UTF8)) return false;
  TiXmlNode* root = document.FirstChild(m_strRootName.c_str());
  if (!root || !root->ToElement()) return false;
  return ReadXmlElement(root->ToElement());
}

std::string& xml_wrapper::SaveToString(std::string& out) {
  TiXmlDocument document;
  document.LinkEndChild(new em_utility::TiXmlDeclaration("1.0", "utf-8", ""));
  if (WriteXmlDocument(&document)) out += NodeToString(&document);
  return out;
}
