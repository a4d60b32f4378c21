// CRequest against the stand-in: the web service's hand-written GET byte for byte, every way the
// reply can be framed and coded, the waits, the host look-ups, and the web-API calls of the queue.
#include <gtest/gtest.h>
#include <winsock2.h>

#include <string>

#include <boost/make_shared.hpp>

#include "foundation/config.h"
#include "foundation/logger.h"
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
auto* const g_site = static_cast<testsupport::StandinSite*>(
    ::testing::AddGlobalTestEnvironment(new testsupport::StandinSite));

const char kRadios[] = "/app/ws/car-radios";

struct Reply {
  int result = -100;
  std::string text;
};

std::string LogText() {
  GetLogger()->flush();
  std::wstring base = g_folder->path() + L"log\\main.log.txt";
  return testsupport::ReadFileBytes(base + L".1.txt") + testsupport::ReadFileBytes(base + L".2.txt");
}

class WebServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(standin.ok()) << standin.error();
    ASSERT_TRUE(standin.Reset());
    GetConfig()->ApiURL = CString(std::wstring(standin.Host().begin(), standin.Host().end()).c_str());
  }

  // One try of the request queue's worker on the given address.
  Reply Fetch(const std::string& url, unsigned timeout = 8) {
    CRequest request(0, 0, kTransportWebService);
    request.SetUrl(url);
    Reply reply;
    if (request.SendRequest()) reply.result = request.Receive(reply.text, timeout);
    return reply;
  }
  Reply FetchRadios(unsigned timeout = 8) { return Fetch(site::WebServiceHost() + kRadios, timeout); }

  // The radio list as the stand-in sends it without a scenario.
  std::string PlainRadios() {
    testsupport::HttpReply reply;
    EXPECT_TRUE(standin.Get(kRadios, &reply));
    return reply.body;
  }

  void Scenario(const std::string& rule) {
    ASSERT_TRUE(standin.SetScenario("{\"http\": {\"match\": \"/app/ws/\", " + rule + "}}")) << rule;
  }

  testsupport::StandinClient standin;
};

}  // namespace

TEST_F(WebServiceTest, RequestIsTheAbsoluteFormGetWithTheFixedHeaders) {
  Reply reply = FetchRadios();
  ASSERT_EQ(0, reply.result);
  EXPECT_EQ(PlainRadios(), reply.text);
  EXPECT_NE(std::string::npos, reply.text.find("<types>"));
  const std::string host = standin.Host();
  EXPECT_EQ("GET http://" + host + "/app/ws/car-radios HTTP/1.1\r\n"
            "Host: " + host + "\r\n"
            "User-Agent: Mozilla/4.0 (compatible; MSIE 5.0; Windows NT; DigExt)\r\n"
            "Accept: */*\r\n"
            "Accept-Encoding: gzip\r\n"
            "Accept-Language: zh-CN,zh;q=0.8\r\n"
            "Connection: keep-alive\r\n"
            "\r\n",
            standin.RawRequest(1));
}

TEST_F(WebServiceTest, EveryFramingAndCodingGivesTheSameText) {
  const std::string plain = PlainRadios();
  ASSERT_GT(plain.size(), 2048u);
  for (const char* rule : {
           "\"framing\": \"length\", \"pieces\": 4",
           "\"framing\": \"both\", \"pieces\": 3",  // Content-Length wins over chunked
           "\"framing\": \"chunked\", \"chunk_size\": 300, \"pieces\": 5",
           "\"framing\": \"chunked\", \"encoding\": \"gzip\", \"chunk_size\": 64, \"pieces\": 3",
           "\"encoding\": \"gzip\", \"pieces\": 3",
           "\"encoding\": \"gzip-zlib\"",
           "\"framing\": \"close\", \"pieces\": 3",
       }) {
    Scenario(rule);
    Reply reply = FetchRadios();
    EXPECT_EQ(0, reply.result) << rule;
    EXPECT_EQ(plain, reply.text) << rule;
  }
}

TEST_F(WebServiceTest, ChunkSizeLineCutBetweenReads) {
  const std::string plain = PlainRadios();
  const std::string rule = "\"framing\": \"chunked\", \"chunk_size\": 100, \"chunk_ext\": \";x=1\"";
  Scenario(rule);
  testsupport::HttpReply wire;
  ASSERT_TRUE(standin.Get(kRadios, &wire));
  // Body on the wire: "64;x=1\r\n" + 100 bytes + "\r\n", then the second size line.
  ASSERT_EQ(0u, wire.body.find("64;x=1\r\n"));
  size_t bodyStart = wire.head.size() + 2;
  size_t secondSizeLine = bodyStart + 8 + 100 + 2;
  Scenario(rule + ", \"split_at\": [" + std::to_string(bodyStart + 50) + ", " +
           std::to_string(secondSizeLine + 1) + ", " + std::to_string(secondSizeLine + 4) + "]");
  Reply reply = FetchRadios();
  EXPECT_EQ(0, reply.result);
  EXPECT_EQ(plain, reply.text);
}

TEST_F(WebServiceTest, DeflateIsNotUndoneAndAnIdlePeerEndsTheBody) {
  const std::string plain = PlainRadios();
  Scenario("\"encoding\": \"deflate\"");
  Reply coded = FetchRadios();
  ASSERT_EQ(0, coded.result);
  char* block = nullptr;
  unsigned length = 0;
  EXPECT_EQ(0, InflateHttpBody(coded.text.data(), coded.text.size(), &block, false, &length));
  EXPECT_EQ(plain, std::string(block, length));
  std::free(block);

  // No framing and the connection left open: the body ends after a little over two idle seconds.
  Scenario("\"framing\": \"idle\", \"pieces\": 2");
  DWORD start = GetTickCount();
  Reply idle = FetchRadios();
  EXPECT_EQ(0, idle.result);
  EXPECT_EQ(plain, idle.text);
  EXPECT_LT(GetTickCount() - start, 6000u);
}

TEST_F(WebServiceTest, ServerControlledSizesCannotOverrun) {
  Scenario("\"framing\": \"close\", \"headers\": [[\"Transfer-Encoding\", \"chunked\"]], "
           "\"body\": \"5\\r\\nhello\\r\\nFFFFFFFF\\r\\nabc\"");
  Reply chunked = FetchRadios();
  EXPECT_EQ(0, chunked.result);
  EXPECT_EQ("hello", chunked.text);

  Scenario("\"content_length\": -5");
  Reply negative = FetchRadios();
  EXPECT_EQ(0, negative.result);
  EXPECT_EQ("", negative.text);
  EXPECT_NE(std::string::npos, LogText().find("CRequest nContentLen error! nContentLen = -5"));
}

TEST_F(WebServiceTest, SilenceIsATimeOutAfterTheGivenSeconds) {
  Scenario("\"action\": \"silent\"");
  DWORD start = GetTickCount();
  Reply reply = FetchRadios(0);  // the queue gives 8 s; 0 waits one second at most
  DWORD elapsed = GetTickCount() - start;
  EXPECT_EQ(kReceiveTimedOut, reply.result);
  EXPECT_EQ("", reply.text);
  EXPECT_GE(elapsed, 1000u);
  EXPECT_LT(elapsed, 4000u);
}

TEST_F(WebServiceTest, NamesAreLookedUpEvenWhenTheyBeginWithADigit) {
  const std::string port = standin.Host().substr(standin.Host().find(':'));
  Reply byName = Fetch("localhost" + port + kRadios);
  EXPECT_EQ(0, byName.result);
  EXPECT_EQ(PlainRadios(), byName.text);
  EXPECT_NE(std::string::npos, LogText().find("ip: 127.0.0.1"));

  // Not an address: looked up (and not found) rather than sent to 255.255.255.255.
  CRequest request(0, 0, kTransportWebService);
  request.SetUrl("1nonexistent.invalid" + port + kRadios);
  EXPECT_FALSE(request.SendRequest());
  EXPECT_NE(std::string::npos, LogText().find("Failed gethostbyname(),error code:"));

  request.SetUrl("no-slash-at-all");
  EXPECT_FALSE(request.SendRequest());
}

TEST_F(WebServiceTest, WebApiCallsOfTheQueueLoadTheirRecords) {
  CRequest track(6, "proto::proto_songdetail", 123, kTransportWebApi);
  track.SetApiParams("Songs.getTrackDetail", {{"id", "123"}, {"quality", "l"}});
  auto song = boost::make_shared<proto::songdetail>();
  ASSERT_TRUE(track.PerformApi(song));
  ASSERT_TRUE(song->GetSong());
  EXPECT_EQ(123, song->GetSong()->GetSongId());
  EXPECT_EQ("proto::proto_songdetail", track.GetResultType());
  EXPECT_EQ(6, track.GetRequestId());
  EXPECT_EQ(123, track.GetId());
  EXPECT_EQ(kTransportWebApi, track.GetTransport());

  ASSERT_TRUE(standin.SetScenario("{\"http\": {\"match\": \"/sdk\", \"encoding\": \"gzip\"}}"));
  CRequest album(7, "proto::proto_albumdetail", 456, kTransportWebApi);
  album.SetApiParams("Albums.detail", {{"id", "456"}});
  auto detail = boost::make_shared<proto::albumdetail>();
  ASSERT_TRUE(album.PerformApi(detail));
  ASSERT_TRUE(detail->GetAlbum());
  EXPECT_EQ(456, detail->GetAlbum()->GetAlbumId());
  EXPECT_EQ(3u, detail->GetAlbum()->GetSongs().size());

  auto requests = standin.Log("/sdk").get_child("requests");
  ASSERT_EQ(2u, requests.size());
  EXPECT_EQ("200", requests.front().second.get<std::string>("reply_status"));
  EXPECT_EQ(0u, requests.front().second.get<std::string>("query").find("id=123&quality=l&api_key="));

  CRequest missing(6, "proto::proto_songdetail", 999, kTransportWebApi);
  missing.SetApiParams("Songs.getTrackDetail", {{"id", "999"}, {"quality", "l"}});
  EXPECT_FALSE(missing.PerformApi(boost::make_shared<proto::songdetail>()));
}
