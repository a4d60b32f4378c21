#include <gtest/gtest.h>

#include <string>

#include "foundation/xml_reader.h"
#include "foundation/xml_writer.h"

using em_utility::TiXmlDocument;
using em_utility::TiXmlElement;

TEST(XmlReader, ChildTextsAsNumbersAndStringsWithDefaults) {
  TiXmlDocument document;
  document.Parse(
      "<r><n>42</n><mixed>12ab</mixed><neg> -7</neg><letters>abc</letters><empty></empty>"
      "<closed/><!-- c --><n>99</n><name>\xE6\xAD\x8C &amp; x</name><d>2.5x</d></r>",
      nullptr, em_utility::TIXML_ENCODING_UTF8);
  const TiXmlElement* root = document.RootElement();
  EXPECT_EQ(42, GetChildInt(root, "n", -1));  // the first of two
  EXPECT_EQ(12, GetChildInt(root, "mixed", -1));
  EXPECT_EQ(-7, GetChildInt(root, "neg", -1));
  EXPECT_EQ(0, GetChildInt(root, "letters", -1));
  EXPECT_EQ(-1, GetChildInt(root, "empty", -1));  // no text node
  EXPECT_EQ(-1, GetChildInt(root, "closed", -1));
  EXPECT_EQ(-1, GetChildInt(root, "absent", -1));
  EXPECT_EQ(5, GetChildInt(nullptr, "n", 5));
  EXPECT_DOUBLE_EQ(2.5, GetChildDouble(root, "d", 0));
  EXPECT_EQ("\xE6\xAD\x8C & x", GetChildString(root, "name", "d"));
  EXPECT_EQ("d", GetChildString(root, "empty", "d"));
  EXPECT_EQ("", GetChildString(root, "absent", nullptr));
  EXPECT_EQ(10, CountChildren(root));  // the comment counts too
}

TEST(XmlReader, TextIntoABufferReportsTooLongAndMissing) {
  TiXmlDocument document;
  document.Parse("<r><t>abcd</t></r>", nullptr, em_utility::TIXML_ENCODING_UTF8);
  const TiXmlElement* root = document.RootElement();
  char buffer[8] = "#######";
  EXPECT_EQ(4, GetChildText(root, "t", buffer, 5, "x"));  // size - 1 characters fit
  EXPECT_STREQ("abcd", buffer);
  EXPECT_EQ(kChildTextTooLong, GetChildText(root, "t", buffer, 4, "x"));
  EXPECT_STREQ("abcd", buffer);  // nothing copied
  EXPECT_EQ(kChildTextMissing, GetChildText(root, "absent", buffer, 8, "def"));
  EXPECT_STREQ("def", buffer);
  // A default longer than the buffer is cut, not written past its end.
  char guard[8] = "#######";
  EXPECT_EQ(kChildTextMissing, GetChildText(root, "absent", guard, 3, "defaults"));
  EXPECT_STREQ("de", guard);
  EXPECT_EQ('#', guard[3]);
}

TEST(XmlWriter, AddsElementsWithOneTextAndPrintsThem) {
  TiXmlDocument document;
  auto* root = new TiXmlElement("root");
  document.LinkEndChild(root);
  EXPECT_EQ(root->FirstChild(), AddChildText(root, "name", "a<b"));
  AddChildInt(root, "count", -12);
  EXPECT_EQ(nullptr, AddChildTextIfNotEmpty(root, "skipped", ""));
  AddChildTextIfNotEmpty(root, "kept", "k");
  EXPECT_EQ(nullptr, AddChildText(nullptr, "x", "y"));
  EXPECT_EQ(
      "<root>\n    <name>a&lt;b</name>\n    <count>-12</count>\n    <kept>k</kept>\n</root>\n",
      NodeToString(&document));
}
