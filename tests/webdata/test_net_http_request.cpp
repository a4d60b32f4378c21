// CRequest against the stand-in: the web service's hand-written GET byte for byte, every way the
// reply can be framed and coded, the waits, the host look-ups, and the queue's web-API calls.
// Then servers that try to exhaust the program (bodies that never end, a gzip bomb, a trickle,
// JSON too deep or too wide for its reader), for the raw socket, the web API and the downloads:
// each request fails within its time with the memory bounded (each prints its time to failure
// and its peak memory), and the next one succeeds.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <boost/make_shared.hpp>

#include "foundation/config.h"
#include "foundation/site_addresses.h"
#include "support/program_folder.h"
#include "support/standin_client.h"
#include "support/standin_site.h"
#include "support/temp_dir.h"
#include "webdata/http_download.h"
#include "webdata/http_inflate.h"
#include "webdata/http_request.h"
#include "webdata/proto_replies.h"
#include "webdata/reply_limits.h"

namespace {

auto* const g_folder = static_cast<testsupport::TempProgramFolder*>(
    ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder));
auto* const g_site = ::testing::AddGlobalTestEnvironment(new testsupport::StandinSite);

const char kRadios[] = "/app/ws/car-radios";
const size_t kMiB = 1 << 20;

// The process's committed private bytes, counted region by region (Wine's process counters stay
// where they were at start).
size_t PrivateBytes() {
  size_t total = 0;
  MEMORY_BASIC_INFORMATION region;
  for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
    const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
    if (next <= at) break;
    at = next;
  }
  return total;
}

// How long a call took, and how far the private bytes rose above where they stood before it
// (sampled every 2 ms); printed for the record with the private bytes before, at the peak and
// after.
struct Cost {
  DWORD milliseconds = 0;
  size_t peakGrowth = 0;
};

Cost Measure(const std::string& what, const std::function<void()>& call) {
  const size_t before = PrivateBytes();
  std::atomic<size_t> peak(before);
  std::atomic<bool> done(false);
  std::thread sampler([&] {
    for (; !done; Sleep(2)) peak = std::max<size_t>(peak, PrivateBytes());
  });
  const DWORD start = GetTickCount();
  call();
  Cost cost{GetTickCount() - start, 0};
  done = true;
  sampler.join();
  const size_t after = PrivateBytes();
  cost.peakGrowth = peak - before;
  std::printf("[ figures  ] %-46s failed after %5lu ms, private bytes %.1f / peak %.1f (+%.1f) / "
              "after %.1f MiB\n",
              what.c_str(), static_cast<unsigned long>(cost.milliseconds), before / double(kMiB),
              peak / double(kMiB), cost.peakGrowth / double(kMiB), after / double(kMiB));
  return cost;
}

// A row of a table: what the server does, and the scenario rule that makes it do so.
using Case = std::pair<const char*, std::string>;

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
  static std::pair<int, std::string> Fetch(
      const std::string& url, unsigned timeout = 8,
      DWORD exchangeTime = reply_limits::kWebServiceMilliseconds) {
    CRequest request(0, 0, kTransportWebService);
    request.SetUrl(url);
    request.LimitExchangeTime(exchangeTime);
    std::pair<int, std::string> reply(-100, "");
    if (request.SendRequest()) reply.first = request.Receive(reply.second, timeout);
    return reply;
  }
  static std::pair<int, std::string> FetchRadios(
      unsigned timeout = 8, DWORD exchangeTime = reply_limits::kWebServiceMilliseconds) {
    return Fetch(site::WebServiceHost() + kRadios, timeout, exchangeTime);
  }
  void Scenario(const std::string& rule) { Scenario("/app/ws/", rule); }
  void Scenario(const std::string& match, const std::string& rule) {
    ASSERT_TRUE(standin.SetScenario(R"({"http": {"match": ")" + match + "\", " + rule + "}}"))
        << rule;
  }
  // Each row's server makes call give failed, within ms and with the memory bounded; then, with
  // the stand-in back to normal, call gives done.
  void ExpectEachFails(const char* what, const char* match, const std::vector<Case>& cases,
                       int failed, int done, const std::function<int()>& call,
                       DWORD ms = reply_limits::kWebServiceMilliseconds) {
    for (const Case& row : cases) {
      Scenario(match, row.second);
      int result = done;
      Cost cost = Measure(what + std::string(row.first), [&] { result = call(); });
      EXPECT_EQ(failed, result) << row.first;
      EXPECT_LT(cost.milliseconds, ms) << row.first;
      EXPECT_LT(cost.peakGrowth, 48 * kMiB) << row.first;
      ASSERT_TRUE(standin.Reset());
      EXPECT_EQ(done, call()) << "after " << row.first;
    }
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

// (The queue's own test performs both calls plainly.)
TEST_F(WebServiceTest, WebApiCallsOfTheQueueTakeGzipAndFailOnARefusal) {
  ASSERT_TRUE(standin.SetScenario("{\"http\": {\"match\": \"/sdk\", \"encoding\": \"gzip\"}}"));
  CRequest album(7, "proto::proto_albumdetail", 456, kTransportWebApi);
  album.SetApiParams("Albums.detail", {{"id", "456"}});
  auto detail = boost::make_shared<proto::albumdetail>();
  ASSERT_TRUE(album.PerformApi(detail));
  EXPECT_EQ(3u, detail->GetAlbum()->GetSongs().size());

  CRequest missing(6, "proto::proto_songdetail", 999, kTransportWebApi);
  missing.SetApiParams("Songs.getTrackDetail", {{"id", "999"}, {"quality", "l"}});
  EXPECT_FALSE(missing.PerformApi(boost::make_shared<proto::songdetail>()));
  EXPECT_EQ(2u, standin.Log("/sdk").get_child("requests").size());
}

TEST_F(WebServiceTest, WebServiceRepliesPastTheCeilingFail) {
  ExpectEachFails("web service: ", kRadios,
                  {{"endless body, Content-Length", R"("flood": "length")"},
                   {"endless body, chunks", R"("flood": "chunked")"},
                   {"endless body, one huge chunk", R"("flood": "one_chunk")"},
                   {"endless body, no framing", R"("flood": "close")"},
                   {"gzip bomb of 256 MiB", R"("bomb_mb": 256, "framing": "chunked")"}},
                  kReceiveTooLarge, 0, [] { return FetchRadios().first; });
}

TEST_F(WebServiceTest, WebApiRepliesPastTheCeilingOrTheReadersLimitsFail) {
  const std::string ok = R"("body": "{\"status\": \"ok\", \"data\": )";
  std::string flat = ok + "[0";
  while (flat.size() < reply_limits::kWebApiBytes - 100) flat += ",0";
  ExpectEachFails("web API: ", "/sdk",
                  {{"endless body, Content-Length", R"("flood": "length")"},
                   {"endless body, chunks", R"("flood": "chunked")"},
                   {"endless body, no framing", R"("flood": "close")"},
                   {"gzip bomb of 256 MiB", R"("bomb_mb": 256)"},
                   {"JSON nested 100000 deep",
                    ok + std::string(100000, '[') + std::string(100000, ']') + "}\""},
                   {"JSON cut off 13000 deep", ok + std::string(13000, '[') + "\""},
                   {"JSON of 2 million values", flat + "]}\""}},
                  0, 1, [] {
                    CRequest track(6, "proto::proto_songdetail", 123, kTransportWebApi);
                    track.SetApiParams("Songs.getTrackDetail", {{"id", "123"}, {"quality", "l"}});
                    auto song = boost::make_shared<proto::songdetail>();
                    return track.PerformApi(song) && song->GetSong()->GetSongId() == 123 ? 1 : 0;
                  });
}

TEST_F(WebServiceTest, DownloadsPastTheCeilingFailAndLeaveNoFile) {
  testsupport::TempDir dir;
  const std::wstring path = dir.file(L"cover.jpg");
  const std::string address = standin.Url("/cover/album-456.jpg");
  const std::wstring url(address.begin(), address.end());
  // Refused by its announced length, and counted as it comes. (Wine's WinINet drains the rest of
  // a body of known length when the request is closed: the first row lasts until the stand-in's
  // flood ends at 32 MiB or 120 s, with the memory flat; some 2 s here, a minute on a busy
  // machine.)
  constexpr DWORD kFloodEnds = 125000;
  ExpectEachFails("download: ", "/cover/",
                  {{"endless body, Content-Length", R"("flood": "length")"},
                   {"endless body, no framing", R"("flood": "close")"}},
                  kDownloadReadFailed, kDownloadDone, [&] {
                    int result = HttpDownloadFile(url.c_str(), path.c_str());
                    // A failure that leaves a file behind is no failure of the kind wanted.
                    if (result != kDownloadDone && DeleteFileW(path.c_str())) result = -1;
                    DeleteFileW(path.c_str());
                    return result;
                  },
                  kFloodEnds);
}

TEST_F(WebServiceTest, TricklingServerFailsAtTheDeadline) {
  // One byte every 1.5 s never trips the wait between reads: only the deadline of the whole
  // exchange ends it, shortened here from its 30 s.
  Scenario(kRadios,
           R"("body": ")" + std::string(100, 'x') + R"(", "pieces": 100, "pause_ms": 1500)");
  int result = 0;
  Cost cost =
      Measure("web service: trickle, 4 s deadline", [&] { result = FetchRadios(8, 4000).first; });
  EXPECT_EQ(kReceiveTimedOut, result);
  EXPECT_GE(cost.milliseconds, 3900u);
  EXPECT_LT(cost.milliseconds, 5500u);
  ASSERT_TRUE(standin.Reset());
  EXPECT_EQ(0, FetchRadios().first);
}

// Mended faults of the raw-socket client, one test each.

TEST_F(WebServiceTest, RefusedConnectionFailsAtOnce) {
  // A port that was free a moment ago: nothing listens there.
  SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int size = sizeof address;
  ASSERT_EQ(0, bind(probe, reinterpret_cast<sockaddr*>(&address), size));
  ASSERT_EQ(0, getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size));
  closesocket(probe);

  DWORD start = GetTickCount();
  EXPECT_EQ(-100, Fetch("127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + kRadios).first);
  EXPECT_LT(GetTickCount() - start, 2000u);  // not the 10 s kept for a peer that never answers
}

TEST_F(WebServiceTest, ErrorPageIsAFailedReceive) {
  // The natural 404 of an unknown song: its page must not arrive as the reply.
  EXPECT_EQ(std::make_pair(kReceiveNotOk, std::string()),
            Fetch(site::WebServiceHost() + "/app/ws/song-detail?id=999"));
  EXPECT_NE(std::string::npos,
            g_folder->MainLogText().find("CRequest status error! nStatus = 404"));
}
