#include <gtest/gtest.h>

#include <string>

#include "foundation/xml_reader.h"
#include "foundation/xml_writer.h"

using em_utility::TiXmlDocument;
using em_utility::TiXmlElement;

namespace {

// The root element of a parsed document (it lives until the next Parse).
class XmlReader : public testing::Test {
 protected:
  TiXmlElement* Parse(const char* text) {
    m_document.Clear();
    m_document.Parse(text, nullptr, em_utility::TIXML_ENCODING_UTF8);
    EXPECT_FALSE(m_document.Error()) << m_document.ErrorDesc();
    return m_document.RootElement();
  }
  TiXmlDocument m_document;
};

}  // namespace

TEST_F(XmlReader, IntegersReadAsAtoiDoesWithDefaultsForMissingText) {
  TiXmlElement* root = Parse(
      "<r><n>42</n><mixed>12ab</mixed><neg> -7</neg><letters>abc</letters><empty></empty>"
      "<closed/><n>99</n></r>");
  EXPECT_EQ(42, GetChildInt(root, "n", -1));  // the first of two
  EXPECT_EQ(12, GetChildInt(root, "mixed", -1));
  EXPECT_EQ(-7, GetChildInt(root, "neg", -1));
  EXPECT_EQ(0, GetChildInt(root, "letters", -1));
  EXPECT_EQ(-1, GetChildInt(root, "empty", -1));
  EXPECT_EQ(-1, GetChildInt(root, "closed", -1));
  EXPECT_EQ(-1, GetChildInt(root, "absent", -1));
  EXPECT_EQ(5, GetChildInt(nullptr, "n", 5));
  EXPECT_DOUBLE_EQ(2.5, GetChildDouble(Parse("<r><d>2.5x</d></r>"), "d", 0));
  EXPECT_DOUBLE_EQ(-1.0, GetChildDouble(Parse("<r/>"), "d", -1.0));
}

TEST_F(XmlReader, StringsComeBackAsStoredUtf8) {
  TiXmlElement* root = Parse("<r><name>\xE6\xAD\x8C &amp; x</name><empty></empty></r>");
  EXPECT_EQ("\xE6\xAD\x8C & x", GetChildString(root, "name", "d"));
  EXPECT_EQ("d", GetChildString(root, "empty", "d"));  // an empty element has no text node
  EXPECT_EQ("d", GetChildString(root, "absent", "d"));
  EXPECT_EQ("", GetChildString(root, "absent", nullptr));
}

TEST_F(XmlReader, TextIntoABufferReportsTooLongAndMissing) {
  TiXmlElement* root = Parse("<r><t>abcd</t></r>");
  char buffer[5] = "####";
  EXPECT_EQ(4, GetChildText(root, "t", buffer, 5, "x"));
  EXPECT_STREQ("abcd", buffer);

  char small[4] = "###";
  EXPECT_EQ(kChildTextTooLong, GetChildText(root, "t", small, 4, "x"));
  EXPECT_STREQ("###", small);  // nothing copied

  EXPECT_EQ(kChildTextMissing, GetChildText(root, "absent", small, 4, "def"));
  EXPECT_STREQ("def", small);
  // A default longer than the buffer is cut, not written past its end.
  char guard[8] = "#######";
  EXPECT_EQ(kChildTextMissing, GetChildText(root, "absent", guard, 3, "defaults"));
  EXPECT_STREQ("de", guard);
  EXPECT_EQ('#', guard[3]);
}

TEST_F(XmlReader, CountsChildNodesOfEveryKind) {
  TiXmlElement* root = Parse("<r>text<a/><!-- note --><b>1</b></r>");
  EXPECT_EQ(4, CountChildren(root));
  EXPECT_EQ(0, CountChildren(root->FirstChildElement("a")));
  EXPECT_EQ(0, CountChildren(nullptr));
}

TEST(XmlWriter, AddsElementsWithOneTextAndPrintsThem) {
  TiXmlDocument document;
  auto* root = new TiXmlElement("root");
  document.LinkEndChild(root);
  TiXmlElement* name = AddChildText(root, "name", "a<b");
  ASSERT_NE(nullptr, name);
  EXPECT_EQ(name, root->FirstChildElement("name"));
  AddChildInt(root, "count", -12);
  EXPECT_EQ(nullptr, AddChildTextIfNotEmpty(root, "skipped", ""));
  EXPECT_EQ(nullptr, AddChildTextIfNotEmpty(root, "skipped", nullptr));
  AddChildTextIfNotEmpty(root, "kept", "k");
  EXPECT_EQ(nullptr, AddChildText(nullptr, "x", "y"));

  EXPECT_EQ(-12, GetChildInt(root, "count", 0));
  EXPECT_EQ("a<b", GetChildString(root, "name", ""));
  EXPECT_EQ(3, CountChildren(root));
  EXPECT_EQ(
      "<root>\n    <name>a&lt;b</name>\n    <count>-12</count>\n    <kept>k</kept>\n</root>\n",
      NodeToString(&document));
  EXPECT_EQ("", NodeToString(nullptr));
}
