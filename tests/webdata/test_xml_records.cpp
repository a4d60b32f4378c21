// Radio lists compared and sorted, and the shape check that keeps replies too deep or too wide
// from the XML reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "webdata/radio_records.h"
#include "webdata/reply_limits.h"
#include "webdata/reply_shape.h"

TEST(WebRecords, RadioListsCompareByIdsAndSortNewestFirst) {
  RadioList a, b;
  a.type_id = b.type_id = 1;
  a.list_id = b.list_id = 9;
  b.list_name = L"other name";
  EXPECT_TRUE(a.IsSameList(b));
  b.type_id = 2;
  EXPECT_FALSE(a.IsSameList(b));

  std::vector<RadioList> lists(3);
  lists[0].create_time = -5;  // signed: older than every real date
  lists[1].create_time = 20140101;
  lists[2].create_time = 20130101;
  std::sort(lists.begin(), lists.end(), RadioList::IsNewerThan);
  EXPECT_EQ(20140101, lists[0].create_time);
  EXPECT_EQ(-5, lists[2].create_time);
  EXPECT_FALSE(RadioList::IsNewerThan(lists[1], lists[1]));
}

TEST(XmlShape, OnlyElementsCountTowardsDepthAndNumber) {
  std::string deep, wide = "<list>", hidden = "<r>";
  for (int i = 0; i < reply_limits::kXmlDepth; ++i) deep = "<a x='>'>" + deep + "</a>";
  for (int i = 1; i < reply_limits::kXmlElements; ++i) wide += "<id/>";
  for (int i = 0; i < 70; ++i) hidden += "<!-- <a> --><![CDATA[<a>]]><?pi <a>?><!DOCTYPE a>";
  EXPECT_TRUE(XmlShapeWithinLimits(deep));
  EXPECT_FALSE(XmlShapeWithinLimits("<a>" + deep + "</a>"));
  EXPECT_TRUE(XmlShapeWithinLimits(wide + "</list>"));
  EXPECT_FALSE(XmlShapeWithinLimits(wide + "<id/></list>"));
  EXPECT_TRUE(XmlShapeWithinLimits(hidden + "</r>"));  // markup that is no element
}

// Markup that the reader reads otherwise than a plain scan would, hiding deep nesting from the
// check: every such reply is refused.
TEST(XmlShape, NestingHiddenFromAPlainScanIsRefused) {
  std::string open, close, strays;
  for (int i = 0; i < reply_limits::kXmlDepth + 2; ++i) {  // too deep also without its first
    open += "<a>";
    close += "</a>";
    strays += "</x>";
  }
  const std::string deep = open + close;
  const std::string cases[] = {
      // End tags before the root close nothing for the reader.
      strays + deep,
      // After '<' and a digit the reader sees unknown markup up to the first '>', quotes or not.
      "<1 \"" + deep + "\">",
      // A quoted declaration value holds a '>', and what a scan takes for a comment follows.
      "<?xml version=\">\" encoding=\"<!--\"?>" + deep + "-->",
  };
  for (const std::string& text : cases) EXPECT_FALSE(XmlShapeWithinLimits(text)) << text;
  EXPECT_TRUE(XmlShapeWithinLimits("<?XML version='1.0' encoding=\"utf-8\"?><types/>"));
}
