// The web service's XML replies as the web-data manager reads and keeps them (the exact records
// of a reply, the rules for 16-bit numbers, dates, minus ones and escapes), the web-API results,
// the radio types read while a reply replaces them, and the one request queue.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <boost/make_shared.hpp>

#include "foundation/cache_names.h"
#include "foundation/config.h"
#include "support/gtest_cstring.h"
#include "support/program_folder.h"
#include "webdata/web_data_manager.h"
#include "webdata/web_request_kind.h"
#include "webdata/web_service.h"

namespace {

::testing::Environment* const g_folder =
    ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder);

CString Describe(const RadioList& l) {
  CString s;
  s.Format(L"%d %s / %d %s / %d %s, created %d, songs %d, flags %u", l.type_id,
           l.type_name.GetString(), l.sort_id, l.sort_name.GetString(), l.list_id,
           l.list_name.GetString(), l.create_time, l.all_songs, l.flags);
  return s;
}

CString Describe(const CSongItem& s) {
  CString text;
  text.Format(L"%d/%d #%d: %d %s, track %d, disc %d, count %d, released %d, at %s", s.type_id,
              s.list_id, s.position, s.song_id, s.song_name.GetString(), s.track, s.disc_serial,
              s.song_count, s.release_time, s.song_location.GetString());
  return text;
}

WebRequestParam RadioSongKey(int typeId, int listId) {
  WebRequestParam key;
  key.fields[5] = typeId;
  key.fields[4] = listId;
  return key;
}

}  // namespace

TEST(WebServiceXml, RadioTypesAreReplacedWholeWithTheirLists) {
  CWebDataManager manager;
  manager.ParseWebServiceXml(R"(<?xml version="1.0" encoding="utf-8"?>
<types>
  <type><type_id>2</type_id><type_name>专辑</type_name>
    <sort><sort_id>70000</sort_id><sort_name>R&amp;B</sort_name>
      <list><list_id>100</list_id><list_name>晴天 🌈</list_name><create_time>2013</create_time>
        <all_songs>70000</all_songs><cover_url>http://h/c/100.jpg</cover_url></list>
      <list><list_id>101</list_id><create_time>-1</create_time></list>
    </sort>
    <sort><sort_id>11</sort_id><sort_name>新</sort_name></sort>
  </type>
  <type><type_id>3</type_id><type_name>电台</type_name>
    <sort><sort_id>-2</sort_id><sort_name>夜</sort_name>
      <list><list_id>102</list_id><create_time>20130521</create_time></list>
      <list><list_id>103</list_id><create_time>-5</create_time></list>
    </sort>
  </type>
</types>)",
                             WebRequestKind::RadioTypes, 0);

  std::vector<CString> lists;
  for (const RadioList& list : manager.GetRadioLists()) lists.push_back(Describe(list));
  EXPECT_EQ((std::vector<CString>{
                L"2 专辑 / 4464 R&B / 100 晴天 🌈, created 20130101, songs 4464, flags 16",
                L"2 专辑 / 4464 R&B / 101 , created 0, songs 0, flags 16",
                L"3 电台 / -2 夜 / 102 , created 20130521, songs 0, flags 0",
                L"3 电台 / -2 夜 / 103 , created -49899, songs 0, flags 0"}),
            lists);
  RadioTypeTable table = manager.GetRadioTypes();
  ASSERT_EQ(2u, table.types.size());
  EXPECT_EQ(2u, table.types[0].sorts.size());

  // Without a root "types" nothing changes; an empty one empties the tree, which then no longer
  // counts as current.
  manager.ParseWebServiceXml("<error><message>busy</message></error>", WebRequestKind::RadioTypes,
                             0);
  EXPECT_EQ(4u, manager.GetRadioLists().size());
  manager.ParseWebServiceXml("<types/>", WebRequestKind::RadioTypes, 0);
  EXPECT_TRUE(manager.GetRadioLists().empty());
  EXPECT_TRUE(manager.GetRadioTypes().types.empty());
}

TEST(WebServiceXml, RadioSongsCarryTheirListAndPlace) {
  CWebDataManager manager;
  manager.ParseWebServiceXml(R"(<songs><type_id>2</type_id><list_id>456</list_id>
  <song><song_id>123</song_id><track>-1</track><disc_serial>65535</disc_serial>
    <song_name>晴天</song_name><release_time>-1</release_time><song_count>70000</song_count>
    <song_location>http%3A%2F%2Fh%2Fa+b.mp3</song_location><cover_url>http://h/c.jpg</cover_url></song>
  <song><song_id>124</song_id><track>70000</track><disc_serial>2</disc_serial>
    <song_name>R&amp;B 🎷</song_name><release_time>2012</release_time></song>
</songs>)",
                             WebRequestKind::RadioSongs, 0);
  RadioSongEntry entry = manager.GetRadioSongs(RadioSongKey(2, 456));
  ASSERT_EQ(2u, entry.songs.size());
  EXPECT_EQ(L"2/456 #1: 123 晴天, track 0, disc 0, count 4464, released 0, at http://h/a b.mp3",
            Describe(entry.songs[0]));
  EXPECT_EQ(L"2/456 #2: 124 R&B 🎷, track 4464, disc 2, count 0, released 2012, at ",
            Describe(entry.songs[1]));
  const CSongItem& first = entry.songs[0];
  const CString temp = GetConfig()->GetSystemTempPath();
  EXPECT_EQ(MakeKeyHash(2, 456) + L"\\" + Sha1Name(L"http://h/c.jpg"), first.cover_cache_name);
  EXPECT_EQ(temp + Sha1Name(L"晴天") + L".mp3", first.local_audio_path);
  EXPECT_EQ(temp + L"123.lrc", first.local_lyric_path);
}

TEST(WebServiceXml, AnArtistKeepsItsFirstReply) {
  CWebDataManager manager;
  manager.ParseWebServiceXml(
      "<artist><artist_id>7</artist_id><album_count>2</album_count>"
      "<artist_name>R&amp;B 🎷</artist_name><location>台湾</location>"
      "<artist_desc>a&#13;&#10;&#13;&#10;&#13;&#10;&#13;&#10;b</artist_desc>"
      "<pic_url1>http://h/p1.jpg</pic_url1><pic_url3>http://h/p3.png</pic_url3></artist>",
      WebRequestKind::Artist, 7);
  manager.ParseWebServiceXml("<artist><artist_id>7</artist_id><artist_name>later</artist_name>"
                             "</artist>",
                             WebRequestKind::Artist, 7);
  CArtist artist = manager.RequestArtist(7);  // cached: no request, no wait
  EXPECT_EQ(L"R&B 🎷", artist.artist_name);
  EXPECT_EQ(L"a\r\n\r\nb", artist.artist_desc);
  const CString folder = GetConfig()->GetArtistCoverDir() + L"\\";
  EXPECT_EQ(folder + Sha1Name(L"http://h/p1.jpg"), artist.local_pic_path[0]);
  EXPECT_TRUE(artist.local_pic_path[1].IsEmpty());
  EXPECT_EQ(folder + Sha1Name(L"http://h/p3.png"), artist.local_pic_path[2]);
}

TEST(WebServiceXml, SongDetailIsStoredOnlyWhenItNamesAPlayableSong) {
  const std::string whole = "<song_name>雨后彩虹 🌈</song_name><file_size>10</file_size>";
  struct Case {
    int songId;
    std::string elements;
    bool stored;
  } cases[] = {
      {1, whole + "<content_size>8</content_size>", true},
      {2, whole, false},  // no content size
      {3, "<song_name></song_name><file_size>10</file_size><content_size>8</content_size>", false},
      {4, "<song_name>x</song_name><file_size>-1</file_size><content_size>8</content_size>", false},
  };
  CWebDataManager manager;
  for (const Case& c : cases) {
    manager.ParseWebServiceXml(
        "<song><song_id>" + std::to_string(c.songId) + "</song_id>" + c.elements + "</song>",
        WebRequestKind::SongDetail, c.songId);
    EXPECT_EQ(c.stored ? c.songId : 0, manager.GetSongDetail(c.songId).song_id) << c.elements;
  }
}

TEST(WebServiceXml, APromotionPageIsKeptEvenWithoutTypeOrSort) {
  struct Case {
    const char* reply;
    bool stored;
    std::vector<int> listIds;
  } cases[] = {
      {"<type><type_id>2</type_id><sort><sort_id>10</sort_id><list><list_id>457</list_id></list>"
       "<list><list_id>458</list_id></list></sort></type>",
       true, {457, 458}},
      {"<type><type_id>2</type_id><type_name>专辑</type_name></type>", true, {}},  // no "sort"
      {"<error><message>busy</message></error>", true, {}},                         // no "type"
      {"", false, {}},  // not XML: nothing is kept, so the page is asked for again
  };
  CWebDataManager manager;
  unsigned key = 0;
  for (const Case& c : cases) {
    AlbumPromotionParam page{10, 1, ++key, 10};
    manager.ParseWebServiceXml(c.reply, WebRequestKind::AlbumPromotions, RequestParamId(&page));
    CLockGuard lock(manager.GetAlbumPromotionLock());
    const AlbumPromotionCache& cache = manager.GetAlbumPromotionCache();
    auto found = cache.find(page);
    ASSERT_EQ(c.stored, found != cache.end()) << c.reply;
    std::vector<int> listIds;
    if (found != cache.end()) {
      for (const RadioList& list : found->second) listIds.push_back(list.list_id);
    }
    EXPECT_EQ(c.listIds, listIds) << c.reply;
  }
}

TEST(WebServiceXml, AnUpdateVersionOfThreeNumbersEndsInZero) {
  CWebDataManager manager;
  manager.ParseWebServiceXml("<update><version>1.0.15</version><url>http://h/s.exe</url>"
                             "<tip>a#b</tip></update>",
                             WebRequestKind::UpdateFile, 0);
  UpdateInfo info = manager.GetUpdateInfo();
  EXPECT_EQ((std::vector<unsigned>{1, 0, 15, 0}),
            (std::vector<unsigned>{info.major, info.minor, info.build, info.revision}));
  EXPECT_EQ(L"http://h/s.exe", info.url);
}

TEST(WebServiceXml, AReplyNestedTooDeepIsRefusedWithoutACrash) {
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<types>";
  for (int i = 0; i < 100000; ++i) deep += "</types>";
  CWebDataManager manager;
  manager.ParseWebServiceXml(deep, WebRequestKind::RadioTypes, 0);
  EXPECT_EQ(0u, manager.GetRadioTypes().loadTime);
}

TEST(WebServiceXml, SongLocationsDecodeUpperCaseEscapes) {
  EXPECT_EQ("http://h/a b.mp3", UrlDecode("http%3A%2F%2Fh%2Fa+b.mp3"));
  EXPECT_EQ("\xE6\x99\xB4", UrlDecode("%E6%99%B4"));
  EXPECT_EQ("O", UrlDecode("%2f"));  // lower case valued by the decoder's rule: 2*16 + 47
  EXPECT_EQ("ab", UrlDecode("ab%4"));
  EXPECT_EQ("ab", UrlDecode("ab%"));
}

TEST(WebDataManager, RadioTypesStayCurrentForTwelveHoursAcrossTheTickWrap) {
  EXPECT_TRUE(CWebDataManager::AreRadioTypesCurrent(false, 1000, 1000 + 43200000));
  EXPECT_FALSE(CWebDataManager::AreRadioTypesCurrent(false, 1000, 1000 + 43200001));
  EXPECT_FALSE(CWebDataManager::AreRadioTypesCurrent(true, 1000, 1000));
  EXPECT_TRUE(CWebDataManager::AreRadioTypesCurrent(false, 0xFFFFFF00u, 0x100));
  EXPECT_FALSE(CWebDataManager::AreRadioTypesCurrent(false, 0xFFFFFF00u, 43200001u - 0x100));
}

TEST(WebDataManager, ApiResultsAreStoredOnceUnderTheIdTheyCarry) {
  auto track = [](const char* name) {
    auto detail = boost::make_shared<proto::songdetail>();
    detail->FromJsonString(std::string(R"({"status":"ok","data":{"song_id":5,"song_name":")") +
                           name + "\"}}");
    return detail;
  };
  CWebDataManager manager;
  manager.StoreApiResult(track("first"), WebRequestKind::TrackDetail);
  manager.StoreApiResult(track("second"), WebRequestKind::TrackDetail);
  manager.StoreApiResult(boost::make_shared<proto::songdetail>(), WebRequestKind::TrackDetail);
  manager.StoreApiResult(track("third"), WebRequestKind::AlbumDetail);  // not an album

  bool found = false;
  ASSERT_TRUE(manager.GetTrackDetail(5, found));
  EXPECT_TRUE(found);
  EXPECT_EQ(L"first", manager.GetTrackDetail(5, found)->GetSong()->GetSongName());
  EXPECT_FALSE(manager.GetTrackDetail(0, found));
  EXPECT_TRUE(found);  // left as it was
  boost::shared_ptr<proto::albumdetail> album;
  EXPECT_FALSE(manager.GetAlbumDetail(5, album));
}

TEST(WebDataManager, ReadersNeverSeeHalfAReplacedRadioTree) {
  const std::string one =
      "<types><type><type_id>1</type_id><sort><list/></sort></type></types>";
  const std::string three =
      "<types><type><type_id>3</type_id><sort><list/><list/><list/></sort></type></types>";
  CWebDataManager manager;
  std::atomic<bool> done{false};
  std::thread writer([&] {
    for (int i = 0; i < 300; ++i) {
      manager.ParseWebServiceXml(i % 2 ? one : three, WebRequestKind::RadioTypes, 0);
    }
    done = true;
  });
  int torn = 0;
  while (!done) {
    std::vector<RadioList> lists = manager.GetRadioLists();
    if (!lists.empty() && lists.size() != static_cast<size_t>(lists.back().type_id)) ++torn;
  }
  writer.join();
  EXPECT_EQ(0, torn);
}

TEST(WebService, RacingThreadsShareOneQueue) {
  std::atomic<bool> go{false};
  std::vector<CWebService*> seen(8);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < seen.size(); ++i) {
    threads.emplace_back([&, i] {
      while (!go) std::this_thread::yield();
      seen[i] = CWebService::Instance();
    });
  }
  go = true;
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(1u, std::set<CWebService*>(seen.begin(), seen.end()).size());
}
