// The web-API client against the stand-in: password and refresh grants (always to the default
// host), the server clock, the signed multipart upload, and how it behaves when the site blames
// the refresh token or cannot be reached.
#include <gtest/gtest.h>
#include <winsock2.h>

#include <string>
#include <vector>

#include <boost/property_tree/ptree.hpp>

#include "foundation/config.h"
#include "foundation/md5.h"
#include "foundation/text_convert.h"
#include "support/program_folder.h"
#include "support/standin_client.h"
#include "support/standin_site.h"
#include "support/temp_dir.h"
#include "webdata/curl_transfer.h"
#include "webdata/lrc_helper.h"

using boost::property_tree::ptree;

namespace {

::testing::Environment* const g_folder =
    ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder);
::testing::Environment* const g_site =
    ::testing::AddGlobalTestEnvironment(new testsupport::StandinSite);

const std::string kKey = "7d41c0e9b3f2a65817ce04d9a8b36f2c";
const std::wstring kEditor = L"editor@example.com";

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// The password text the login leaves: the MD5 digest of the password's UTF-8 bytes.
std::wstring Digest(const std::wstring& password) {
  std::string bytes = em_utility::wide_to_utf8(password);
  return Wide(em_utility::md5_string(bytes.data(), static_cast<uint32_t>(bytes.size())));
}

std::string Header(const ptree& entry, const std::string& name) {
  for (const auto& header : entry.get_child("headers")) {
    auto pair = header.second.begin();
    if (_stricmp(pair->second.data().c_str(), name.c_str()) == 0) return (++pair)->second.data();
  }
  return std::string();
}

// A port on which nothing listens.
int ClosedPort() {
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int size = sizeof address;
  bind(s, reinterpret_cast<sockaddr*>(&address), size);
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
  closesocket(s);
  return ntohs(address.sin_port);
}

class LrcHelperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(standin.ok()) << standin.error();
    ASSERT_TRUE(standin.Reset());
    SetApiUrl(standin.Host());
  }

  static void SetApiUrl(const std::string& host) { GetConfig()->ApiURL = Wide(host).c_str(); }

  std::vector<ptree> Requests(const std::string& path) {
    std::vector<ptree> entries;
    ptree log = standin.Log(path);
    auto requests = log.get_child_optional("requests");
    if (!requests) return entries;
    for (const auto& entry : *requests) {
      if (entry.second.get<std::string>("path") == path) entries.push_back(entry.second);
    }
    return entries;
  }

  void Scenario(const std::string& rules) {
    ASSERT_TRUE(standin.SetScenario("{\"http\": " + rules + "}")) << rules;
  }

  // A lyric file as the editor saves it.
  std::string LyricFile(const std::string& bytes) {
    std::wstring path = dir.file(L"123.lrc");
    EXPECT_TRUE(testsupport::WriteFileBytes(path, bytes));
    return em_utility::wide_to_ansi(path);
  }

  testsupport::StandinClient standin;
  testsupport::TempDir dir;
};

}  // namespace

TEST_F(LrcHelperTest, PasswordGrantThenEveryUrlCarriesTheAccessToken) {
  LrcHelper helper;
  EXPECT_EQ(standin.Host() + "/sdk?q=1", helper.BuildUrl(ApiPath("/sdk", "q=1"), false, false));
  ASSERT_TRUE(helper.Login(kEditor, Digest(L"lyrics123")));
  EXPECT_EQ(standin.Host() + "/sdk?q=1&access_token=access_1",
            helper.BuildUrl(ApiPath("/sdk", "q=1"), false, false));
  ASSERT_TRUE(helper.Login(kEditor, Digest(L"lyrics123")));  // the token travels along

  std::vector<ptree> grants = Requests("/api/oauth2/token");
  ASSERT_EQ(2u, grants.size());
  const std::string query = "grant_type=password&client_id=" + kKey +
                            "&username=editor@example.com&password=" +
                            em_utility::wide_to_ansi(Digest(L"lyrics123"));
  EXPECT_EQ(query, grants[0].get<std::string>("query"));
  EXPECT_EQ(query + "&access_token=access_1", grants[1].get<std::string>("query"));
  EXPECT_EQ("GET", grants[0].get<std::string>("method"));
  EXPECT_EQ("lklrc(windows) v0.0.0.1", Header(grants[0], "User-Agent"));
}

TEST_F(LrcHelperTest, UserNamesAreSentInTheCodePageAndEscaped) {
  LrcHelper helper;
  EXPECT_TRUE(helper.Login(L"test user", Digest(L"it's a secret")));
  EXPECT_TRUE(helper.Login(L"\u6b4c\u8bcd\u7f16\u8f91@example.com", Digest(L"\u5bc6\u7801123")));
  // Characters that would end or change the value are escaped, whatever the site then says.
  EXPECT_FALSE(helper.Login(L"a+b&c=d%e#f'", L"x y"));

  std::vector<ptree> grants = Requests("/api/oauth2/token");
  ASSERT_EQ(3u, grants.size());
  EXPECT_NE(std::string::npos, grants[0].get<std::string>("query").find("&username=test%20user&"));
  EXPECT_NE(std::string::npos,
            grants[1].get<std::string>("query").find("&username=%B8%E8%B4%CA%B1%E0%BC%AD@example.com&"));
  EXPECT_NE(std::string::npos, grants[2].get<std::string>("query").find(
                                   "&username=a%2Bb%26c%3Dd%25e%23f%27&password=x%20y"));
  EXPECT_EQ("401", grants[2].get<std::string>("reply_status"));
}

TEST_F(LrcHelperTest, GrantsGoToTheDefaultHostUploadsToTheConfiguredOne) {
  const std::string other = "localhost" + standin.Host().substr(standin.Host().find(':'));
  SetApiUrl(other);
  LrcHelper helper;
  ASSERT_TRUE(helper.Login(kEditor, Digest(L"lyrics123")));
  ASSERT_TRUE(helper.RefreshToken("refresh_1"));
  ASSERT_TRUE(helper.SyncTime());
  std::string status, err;
  std::wstring lyric;
  ASSERT_TRUE(helper.UploadLyric(123, LyricFile("[00:01.00]a\n"), status, err, lyric));

  EXPECT_EQ(standin.Host(), Header(Requests("/api/oauth2/token").at(0), "Host"));
  EXPECT_EQ(standin.Host(), Header(Requests("/sdk/oauth2/token").at(0), "Host"));
  EXPECT_EQ(other, Header(Requests("/sdk/index/get-callid").at(0), "Host"));
  EXPECT_EQ(other, Header(Requests("/sdk").at(0), "Host"));
}

TEST_F(LrcHelperTest, RefreshGrantAndServerClock) {
  LrcHelper helper;
  ASSERT_TRUE(helper.Login(kEditor, Digest(L"lyrics123")));
  ASSERT_TRUE(helper.RefreshToken("refresh_1"));
  EXPECT_EQ(standin.Host() + "/sdk&access_token=access_2",
            helper.BuildUrl(ApiPath("/sdk", ""), false, false));
  EXPECT_EQ("grant_type=refresh_token&refresh_token=refresh_1&client_id=" + kKey +
                "&access_token=access_1",
            Requests("/sdk/oauth2/token").at(0).get<std::string>("query"));
  // refresh_1 was retired by its use: tried again with refresh_2, which the client holds.
  EXPECT_TRUE(helper.RefreshToken("refresh_1"));
  std::vector<ptree> refreshes = Requests("/sdk/oauth2/token");
  ASSERT_EQ(3u, refreshes.size());
  EXPECT_EQ("400", refreshes[1].get<std::string>("reply_status"));
  EXPECT_NE(std::string::npos, refreshes[2].get<std::string>("query").find("refresh_token=refresh_2&"));

  ASSERT_TRUE(helper.SyncTime());
  EXPECT_LE(std::abs(helper.GetTimeOffset()), 2);
  EXPECT_EQ(0u, Requests("/sdk/index/get-callid").at(0).get<std::string>("query").find(
                    "client_id=" + kKey));
  helper.SetServerTime(static_cast<int>(time(nullptr)) + 100);
  EXPECT_NEAR(100, helper.GetTimeOffset(), 1);
}

TEST_F(LrcHelperTest, UploadPostsTheFileAsThePartLyric) {
  const std::string bytes = "[ti:\xe6\x99\xb4\xe5\xa4\xa9]\r\n[00:01.00]\xe6\x99\xb4\r\n";
  LrcHelper helper;
  ASSERT_TRUE(helper.Login(kEditor, Digest(L"lyrics123")));
  std::string status, err;
  std::wstring lyric;
  ASSERT_TRUE(helper.UploadLyric(123, LyricFile(bytes), status, err, lyric));
  EXPECT_EQ("ok", status);
  EXPECT_EQ("", err);
  EXPECT_NE(std::wstring::npos, lyric.find(L"/lyric/upload/"));

  std::vector<ptree> uploads = Requests("/sdk");
  ASSERT_EQ(1u, uploads.size());
  const ptree& upload = uploads[0];
  EXPECT_EQ("POST", upload.get<std::string>("method"));
  std::string query = upload.get<std::string>("query");
  EXPECT_EQ(0u, query.find("song_id=123&type=1&api_key=" + kKey +
                           "&method=Songs.AddLyricFile&call_id="));
  EXPECT_EQ(query.size() - 22, query.find("&access_token=access_1"));
  const ptree& part = upload.get_child("form").begin()->second;
  EXPECT_EQ("lyric", part.get<std::string>("name"));
  EXPECT_EQ("123.lrc", part.get<std::string>("filename"));
  EXPECT_EQ(bytes.size(), part.get<size_t>("size"));
  EXPECT_NE(std::string::npos, standin.RawRequest(2).find(bytes));
  EXPECT_EQ("", Header(upload, "Expect"));
  EXPECT_EQ("", Header(upload, "Accept-Encoding"));

  // The site's refusals are results too.
  ASSERT_TRUE(helper.UploadLyric(999, LyricFile(bytes), status, err, lyric));
  EXPECT_EQ("failed", status);
  EXPECT_EQ("101 Song not found", err);
  ASSERT_TRUE(helper.UploadLyric(301, LyricFile(bytes), status, err, lyric));
  EXPECT_EQ("failed", status);
  EXPECT_EQ("105 The lyric of this song is locked", err);
}

TEST_F(LrcHelperTest, UploadBlamingTheRefreshTokenRenewsItOnceAndFails) {
  LrcHelper helper;
  ASSERT_TRUE(helper.Login(kEditor, Digest(L"lyrics123")));
  Scenario("{\"match\": \"/sdk\", \"method\": \"POST\", \"error\": \"invalid_refresh_token\"}");
  std::string status = "unchanged", err;
  std::wstring lyric;
  EXPECT_FALSE(helper.UploadLyric(123, LyricFile("[00:01.00]a\n"), status, err, lyric));
  EXPECT_EQ("unchanged", status);
  std::vector<ptree> refreshes = Requests("/sdk/oauth2/token");
  ASSERT_EQ(1u, refreshes.size());
  EXPECT_NE(std::string::npos, refreshes[0].get<std::string>("query").find("refresh_token=refresh_1&"));
  EXPECT_EQ(standin.Host() + "/sdk&access_token=access_2",
            helper.BuildUrl(ApiPath("/sdk", ""), false, false));

  // Any other refusal is just a failure.
  Scenario("{\"match\": \"/sdk\", \"method\": \"POST\", \"error\": \"invalid_access_token\"}");
  EXPECT_FALSE(helper.UploadLyric(123, LyricFile("[00:01.00]a\n"), status, err, lyric));
  EXPECT_EQ(1u, Requests("/sdk/oauth2/token").size());
}

TEST_F(LrcHelperTest, GrantsRepeatOnceOnTokenTextsThenGiveUp) {
  LrcHelper helper;
  Scenario("{\"match\": \"/api/oauth2/token\", \"error\": \"invalid_refresh_token\"}");
  EXPECT_FALSE(helper.Login(kEditor, Digest(L"lyrics123")));
  EXPECT_EQ(2u, Requests("/api/oauth2/token").size());

  Scenario("{\"match\": \"/api/oauth2/token\", \"error\": \"refresh_token_expired\", \"times\": 1}");
  EXPECT_TRUE(helper.Login(kEditor, Digest(L"lyrics123")));
  EXPECT_EQ(4u, Requests("/api/oauth2/token").size());

  // The refresh grant tries again with the refresh token it holds (numbered as the access token).
  std::string url = helper.BuildUrl(ApiPath("/sdk", ""), false, false);
  const std::string held = "refresh_" + url.substr(url.find("access_token=access_") + 20);
  Scenario(R"({"match": "/sdk/oauth2/token", "status": 400,
               "body": "No \"refresh_token\" parameter found"})");
  EXPECT_FALSE(helper.RefreshToken("stale"));
  std::vector<ptree> refreshes = Requests("/sdk/oauth2/token");
  ASSERT_EQ(2u, refreshes.size());
  EXPECT_NE(std::string::npos, refreshes[0].get<std::string>("query").find("refresh_token=stale&"));
  EXPECT_NE(std::string::npos, refreshes[1].get<std::string>("query").find("refresh_token=" + held + "&"));
}

TEST_F(LrcHelperTest, RefusedConnectionIsTriedThreeTimes) {
  const std::string closed = "127.0.0.1:" + std::to_string(ClosedPort());
  CurlEasyHandle handle(curl_easy_init());
  std::string url = closed + "/sdk";
  curl_easy_setopt(handle.get(), CURLOPT_URL, url.c_str());
  int performs = 0;
  EXPECT_EQ(CURLE_COULDNT_CONNECT, PerformWithRetry([&] {
              ++performs;
              return curl_easy_perform(handle.get());
            }));
  EXPECT_EQ(3, performs);

  SetApiUrl(closed);
  LrcHelper helper;
  DWORD start = GetTickCount();
  EXPECT_FALSE(helper.SyncTime());
  std::string status, err;
  std::wstring lyric;
  EXPECT_FALSE(helper.UploadLyric(123, LyricFile("[00:01.00]a\n"), status, err, lyric));
  EXPECT_LT(GetTickCount() - start, 10000u);
}
