// The web-API client against the stand-in: the grants (always to the default host), the server
// clock, the signed multipart upload, and what happens when the site blames the refresh token
// or cannot be reached.
#include <gtest/gtest.h>

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
#include "webdata/lrc_helper.h"

using boost::property_tree::ptree;

namespace {

auto* const g_folder = ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder);
auto* const g_site = ::testing::AddGlobalTestEnvironment(new testsupport::StandinSite);

const std::string kKey = "7d41c0e9b3f2a65817ce04d9a8b36f2c";
const std::wstring kEditor = L"editor@example.com";

// The password text the login leaves: the MD5 digest of the password's UTF-8 bytes.
std::wstring Digest(const std::wstring& password) {
  std::string bytes = em_utility::wide_to_utf8(password);
  std::string digest = em_utility::md5_string(bytes.data(), static_cast<uint32_t>(bytes.size()));
  return std::wstring(digest.begin(), digest.end());
}

std::string Header(const ptree& entry, const std::string& name) {
  for (const auto& header : entry.get_child("headers")) {
    auto pair = header.second.begin();
    if (_stricmp(pair->second.data().c_str(), name.c_str()) == 0) return (++pair)->second.data();
  }
  return std::string();
}

class LrcHelperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(standin.ok()) << standin.error();
    ASSERT_TRUE(standin.Reset());
    SetApiUrl(standin.Host());
  }
  static void SetApiUrl(const std::string& host) {
    GetConfig()->ApiURL = std::wstring(host.begin(), host.end()).c_str();
  }

  // The logged requests of exactly this path, oldest first.
  std::vector<ptree> Requests(const std::string& path) {
    std::vector<ptree> entries;
    ptree log = standin.Log(path);
    if (auto requests = log.get_child_optional("requests")) {
      for (const auto& entry : *requests) {
        if (entry.second.get<std::string>("path") == path) entries.push_back(entry.second);
      }
    }
    return entries;
  }
  std::string Query(const std::string& path, size_t index) {
    std::vector<ptree> entries = Requests(path);
    return index < entries.size() ? entries[index].get<std::string>("query") : "(none)";
  }
  void Scenario(const std::string& rule) {
    ASSERT_TRUE(standin.SetScenario("{\"http\": " + rule + "}")) << rule;
  }
  bool Upload(LrcHelper& helper, int songId, const std::string& bytes = "[00:01.00]a\n") {
    std::wstring path = dir.file(L"123.lrc");
    EXPECT_TRUE(testsupport::WriteFileBytes(path, bytes));
    return helper.UploadLyric(songId, em_utility::wide_to_ansi(path), status, err, lyric);
  }
  std::string TokenOf(LrcHelper& helper) {
    std::string url = helper.BuildUrl(ApiPath("/sdk", ""), false, false);
    return url.substr(url.find("&access_token=") + 14);
  }

  testsupport::StandinClient standin;
  testsupport::TempDir dir;
  std::string status, err;
  std::wstring lyric;
};

}  // namespace

TEST_F(LrcHelperTest, PasswordGrantThenEveryUrlCarriesTheAccessToken) {
  LrcHelper helper;
  EXPECT_EQ(standin.Host() + "/sdk?q=1", helper.BuildUrl(ApiPath("/sdk", "q=1"), false, false));
  ASSERT_TRUE(helper.Login(kEditor, Digest(L"lyrics123")));
  EXPECT_EQ("access_1", TokenOf(helper));
  ASSERT_TRUE(helper.Login(kEditor, Digest(L"lyrics123")));
  const std::string query =
      "grant_type=password&client_id=" + kKey +
      "&username=editor@example.com&password=" + em_utility::wide_to_ansi(Digest(L"lyrics123"));
  EXPECT_EQ(query, Query("/api/oauth2/token", 0));
  EXPECT_EQ(query + "&access_token=access_1", Query("/api/oauth2/token", 1));

  // The name in the code page; characters that would end or change a value escaped.
  EXPECT_TRUE(helper.Login(L"test user", Digest(L"it's a secret")));
  EXPECT_TRUE(helper.Login(L"\u6b4c\u8bcd\u7f16\u8f91@example.com", Digest(L"\u5bc6\u7801123")));
  EXPECT_FALSE(helper.Login(L"a+b&c=d%e#f'", L"x y"));
  EXPECT_NE(std::string::npos, Query("/api/oauth2/token", 2).find("&username=test%20user&"));
  EXPECT_NE(std::string::npos,
            Query("/api/oauth2/token", 3).find("&username=%B8%E8%B4%CA%B1%E0%BC%AD@example.com&"));
  EXPECT_NE(
      std::string::npos,
      Query("/api/oauth2/token", 4).find("&username=a%2Bb%26c%3Dd%25e%23f%27&password=x%20y"));
}

TEST_F(LrcHelperTest, GrantsGoToTheDefaultHostTheRestToTheConfiguredOne) {
  const std::string other = "localhost" + standin.Host().substr(standin.Host().find(':'));
  SetApiUrl(other);
  LrcHelper helper;
  ASSERT_TRUE(helper.Login(kEditor, Digest(L"lyrics123")));
  ASSERT_TRUE(helper.RefreshToken("refresh_1"));
  ASSERT_TRUE(helper.SyncTime());
  ASSERT_TRUE(Upload(helper, 123));
  EXPECT_EQ(standin.Host(), Header(Requests("/api/oauth2/token").at(0), "Host"));
  EXPECT_EQ(standin.Host(), Header(Requests("/sdk/oauth2/token").at(0), "Host"));
  EXPECT_EQ(other, Header(Requests("/sdk/index/get-callid").at(0), "Host"));
  EXPECT_EQ(other, Header(Requests("/sdk").at(0), "Host"));
}

TEST_F(LrcHelperTest, RefreshGrantAndServerClock) {
  LrcHelper helper;
  ASSERT_TRUE(helper.Login(kEditor, Digest(L"lyrics123")));
  ASSERT_TRUE(helper.RefreshToken("refresh_1"));
  EXPECT_EQ("access_2", TokenOf(helper));
  EXPECT_EQ("grant_type=refresh_token&refresh_token=refresh_1&client_id=" + kKey +
                "&access_token=access_1",
            Query("/sdk/oauth2/token", 0));
  // refresh_1 was retired by its use: tried again with refresh_2, which the client holds.
  EXPECT_TRUE(helper.RefreshToken("refresh_1"));
  EXPECT_EQ(
      0u, Query("/sdk/oauth2/token", 2).find("grant_type=refresh_token&refresh_token=refresh_2&"));

  ASSERT_TRUE(helper.SyncTime());
  EXPECT_LE(std::abs(helper.GetTimeOffset()), 2);
  EXPECT_EQ(0u, Query("/sdk/index/get-callid", 0).find("client_id=" + kKey));
}

TEST_F(LrcHelperTest, UploadPostsTheFileAsThePartLyric) {
  const std::string bytes = "[ti:\xe6\x99\xb4\xe5\xa4\xa9]\r\n[00:01.00]\xe6\x99\xb4\r\n";
  LrcHelper helper;
  ASSERT_TRUE(helper.Login(kEditor, Digest(L"lyrics123")));
  ASSERT_TRUE(Upload(helper, 123, bytes));
  EXPECT_EQ("ok", status);
  EXPECT_NE(std::wstring::npos, lyric.find(L"/lyric/upload/"));

  const ptree upload = Requests("/sdk").at(0);
  std::string query = upload.get<std::string>("query");
  EXPECT_EQ(
      0u, query.find("song_id=123&type=1&api_key=" + kKey + "&method=Songs.AddLyricFile&call_id="));
  EXPECT_EQ(query.size() - 22, query.find("&access_token=access_1"));
  const ptree& part = upload.get_child("form").begin()->second;
  EXPECT_EQ("lyric", part.get<std::string>("name"));
  EXPECT_EQ("123.lrc", part.get<std::string>("filename"));
  EXPECT_EQ(bytes.size(), part.get<size_t>("size"));
  EXPECT_NE(std::string::npos, standin.RawRequest(2).find(bytes));
  EXPECT_EQ("", Header(upload, "Expect"));

  ASSERT_TRUE(Upload(helper, 999));  // the site's refusal is a result too
  EXPECT_EQ("failed", status);
  EXPECT_EQ("101 Song not found", err);
}

TEST_F(LrcHelperTest, UploadBlamingTheRefreshTokenRenewsItOnceAndFails) {
  LrcHelper helper;
  ASSERT_TRUE(helper.Login(kEditor, Digest(L"lyrics123")));
  Scenario("{\"match\": \"/sdk\", \"method\": \"POST\", \"error\": \"invalid_refresh_token\"}");
  EXPECT_FALSE(Upload(helper, 123));
  ASSERT_EQ(1u, Requests("/sdk/oauth2/token").size());
  EXPECT_NE(std::string::npos, Query("/sdk/oauth2/token", 0).find("refresh_token=refresh_1&"));
  EXPECT_EQ("access_2", TokenOf(helper));

  Scenario("{\"match\": \"/sdk\", \"method\": \"POST\", \"error\": \"invalid_access_token\"}");
  EXPECT_FALSE(Upload(helper, 123));
  EXPECT_EQ(1u, Requests("/sdk/oauth2/token").size());  // any other refusal is just a failure
}

TEST_F(LrcHelperTest, GrantsRepeatOnceOnTokenTextsThenGiveUp) {
  LrcHelper helper;
  Scenario("{\"match\": \"/api/oauth2/token\", \"error\": \"invalid_refresh_token\"}");
  EXPECT_FALSE(helper.Login(kEditor, Digest(L"lyrics123")));
  EXPECT_EQ(2u, Requests("/api/oauth2/token").size());
  Scenario(
      "{\"match\": \"/api/oauth2/token\", \"error\": \"refresh_token_expired\", \"times\": 1}");
  EXPECT_TRUE(helper.Login(kEditor, Digest(L"lyrics123")));
  EXPECT_EQ(4u, Requests("/api/oauth2/token").size());

  // The refresh grant tries again with the refresh token it holds (numbered as the access token).
  const std::string held = "refresh_" + TokenOf(helper).substr(7);
  Scenario(R"({"match": "/sdk/oauth2/token", "status": 400,
               "body": "No \"refresh_token\" parameter found"})");
  EXPECT_FALSE(helper.RefreshToken("stale"));
  EXPECT_EQ(2u, Requests("/sdk/oauth2/token").size());
  EXPECT_NE(std::string::npos, Query("/sdk/oauth2/token", 1).find("refresh_token=" + held + "&"));
}

TEST_F(LrcHelperTest, RepliesReadOnTheWindowsThreadStaySmall) {
  // Long member names are what the JSON reader is slow with: past 64 KiB a grant or an upload
  // result is refused before it is read, and the next exchange goes on as ever.
  std::string body = R"({\"access_token\": \"a\", \"refresh_token\": \"r\")";
  while (body.size() < 80000) body += R"(, \")" + std::string(34, 'x') + R"(\": 0)";
  body += "}";
  LrcHelper helper;
  Scenario(R"({"match": "/api/oauth2/token", "times": 1, "body": ")" + body + R"("})");
  EXPECT_FALSE(helper.Login(kEditor, Digest(L"lyrics123")));
  ASSERT_TRUE(helper.Login(kEditor, Digest(L"lyrics123")));
  Scenario(R"({"match": "/sdk", "method": "POST", "times": 1, "body": ")" + body + R"("})");
  EXPECT_FALSE(Upload(helper, 123));
  ASSERT_TRUE(Upload(helper, 123));
  EXPECT_EQ("ok", status);
}

TEST_F(LrcHelperTest, RefusedConnectionIsTriedThreeTimes) {
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);  // a port on which nothing listens
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int size = sizeof address;
  bind(s, reinterpret_cast<sockaddr*>(&address), size);
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
  closesocket(s);
  const std::string url = "127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/sdk";

  CurlEasyHandle handle(curl_easy_init());
  curl_easy_setopt(handle.get(), CURLOPT_URL, url.c_str());
  int performs = 0;
  EXPECT_EQ(CURLE_COULDNT_CONNECT, PerformWithRetry([&] {
              ++performs;
              return curl_easy_perform(handle.get());
            }));
  EXPECT_EQ(3, performs);

  SetApiUrl(url.substr(0, url.find('/')));
  LrcHelper helper;
  EXPECT_FALSE(helper.SyncTime());
  EXPECT_FALSE(Upload(helper, 123));
}
