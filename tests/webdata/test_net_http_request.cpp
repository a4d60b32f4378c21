// CRequest against the stand-in: the web service's hand-written GET byte for byte, every way the
// reply can be framed and coded, the waits, the host look-ups, and the queue's web-API calls.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <boost/make_shared.hpp>

#include "foundation/config.h"
#include "foundation/site_addresses.h"
#include "support/program_folder.h"
#include "support/standin_client.h"
#include "support/standin_site.h"
#include "support/temp_dir.h"
#include "webdata/http_inflate.h"
#include "webdata/http_request.h"
#include "webdata/proto_replies.h"

namespace {

auto* const g_folder = static_cast<testsupport::TempProgramFolder*>(
    ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder));
auto* const g_site = ::testing::AddGlobalTestEnvironment(new testsupport::StandinSite);

const char kRadios[] = "/app/ws/car-radios";

class WebServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(standin.ok()) << standin.error();
    ASSERT_TRUE(standin.Reset());
    GetConfig()->ApiURL = std::wstring(standin.Host().begin(), standin.Host().end()).c_str();
    testsupport::HttpReply reply;
    ASSERT_TRUE(standin.Get(kRadios, &reply));
    plain = reply.body;
  }

  // One try of the queue's worker: the result of Receive (-100 when sending failed) and the text.
  std::pair<int, std::string> Fetch(const std::string& url, unsigned timeout = 8) {
    CRequest request(0, 0, kTransportWebService);
    request.SetUrl(url);
    std::pair<int, std::string> reply(-100, "");
    if (request.SendRequest()) reply.first = request.Receive(reply.second, timeout);
    return reply;
  }
  std::pair<int, std::string> FetchRadios(unsigned timeout = 8) {
    return Fetch(site::WebServiceHost() + kRadios, timeout);
  }
  void Scenario(const std::string& rule) {
    ASSERT_TRUE(standin.SetScenario("{\"http\": {\"match\": \"/app/ws/\", " + rule + "}}")) << rule;
  }

  testsupport::StandinClient standin;
  std::string plain;  // the radio list as the stand-in sends it by default
};

}  // namespace

TEST_F(WebServiceTest, RequestIsTheAbsoluteFormGetWithTheFixedHeaders) {
  EXPECT_EQ(std::make_pair(0, plain), FetchRadios());
  const std::string host = standin.Host();
  EXPECT_EQ("GET http://" + host + "/app/ws/car-radios HTTP/1.1\r\nHost: " + host +
                "\r\n"
                "User-Agent: Mozilla/4.0 (compatible; MSIE 5.0; Windows NT; DigExt)\r\n"
                "Accept: */*\r\nAccept-Encoding: gzip\r\nAccept-Language: zh-CN,zh;q=0.8\r\n"
                "Connection: keep-alive\r\n\r\n",
            standin.RawRequest(2));
}

TEST_F(WebServiceTest, EveryFramingAndCodingGivesTheSameText) {
  ASSERT_GT(plain.size(), 2048u);
  for (const char* rule : {
           "\"framing\": \"length\", \"pieces\": 4",
           "\"framing\": \"both\", \"pieces\": 3",  // Content-Length wins over chunked
           "\"framing\": \"chunked\", \"encoding\": \"gzip\", \"chunk_size\": 64, \"pieces\": 3",
           "\"encoding\": \"gzip\", \"pieces\": 3",
           "\"encoding\": \"gzip-zlib\"",
           "\"framing\": \"close\", \"pieces\": 3",
       }) {
    Scenario(rule);
    EXPECT_EQ(std::make_pair(0, plain), FetchRadios()) << rule;
  }

  // A chunk size line cut between two reads, with an extension after the size.
  const std::string chunked =
      "\"framing\": \"chunked\", \"chunk_size\": 100, \"chunk_ext\": \";x=1\"";
  Scenario(chunked);
  testsupport::HttpReply wire;
  ASSERT_TRUE(standin.Get(kRadios, &wire));
  ASSERT_EQ(0u, wire.body.find("64;x=1\r\n"));
  size_t secondSizeLine = wire.head.size() + 2 + 8 + 100 + 2;
  Scenario(chunked + ", \"split_at\": [" + std::to_string(secondSizeLine + 1) + "]");
  EXPECT_EQ(std::make_pair(0, plain), FetchRadios());
}

TEST_F(WebServiceTest, DeflateIsNotUndoneAndAnIdlePeerEndsTheBody) {
  Scenario("\"encoding\": \"deflate\"");
  auto coded = FetchRadios();
  char* block = nullptr;
  unsigned length = 0;
  EXPECT_EQ(0, InflateHttpBody(coded.second.data(), coded.second.size(), &block, false, &length));
  EXPECT_EQ(plain, std::string(block, length));
  std::free(block);

  // No framing, connection left open: the body ends after a little over two idle seconds.
  Scenario("\"framing\": \"idle\", \"pieces\": 2");
  EXPECT_EQ(std::make_pair(0, plain), FetchRadios());
}

TEST_F(WebServiceTest, ServerControlledSizesCannotOverrunAndSilenceTimesOut) {
  Scenario(
      "\"framing\": \"close\", \"headers\": [[\"Transfer-Encoding\", \"chunked\"]], "
      "\"body\": \"5\\r\\nhello\\r\\nFFFFFFFF\\r\\nabc\"");
  EXPECT_EQ(std::make_pair(0, std::string("hello")), FetchRadios());
  Scenario("\"content_length\": -5");
  EXPECT_EQ(std::make_pair(0, std::string()), FetchRadios());
  EXPECT_NE(std::string::npos,
            g_folder->MainLogText().find("CRequest nContentLen error! nContentLen = -5"));

  Scenario("\"action\": \"silent\"");
  DWORD start = GetTickCount();
  EXPECT_EQ(std::make_pair(kReceiveTimedOut, std::string()), FetchRadios(0));  // about 1 s
  EXPECT_LT(GetTickCount() - start, 4000u);
}

TEST_F(WebServiceTest, NamesAreLookedUpEvenWhenTheyBeginWithADigit) {
  const std::string port = standin.Host().substr(standin.Host().find(':'));
  EXPECT_EQ(std::make_pair(0, plain), Fetch("localhost" + port + kRadios));
  EXPECT_NE(std::string::npos, g_folder->MainLogText().find("ip: 127.0.0.1"));
  // Not a dotted address: looked up (and not found) rather than sent to 255.255.255.255.
  EXPECT_EQ(-100, Fetch("1nonexistent.invalid" + port + kRadios).first);
  EXPECT_NE(std::string::npos, g_folder->MainLogText().find("Failed gethostbyname(),error code:"));
}

TEST_F(WebServiceTest, WebApiCallsOfTheQueueLoadTheirRecords) {
  CRequest track(6, "proto::proto_songdetail", 123, kTransportWebApi);
  track.SetApiParams("Songs.getTrackDetail", {{"id", "123"}, {"quality", "l"}});
  auto song = boost::make_shared<proto::songdetail>();
  ASSERT_TRUE(track.PerformApi(song));
  EXPECT_EQ(123, song->GetSong()->GetSongId());

  ASSERT_TRUE(standin.SetScenario("{\"http\": {\"match\": \"/sdk\", \"encoding\": \"gzip\"}}"));
  CRequest album(7, "proto::proto_albumdetail", 456, kTransportWebApi);
  album.SetApiParams("Albums.detail", {{"id", "456"}});
  auto detail = boost::make_shared<proto::albumdetail>();
  ASSERT_TRUE(album.PerformApi(detail));
  EXPECT_EQ(3u, detail->GetAlbum()->GetSongs().size());

  CRequest missing(6, "proto::proto_songdetail", 999, kTransportWebApi);
  missing.SetApiParams("Songs.getTrackDetail", {{"id", "999"}, {"quality", "l"}});
  EXPECT_FALSE(missing.PerformApi(boost::make_shared<proto::songdetail>()));
  EXPECT_EQ(3u, standin.Log("/sdk").get_child("requests").size());
}
