#include <gtest/gtest.h>

#include <string>

#include <boost/property_tree/json_parser.hpp>

#include "foundation/cache_names.h"
#include "foundation/config.h"
#include "support/program_folder.h"
#include "webdata/album.h"
#include "webdata/proto_replies.h"
#include "webdata/reply_limits.h"
#include "webdata/song.h"
#include "webdata/song_list.h"

using boost::property_tree::wiptree;

namespace {

// Song loads ask the settings for the temp folder: keep their file out of the build tree.
auto* const kProgramFolder = testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder);

SongPtr LoadSong(const std::string& json) {
  SongPtr song = MakeSongPtr();
  EXPECT_TRUE(song->FromJsonString(json)) << json;
  return song;
}

std::wstring TempFolder() {
  return GetConfig()->GetSystemTempPath().GetString();
}

}  // namespace

TEST(SongRecord, LoadsASongObject) {
  SongPtr song = LoadSong(R"({"song_id": 1770088, "song_name": "晴天", "album_name": "叶惠美",
    "singers": "周杰伦", "length": 269, "track_url": "http://x/1.mp3", "demo": 1, "quality": "l",
    "default_resource_id": 8, "favourite": true, "play_authority": 1, "mv_id": "m",
    "listen_file": "ignored"})");
  EXPECT_EQ(1770088, song->GetSongId());
  EXPECT_EQ(L"晴天", song->GetSongName());
  EXPECT_EQ(L"周杰伦", song->GetSingers());
  EXPECT_EQ(L"http://x/1.mp3", song->GetTrackUrl());
  EXPECT_EQ(8, song->GetDefaultResourceId());
  EXPECT_TRUE(song->GetPlayAuthority());
  EXPECT_EQ(L"m", song->GetMvId());
}

TEST(SongRecord, NumbersAndFlagsFollowTheirOwnReadRules) {
  // Numbers must be whole and fit in 32 bits; keys are read without regard to case.
  const std::pair<const char*, int> ids[] = {
      {R"({"song_id": "123"})", 123},    {R"({"song_id": -4})", -4},
      {R"({"song_id": 1.5})", 0},        {R"({"song_id": "abc"})", 0},
      {R"({"song_id": 2147483648})", 0}, {R"({"song_id": 2147483647})", 2147483647},
      {R"({"SONG_ID": 5})", 5}};
  for (const auto& id : ids) EXPECT_EQ(id.second, LoadSong(id.first)->GetSongId()) << id.first;

  for (const char* json : {R"({"favourite": true})", R"({"favourite": "true"})",
                           R"({"favourite": 1})", R"({"favourite": "1"})"}) {
    EXPECT_TRUE(LoadSong(json)->GetFavourite()) << json;
  }
  EXPECT_FALSE(LoadSong(R"({"favourite": 2})")->GetFavourite());
  EXPECT_FALSE(LoadSong(R"({"play_authority": true})")->GetPlayAuthority());  // read as a number
  EXPECT_TRUE(LoadSong(R"({"demo": -1})")->GetDemo());
  EXPECT_FALSE(LoadSong(R"({"demo": "yes"})")->GetDemo());
}

TEST(SongRecord, ListenFileStandsInForAMissingTrackUrl) {
  EXPECT_EQ(L"l.mp3", LoadSong(R"({"track_url": "", "listen_file": "l.mp3"})")->GetTrackUrl());
  EXPECT_EQ(L"t.mp3", LoadSong(R"({"track_url": "t.mp3", "listen_file": "l"})")->GetTrackUrl());
}

TEST(SongRecord, LoadSetsLocalPathsInTheTempFolder) {
  SongPtr a = LoadSong(R"({"song_id": 123, "song_name": "晴天"})");
  SongPtr b = LoadSong(R"({"song_id": 456, "song_name": "晴天"})");
  EXPECT_EQ(TempFolder() + Sha1Name(L"晴天").GetString() + L"_123.mp3", a->GetMp3Path());
  EXPECT_NE(a->GetMp3Path(), b->GetMp3Path());  // two songs of one name never share a file
  EXPECT_EQ(TempFolder() + L"123.lrc", a->GetLyricPath());
}

TEST(SongRecord, EmptyObjectFailsAndChangesNothing) {
  SongPtr song = LoadSong(R"({"song_id": 9, "song_name": "n"})");
  song->SetProgress(50);
  EXPECT_FALSE(song->FromJsonString("{}"));
  EXPECT_EQ(9, song->GetSongId());
  EXPECT_EQ(L"n", song->GetSongName());
  // A second load overwrites every key, but not what the program keeps beside them.
  EXPECT_TRUE(song->FromJsonString(R"({"song_name": "m"})"));
  EXPECT_EQ(0, song->GetSongId());
  EXPECT_EQ(50.0f, song->GetProgress());
}

TEST(JsonText, CharactersBeyondTheBasicPlaneLoadAsSurrogatePairs) {
  SongPtr song = LoadSong("{\"song_name\": \"a\xF0\x9F\x98\x80z\"}");
  EXPECT_EQ(std::wstring(L"a\xD83D\xDE00z"), song->GetSongName());
  SongPtr escaped = LoadSong(R"({"song_name": "\ud83d\ude00"})");
  EXPECT_EQ(std::wstring(L"\xD83D\xDE00"), escaped->GetSongName());
}

TEST(JsonText, InvalidUtf8AndBadJsonFailCleanly) {
  SongPtr song = MakeSongPtr();
  for (const char* bytes : {"{\"song_name\": \"\xC3\x28\"}", "{\"song_name\": \"\x80\"}",
                            "{\"song_name\": \"\xC0\xAF\"}", "{\"song_name\": \"\xED\xA0\x80\"}",
                            "{\"song_name\": \"\xF0\x9F\x98\"}"}) {
    EXPECT_FALSE(song->FromJsonString(bytes)) << bytes;
  }
  EXPECT_FALSE(song->FromJsonString(""));
  EXPECT_FALSE(song->FromJsonString("{\"song_id\": 1"));
  EXPECT_FALSE(song->FromJsonString("not json"));
}

TEST(JsonText, RepliesPastTheReadersLimitsAreRefusedBeforeReading) {
  const int depth = reply_limits::kJsonDepth - 1;  // the record's own object is one level
  std::string zeros = "[0";                        // and song_id one value
  while (zeros.size() < 2 * (reply_limits::kJsonValues - 1)) zeros += ",0";
  // Each row: the reply, whether it loads. Brackets and commas inside strings are text.
  const std::pair<std::string, bool> cases[] = {
      {std::string(depth, '[') + std::string(depth, ']'), true},
      {std::string(depth + 1, '[') + std::string(depth + 1, ']'), false},
      {zeros + "]", true},
      {zeros + ",0]", false},
      {R"("\")" + std::string(100000, '[') + std::string(100000, ',') + "\"", true},
  };
  for (const auto& row : cases) {
    SongPtr song = MakeSongPtr();
    EXPECT_EQ(row.second, song->FromJsonString(R"({"song_id": 5, "x": )" + row.first + "}"))
        << row.first.substr(0, 40);
  }
}

TEST(AlbumRecord, LoadsKeysFlagsAndSongs) {
  Album album;
  ASSERT_TRUE(album.FromJsonString(R"({"album_id": 168, "album_name": "叶惠美",
      "song_count": 11, "is_check": 3, "is_play": -1,
      "songs": [{"song_id": 1, "song_name": "a"}, {}, {"song_id": 3}]})"));
  EXPECT_EQ(168, album.GetAlbumId());
  EXPECT_EQ(L"叶惠美", album.GetAlbumName());
  EXPECT_EQ(11, album.GetSongCount());
  EXPECT_TRUE(album.IsCheck());
  EXPECT_FALSE(album.IsPlayable());        // checked albums are not playable
  ASSERT_EQ(2u, album.GetSongs().size());  // the empty object is skipped
  EXPECT_EQ(3, album.GetSongs()[1]->GetSongId());
  // A second load replaces the songs and keeps the bits once set.
  ASSERT_TRUE(album.FromJsonString(R"({"is_check": 1, "is_play": 0})"));
  EXPECT_TRUE(album.IsCheck());
  EXPECT_FALSE(album.IsNotPlayable());
  EXPECT_TRUE(album.GetSongs().empty());

  Album playable;
  ASSERT_TRUE(playable.FromJsonString(R"({"is_check": "1", "is_play": 1})"));
  EXPECT_TRUE(playable.IsPlayable());
  Album silent;
  ASSERT_TRUE(silent.FromJsonString(R"({"album_id": 2})"));
  EXPECT_EQ(0u, silent.GetFlags());
  EXPECT_FALSE(silent.FromJsonString("{}"));
  wiptree filled;
  filled.put(L"x", 1);
  EXPECT_TRUE(silent.Serialize(filled, false));
  EXPECT_EQ(1u, filled.size());  // saving writes nothing
}

TEST(SongList, ObjectMembersLoadFromOneMemberTrees) {
  wiptree tree;
  std::wistringstream json(LR"({"songs": {"song_id": 5, "song_name": "n"}})");
  boost::property_tree::read_json(json, tree);
  std::vector<SongPtr> songs;
  ASSERT_TRUE(SerializeSongList(songs, tree, true, L"songs", 0, false));
  ASSERT_EQ(2u, songs.size());  // each member is a song of its own
  EXPECT_EQ(5, songs[0]->GetSongId());
  EXPECT_EQ(L"", songs[0]->GetSongName());
  EXPECT_EQ(L"n", songs[1]->GetSongName());
  ASSERT_TRUE(SerializeSongList(songs, tree, true, L"absent", 0, false));
  EXPECT_TRUE(songs.empty());
}

TEST(ReplyFrame, StatusMoreAndErr) {
  proto::base frame;
  EXPECT_TRUE(frame.IsOk());
  ASSERT_TRUE(frame.FromJsonString(R"({"data": 1})"));
  EXPECT_TRUE(frame.IsOk());  // no status is ok
  ASSERT_TRUE(frame.FromJsonString(R"({"status": "OK", "err": "bad", "more": "true"})"));
  EXPECT_FALSE(frame.IsOk());  // compared with case
  EXPECT_EQ(L"bad", frame.GetErr());
  EXPECT_TRUE(frame.HasMore());
  ASSERT_TRUE(frame.FromJsonString(R"({"status": "ok", "more": "TRUE"})"));
  EXPECT_FALSE(frame.HasMore());
}

TEST(Replies, TimeUploadAndTokenRepliesFollowTheirOwnRules) {
  proto::timestamp time;  // needs status ok and a time above 0
  EXPECT_TRUE(time.FromJsonString(R"({"status": "ok", "data": 1366000000})"));
  EXPECT_EQ(1366000000, time.GetData());
  EXPECT_FALSE(time.FromJsonString(R"({"data": 1366000000})"));
  EXPECT_FALSE(time.FromJsonString(R"({"status": "ok", "data": 0})"));

  proto::uploadResult result;  // needs data
  ASSERT_TRUE(result.FromJsonString(R"({"status": "ok", "data": {"lyric": "http://x/1.lrc"}})"));
  EXPECT_EQ(L"http://x/1.lrc", result.GetLyric());
  EXPECT_FALSE(result.FromJsonString(R"({"status": "failed", "err": "token"})"));
  EXPECT_EQ(L"failed", result.GetStatus());  // read before the missing data failed the load
  EXPECT_EQ(L"token", result.GetErr());

  proto::accesstoken token;
  ASSERT_TRUE(
      token.FromJsonString(R"({"access_token": "A1", "refresh_token": "R1", "expires_in": 3600})"));
  EXPECT_EQ(L"A1", token.GetAccessToken());
  EXPECT_EQ(L"R1", token.GetRefreshToken());
  EXPECT_EQ(3600, token.GetExpiresIn());
}

TEST(Replies, TrackDetailCarriesASongInData) {
  proto::songdetail detail;
  ASSERT_TRUE(detail.FromJsonString(R"({"status": "ok", "data": {"song_id": 42}})"));
  SongPtr first = detail.GetSong();
  ASSERT_TRUE(first);
  EXPECT_EQ(42, first->GetSongId());
  ASSERT_TRUE(detail.FromJsonString(R"({"data": {"song_id": 43}})"));
  EXPECT_EQ(first, detail.GetSong());  // made once, then reused
  EXPECT_EQ(43, first->GetSongId());

  for (const char* json :
       {R"({"data": {}})", R"({"data": 5})", R"({"data": []})", R"({"status": "ok"})"}) {
    proto::songdetail failing;
    EXPECT_FALSE(failing.FromJsonString(json)) << json;
  }
  proto::songdetail failed;
  EXPECT_FALSE(failed.FromJsonString(R"({"status": "fail", "err": "no song", "data": {}})"));
  EXPECT_FALSE(failed.IsOk());
  EXPECT_EQ(L"no song", failed.GetErr());
  EXPECT_FALSE(failed.GetSong());

  proto::songdetail nested(L"track");
  ASSERT_TRUE(nested.FromJsonString(R"({"data": {"track": {"song_id": 8}}})"));
  EXPECT_EQ(8, nested.GetSong()->GetSongId());
  EXPECT_FALSE(nested.FromJsonString(R"({"data": {"other": {"song_id": 8}}})"));
}

TEST(Replies, AlbumDetailCarriesAnAlbum) {
  proto::albumdetail detail;
  ASSERT_TRUE(detail.FromJsonString(
      R"({"status": "ok", "more": "false", "data": {"album_id": 9, "songs": [{"song_id": 1}]}})"));
  EXPECT_EQ(1u, detail.GetAlbum()->GetSongs().size());
  EXPECT_FALSE(proto::albumdetail().FromJsonString(R"({"data": {}})"));
}
