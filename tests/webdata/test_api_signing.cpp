// The signed query of web-API calls, the encoder, the header lists, the addresses and the retry
// rule: what the site checks byte for byte.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "foundation/config.h"
#include "foundation/md5.h"
#include "foundation/site_addresses.h"
#include "support/program_folder.h"
#include "webdata/api_signing.h"
#include "webdata/curl_transfer.h"
#include "webdata/http_request.h"
#include "webdata/lrc_helper.h"

namespace {

::testing::Environment* const g_folder =
    ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder);

const std::string kKey = "7d41c0e9b3f2a65817ce04d9a8b36f2c";
const std::string kCallId = "1400000000";

std::string QueryValue(const std::string& query, const std::string& name) {
  size_t at = query.rfind("&" + name + "=");
  if (at == std::string::npos) return std::string();
  at += name.size() + 2;
  return query.substr(at, query.find('&', at) - at);
}

std::string Md5(const std::string& text) {
  return em_utility::md5_string(text.data(), static_cast<uint32_t>(text.size()));
}

std::vector<std::string> Lines(const CurlHeaderList& list) {
  std::vector<std::string> lines;
  for (curl_slist* item = list.get(); item; item = item->next) lines.push_back(item->data);
  return lines;
}

// The rule applied by a member at its own moment gives what the rule gives at that call id, and
// the call id is now.
void ExpectSignedNow(const std::string& query, const std::string& method,
                     const std::vector<ApiParam>& params) {
  std::string callId = QueryValue(query, "call_id");
  EXPECT_LE(std::labs(std::atol(callId.c_str()) - static_cast<long>(std::time(nullptr))), 2);
  EXPECT_EQ(web_api::BuildSignedQuery(method, params, callId), query);
}

}  // namespace

TEST(SignedQuery, GoldenValues) {
  EXPECT_EQ("id=123&quality=l&api_key=" + kKey +
                "&method=Songs.getTrackDetail&call_id=1400000000"
                "&api_sig=e541ed67e82295737f07c79a93b50464",
            web_api::BuildSignedQuery("Songs.getTrackDetail", {{"id", "123"}, {"quality", "l"}},
                                      kCallId));
  EXPECT_EQ("id=456&api_key=" + kKey +
                "&method=Albums.detail&call_id=1400000000&api_sig=08bca5cdce225286af80cb2ece7a4cb6",
            web_api::BuildSignedQuery("Albums.detail", {{"id", "456"}}, kCallId));
  EXPECT_EQ("song_id=123&type=1&api_key=" + kKey +
                "&method=Songs.AddLyricFile&call_id=1400000000"
                "&api_sig=cc9ed766391a900c12b12cbc09e42cfc",
            web_api::BuildSignedQuery("Songs.AddLyricFile", {{"song_id", "123"}, {"type", "1"}},
                                      kCallId));
  EXPECT_EQ("", web_api::BuildSignedQuery("", {{"id", "1"}}, kCallId));
}

TEST(SignedQuery, SignsTrimmedUnencodedValuesAndTheFirstOfARepeatedName) {
  std::string query = web_api::BuildSignedQuery(
      "Songs.getTrackDetail", {{"id", " 1 2\t"}, {"method", "mine"}, {"id", "9"}}, kCallId);
  EXPECT_EQ(0u, query.find("id=1%202&method=mine&id=9&api_key=" + kKey +
                           "&method=Songs.getTrackDetail&call_id=1400000000&api_sig="));
  EXPECT_EQ(Md5("api_key" + kKey + "call_id" + kCallId + "id" + "1 2" + "method" + "mine" +
                "e5b80a3fd19c27466f0b8d2ec4a1957b"),
            QueryValue(query, "api_sig"));
  EXPECT_EQ(0u, web_api::BuildSignedQuery("m", {{" id ", "5"}}, kCallId).find("id=5&api_key="));
}

TEST(SignedQuery, EncoderEscapesOnlyHighBytesSpacesAndApostrophes) {
  EXPECT_EQ("a%20b%27c&=+%/#%80%FF%D6%D0", web_api::UrlEncode("a b'c&=+%/#\x80\xff\xd6\xd0"));
  EXPECT_EQ("a%2Bb%26c", web_api::UrlEncode("a+b&c", "&+"));
  EXPECT_EQ(web_api::UrlEncode("x y&"), CRequest::UrlEncode("x y&"));
  EXPECT_EQ(web_api::UrlEncode("x y&"), LrcHelper::UrlEncode("x y&"));
}

TEST(SignedQuery, BothClientsSignByTheSameRuleAtTheirOwnMoment) {
  GetConfig()->ApiURL = L"api.example:81";
  std::vector<ApiParam> params = {{"id", "123"}, {"quality", "l"}};
  ExpectSignedNow(CRequest::BuildSignedQuery("Songs.getTrackDetail", params),
                  "Songs.getTrackDetail", params);
  LrcHelper helper;
  ExpectSignedNow(helper.BuildSignedQuery("Songs.getTrackDetail", params), "Songs.getTrackDetail",
                  params);
  ApiPath upload = helper.BuildAddLyricFileQuery(-7);
  EXPECT_EQ("/sdk", upload.first);
  ExpectSignedNow(upload.second, "Songs.AddLyricFile", {{"song_id", "-7"}, {"type", "1"}});
}

TEST(ApiCall, HeaderListsAndHosts) {
  GetConfig()->ApiURL = L"api.example:81";
  const std::string def = site::DefaultApiHost();
  const std::vector<std::string> get = {
      "Accept: */*",       "Accept-Language: zh-cn", "Accept-Encoding: gzip, deflate",
      "Accept-Charset: utf8", "User-Agent: lklrc(windows) v0.0.0.1", "host: api.example:81",
      "Connection: keep-alive", "Pragma: no-cache", "Cache-Control: no-cache"};
  std::vector<std::string> post = get;
  post.erase(post.begin() + 2);
  post.push_back("Expect:");

  CRequest request(6, "proto::proto_songdetail", 123, kTransportWebApi);
  EXPECT_EQ(get, Lines(request.BuildHeaders(false)));
  EXPECT_EQ(post, Lines(request.BuildHeaders(true)));
  EXPECT_EQ("api.example:81/sdk?a=1", request.BuildUrl("/sdk", "a=1"));
  EXPECT_EQ("api.example:81/sdk", request.BuildUrl("/sdk", ""));

  LrcHelper helper;
  EXPECT_EQ(get, Lines(helper.BuildHeaders(false, false)));
  EXPECT_EQ(post, Lines(helper.BuildHeaders(true, true)));  // a POST always names the first host
  std::vector<std::string> toDefault = get;
  toDefault[5] = "host: " + def;
  EXPECT_EQ(toDefault, Lines(helper.BuildHeaders(true, false)));

  ApiPath path("/sdk", "q=1");
  EXPECT_EQ(def + "/sdk?q=1", helper.BuildUrl(path, true, false));
  EXPECT_EQ("api.example:81/sdk?q=1", helper.BuildUrl(path, true, true));
  EXPECT_EQ("api.example:81/sdk?q=1", helper.BuildUrl(path, false, false));
  EXPECT_EQ(0u, helper.BuildRawRequest(path, true).find("POST /sdk HTTP/1.1\r\nAccept: */*\r\n"));
  EXPECT_EQ(0u, helper.BuildRawRequest(path, false).find("GET /sdk?q=1 HTTP/1.1\r\n"));
  EXPECT_NE(std::string::npos,
            helper.BuildRawRequest(path, true)
                .find("Expect:\r\nContent-Length: 3\r\n"
                      "Content-Type: application/x-www-form-urlencoded\r\n\r\nq=1"));
}

TEST(ApiCall, EmptyApiUrlTakesTheDefaultHostAndSavesIt) {
  GetConfig()->ApiURL = L"";
  CRequest request(0, 0, kTransportWebService);
  EXPECT_EQ(site::DefaultApiHost() + "/sdk", request.BuildUrl("/sdk", ""));
  EXPECT_EQ(CString(std::wstring(site::DefaultApiHost().begin(), site::DefaultApiHost().end()).c_str()),
            GetConfig()->ApiURL);
  CConfig reread;
  EXPECT_EQ(GetConfig()->ApiURL, reread.ApiURL);
}

TEST(ApiCall, RetriesOnlyConnectAndSendErrorsThreePerformsAtMost) {
  struct Case {
    std::vector<CURLcode> codes;
    int performs;
  } cases[] = {
      {{CURLE_COULDNT_CONNECT, CURLE_COULDNT_CONNECT, CURLE_COULDNT_CONNECT, CURLE_OK}, 3},
      {{CURLE_SEND_ERROR, CURLE_OK}, 2},
      {{CURLE_SEND_ERROR, CURLE_COULDNT_CONNECT, CURLE_SEND_ERROR}, 3},
      {{CURLE_OPERATION_TIMEDOUT, CURLE_OK}, 1},
      {{CURLE_OK}, 1},
  };
  for (const Case& c : cases) {
    int performs = 0;
    CURLcode last = PerformWithRetry([&] { return c.codes[performs++]; });
    EXPECT_EQ(c.performs, performs);
    EXPECT_EQ(c.codes[c.performs - 1], last);
  }
}
