#include <gtest/gtest.h>

#include <string>

#include "foundation/scoped_handle.h"
#include "foundation/xml_reader.h"
#include "foundation/xml_writer.h"
#include "support/temp_dir.h"

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

// The settings file was read by TinyXML's own loader; LoadXmlFile must read every file the same:
// line ends, a zero byte, a byte-order mark, an empty file, text that is no XML.
TEST(XmlReader, LoadXmlFileReadsFilesAsTinyXmlsLoaderDoes) {
  const std::string files[] = {
      "<c><a>1</a></c>",
      "<c>\r\n<a>one\rtwo\r\nthree\n</a>\r\r\n</c>",
      std::string("<c><a>x</a>\0<b>y</b></c>", 24),
      "\xEF\xBB\xBF<c><a>\xE6\xAD\x8C</a></c>",
      "",
      "not xml",
  };
  testsupport::TempDir dir;
  const std::wstring path = dir.file(L"file.xml");
  for (const std::string& bytes : files) {
    ASSERT_TRUE(testsupport::WriteFileBytes(path, bytes));
    UniqueFile first(_wfopen(path.c_str(), L"rb")), second(_wfopen(path.c_str(), L"rb"));
    em_utility::TiXmlDocument ours, theirs;
    EXPECT_EQ(theirs.LoadFile(second.get(), em_utility::TIXML_DEFAULT_ENCODING),
              LoadXmlFile(ours, first.get(), em_utility::TIXML_DEFAULT_ENCODING))
        << bytes;
    EXPECT_EQ(NodeToString(&theirs), NodeToString(&ours)) << bytes;
  }
}

// TinyXML steps over a character's whole length, over the text's end too; the zeros after the
// text stop it there, so a text cut inside a character ends as a broken element, every time.
TEST(XmlReader, TextEndingInsideACharacterIsABrokenElement) {
  for (const char* text : {"<c><a>cut\xE6\xAD", "<c><a>cut\xF0", "<c>\xE6\xAD", "<\xE6"}) {
    em_utility::TiXmlDocument document;
    EXPECT_FALSE(ParseXmlText(document, text, em_utility::TIXML_ENCODING_UTF8)) << text;
  }
  em_utility::TiXmlDocument whole;
  ASSERT_TRUE(ParseXmlText(whole, "<c><a>\xE6\xAD\x8C</a></c>", em_utility::TIXML_ENCODING_UTF8));
  EXPECT_EQ("\xE6\xAD\x8C", GetChildString(whole.FirstChildElement("c"), "a", ""));
}
