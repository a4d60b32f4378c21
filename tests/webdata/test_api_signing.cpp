// What the site checks byte for byte in a web-API call: the signed query (golden values from the
// site's key and secret), the encoder, the header lists and which host each call goes to. That
// both clients sign at the moment of the call shows in their calls to the stand-in, which
// refuses a stale call id.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/config.h"
#include "foundation/md5.h"
#include "foundation/site_addresses.h"
#include "foundation/text_convert.h"
#include "support/program_folder.h"
#include "support/temp_dir.h"
#include "webdata/api_signing.h"
#include "webdata/http_request.h"
#include "webdata/lrc_helper.h"

namespace {

::testing::Environment* const g_folder =
    ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder);

const std::string kKey = "7d41c0e9b3f2a65817ce04d9a8b36f2c";

std::string Signed(const std::string& method, const std::vector<ApiParam>& params) {
  return web_api::BuildSignedQuery(method, params, "1400000000");
}

std::vector<std::string> Lines(const CurlHeaderList& list) {
  std::vector<std::string> lines;
  for (curl_slist* item = list.get(); item; item = item->next) lines.push_back(item->data);
  return lines;
}

}  // namespace

TEST(SignedQuery, GoldenValues) {
  const std::string tail = "&call_id=1400000000&api_sig=";
  EXPECT_EQ("id=123&quality=l&api_key=" + kKey + "&method=Songs.getTrackDetail" + tail +
                "e541ed67e82295737f07c79a93b50464",
            Signed("Songs.getTrackDetail", {{"id", "123"}, {"quality", "l"}}));
  EXPECT_EQ("id=456&api_key=" + kKey + "&method=Albums.detail" + tail +
                "08bca5cdce225286af80cb2ece7a4cb6",
            Signed("Albums.detail", {{"id", "456"}}));
  EXPECT_EQ("song_id=123&type=1&api_key=" + kKey + "&method=Songs.AddLyricFile" + tail +
                "cc9ed766391a900c12b12cbc09e42cfc",
            Signed("Songs.AddLyricFile", {{"song_id", "123"}, {"type", "1"}}));
  EXPECT_EQ("", Signed("", {{"id", "1"}}));
}

TEST(SignedQuery, SignsTrimmedUnencodedValuesAndTheFirstOfARepeatedName) {
  std::string query =
      Signed("Songs.getTrackDetail", {{"id", " 1 2\t"}, {"method", "mine"}, {"id", "9"}});
  std::string text =
      "api_key" + kKey + "call_id1400000000id1 2methodmine" + "e5b80a3fd19c27466f0b8d2ec4a1957b";
  EXPECT_EQ("id=1%202&method=mine&id=9&api_key=" + kKey +
                "&method=Songs.getTrackDetail&call_id=1400000000&api_sig=" +
                em_utility::md5_string(text.data(), text.size()),
            query);
  EXPECT_EQ("a%20b%27c&=+%/#%80%FF", CRequest::UrlEncode("a b'c&=+%/#\x80\xff"));
  EXPECT_EQ(CRequest::UrlEncode("x y'&\xd6"), LrcHelper::UrlEncode("x y'&\xd6"));
}

TEST(ApiCall, HeaderListsAndHosts) {
  GetConfig()->ApiURL = L"api.example:81";
  std::vector<std::string> get = {"Accept: */*",
                                  "Accept-Language: zh-cn",
                                  "Accept-Encoding: gzip, deflate",
                                  "Accept-Charset: utf8",
                                  "User-Agent: lklrc(windows) v0.0.0.1",
                                  "host: api.example:81",
                                  "Connection: keep-alive",
                                  "Pragma: no-cache",
                                  "Cache-Control: no-cache"};
  std::vector<std::string> post = get;
  post.erase(post.begin() + 2);
  post.push_back("Expect:");
  CRequest request(6, "proto::proto_songdetail", 123, kTransportWebApi);
  EXPECT_EQ(get, Lines(request.BuildHeaders(false)));
  EXPECT_EQ(post, Lines(request.BuildHeaders(true)));
  EXPECT_EQ("api.example:81/sdk?a=1", request.BuildUrl("/sdk", "a=1"));

  LrcHelper helper;
  EXPECT_EQ(post, Lines(helper.BuildHeaders(true, true)));  // a POST always names the first host
  get[5] = "host: " + site::DefaultApiHost();
  EXPECT_EQ(get, Lines(helper.BuildHeaders(true, false)));
  ApiPath path("/sdk", "q=1");
  EXPECT_EQ(site::DefaultApiHost() + "/sdk?q=1", helper.BuildUrl(path, true, false));
  EXPECT_EQ("api.example:81/sdk?q=1", helper.BuildUrl(path, true, true));
  EXPECT_EQ(0u, helper.BuildRawRequest(path, true).find("POST /sdk HTTP/1.1\r\nAccept: */*\r\n"));
}

TEST(ApiCall, AnEmptyApiUrlMeansTheDefaultHostAndWritesNothing) {
  const std::wstring path(GetConfig()->GetConfigPath().GetString());
  const std::string before = "<configure/>";  // what a save would replace
  ASSERT_TRUE(testsupport::WriteFileBytes(path, before));
  GetConfig()->ApiURL = L"";
  CRequest request(0, 0, kTransportWebService);
  EXPECT_EQ(site::DefaultApiHost() + "/sdk", request.BuildUrl("/sdk", ""));
  EXPECT_TRUE(GetConfig()->ApiURL.IsEmpty());
  EXPECT_EQ(before, testsupport::ReadFileBytes(path));
}
