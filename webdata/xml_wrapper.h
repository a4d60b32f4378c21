// xml_wrapper: the base of a record that reads itself from and writes itself to an XML document
// whose root element carries the record's name. The base reads and writes nothing.
#pragma once

#include <string>

#include "em_tinyxml.h"

struct xml_wrapper {
  xml_wrapper() = default;
  virtual ~xml_wrapper() = default;
  // Adds the record to the document (after its declaration); false when it cannot.
  virtual bool WriteXmlDocument(em_utility::TiXmlDocument* document);
  // Reads the record from its root element.
  virtual bool ReadXmlElement(em_utility::TiXmlElement* element);

  bool HasRootName() const { return !m_strRootName.empty(); }
  // False for null or empty text, text that is not XML, or a document without the root element.
  bool LoadFromString(const char* text);
  // Appends the printed document, declaration first, to out when WriteXmlDocument succeeds;
  // returns out.
  std::string& SaveToString(std::string& out);

  std::string m_strRootName;
};
