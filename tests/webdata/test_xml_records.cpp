#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "foundation/xml_reader.h"
#include "foundation/xml_writer.h"
#include "support/gtest_cstring.h"
#include "webdata/artist.h"
#include "webdata/radio_records.h"
#include "webdata/request_params.h"
#include "webdata/song_item.h"
#include "webdata/update_info.h"
#include "webdata/xml_wrapper.h"

using em_utility::TiXmlDocument;
using em_utility::TiXmlElement;

TEST(WebRecords, NewRecordsHoldTheirDefaults) {
  RadioSort sort;
  EXPECT_EQ(-1, sort.type_id);
  EXPECT_EQ(0, sort.sort_id);
  RadioType type;
  EXPECT_EQ(0, type.type_id);
  EXPECT_TRUE(type.sorts.empty());
  RadioList list;
  EXPECT_EQ(19870901, list.base_date);
  EXPECT_EQ(0, list.create_time);
  EXPECT_EQ(0u, list.flags);
  CSongItem song;
  EXPECT_EQ(-1, song.extra_number1);
  EXPECT_EQ(0, song.song_id);  // so the song list refuses it
  EXPECT_TRUE(song.song_name.IsEmpty());
  CArtist artist;
  EXPECT_EQ(0, artist.album_count);
  UpdateInfo update;
  EXPECT_EQ(0u, update.major + update.minor + update.build + update.revision);
  WebRequestParam param;
  for (int field : param.fields) EXPECT_EQ(0, field);
}

TEST(WebRecords, ResetBringsBackEveryDefault) {
  RadioList list;
  list.type_id = 2;
  list.base_date = 1;
  list.cover_url = L"http://x/c.jpg";
  list.flags = RadioList::kFlagTypeTwo;
  list.all_songs = 12;
  list.Reset();
  EXPECT_EQ(0, list.type_id);
  EXPECT_EQ(19870901, list.base_date);
  EXPECT_TRUE(list.cover_url.IsEmpty());
  EXPECT_EQ(0u, list.flags);
  EXPECT_EQ(0, list.all_songs);

  CSongItem song;
  song.extra_number1 = 5;
  song.song_id = 77;
  song.extra_real = 1.5f;
  song.song_location = L"http://x/s.mp3";
  song.Reset();
  EXPECT_EQ(-1, song.extra_number1);
  EXPECT_EQ(0, song.song_id);
  EXPECT_EQ(0.0f, song.extra_real);
  EXPECT_TRUE(song.song_location.IsEmpty());
}

TEST(WebRecords, RadioListsCompareByIdsAndSortNewestFirst) {
  RadioList a, b, c;
  a.type_id = b.type_id = 1;
  a.list_id = b.list_id = 9;
  a.list_name = L"one";
  b.list_name = L"other name";
  EXPECT_TRUE(a.IsSameList(b));
  c.type_id = 2;
  c.list_id = 9;
  EXPECT_FALSE(a.IsSameList(c));

  a.create_time = b.create_time = 20130101;
  EXPECT_FALSE(RadioList::IsNewerThan(a, b));
  EXPECT_FALSE(RadioList::IsNewerThan(b, a));
  c.create_time = -5;  // signed: older than every real date
  EXPECT_TRUE(RadioList::IsNewerThan(a, c));

  std::vector<RadioList> lists(3);
  lists[0].create_time = 20120101;
  lists[1].create_time = 20140101;
  lists[2].create_time = 20130101;
  std::sort(lists.begin(), lists.end(), RadioList::IsNewerThan);
  EXPECT_EQ(20140101, lists[0].create_time);
  EXPECT_EQ(20120101, lists[2].create_time);
}

TEST(WebRecords, CopiesAreMemberwise) {
  CArtist artist;
  artist.artist_id = 3;
  artist.artist_name = L"歌手";
  artist.pic_url[4] = L"http://x/5.jpg";
  CArtist copy(artist);
  artist.artist_name = L"changed";
  EXPECT_EQ(3, copy.artist_id);
  EXPECT_EQ(L"歌手", copy.artist_name);
  EXPECT_EQ(L"http://x/5.jpg", copy.pic_url[4]);

  AlbumPromotionParam key{7, 2, 0xFFFFFFFFu, 1};
  AlbumPromotionParam cached;
  cached = key;
  EXPECT_EQ(7, cached.sort_id);
  EXPECT_EQ(2, cached.page);
  EXPECT_EQ(0xFFFFFFFFu, cached.key1);
  EXPECT_EQ(1u, cached.key2);
}

namespace {

// A record of the kind xml_wrapper serves: a name in an element of its own root.
struct NamedRecord : xml_wrapper {
  NamedRecord() { m_strRootName = "record"; }
  bool WriteXmlDocument(TiXmlDocument* document) override {
    auto* root = new TiXmlElement(m_strRootName.c_str());
    AddChildText(root, "name", name.c_str());
    document->LinkEndChild(root);
    return true;
  }
  bool ReadXmlElement(TiXmlElement* element) override {
    name = GetChildString(element, "name", "");
    return !name.empty();
  }
  std::string name;
};

}  // namespace

TEST(XmlWrapper, BaseWritesNothingAndReadsNothing) {
  xml_wrapper base;
  EXPECT_FALSE(base.HasRootName());
  std::string out;
  EXPECT_EQ("", base.SaveToString(out));
  base.m_strRootName = "r";
  EXPECT_TRUE(base.HasRootName());
  EXPECT_FALSE(base.LoadFromString("<r/>"));  // found, but the base reads nothing
}

TEST(XmlWrapper, DerivedRecordRoundTripsThroughText) {
  NamedRecord record;
  record.name = "\xE6\xAD\x8C";
  std::string text;
  record.SaveToString(text);
  EXPECT_EQ(
      "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<record>\n    <name>\xE6\xAD\x8C</name>\n"
      "</record>\n",
      text);

  NamedRecord back;
  EXPECT_TRUE(back.LoadFromString(text.c_str()));
  EXPECT_EQ(record.name, back.name);

  EXPECT_FALSE(back.LoadFromString(nullptr));
  EXPECT_FALSE(back.LoadFromString(""));
  EXPECT_FALSE(back.LoadFromString("<record><name>x</record>"));  // not well formed
  EXPECT_FALSE(back.LoadFromString("<other><name>x</name></other>"));
  EXPECT_TRUE(
      back.LoadFromString("<?xml version=\"1.0\"?><!-- c --><record><name>y</name></record>"));
  EXPECT_EQ("y", back.name);
}
