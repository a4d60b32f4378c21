// Downloading a body from the stand-in site, 200 KB (a long web-service reply) and 4 MB (half
// the web service's reply ceiling): the web service's raw-socket client (CRequest), the web
// API's libcurl GET, and the same body sent gzip-compressed and inflated by each of them.
// Yardstick: the libcurl GET of the plain body, taken in turn with the other (ratios of pairs).
//
// Run it against a stand-in of your own (the ctest fixture's, started by hand):
//   python3 standin/fixture.py start "$PWD/build/bench-standin"
//   export REV_STANDIN_PORTS="$PWD/build/bench-standin/ports.json"
//   scripts/wine-run build/bench/bench_http.exe
//   python3 standin/fixture.py stop "$PWD/build/bench-standin"
// Under Wine every socket call is a round trip to the wineserver, so the figures swing with the
// machine's load.
#include <winsock2.h>

#include <cstdio>
#include <string>

#include "foundation/config.h"
#include "harness.h"
#include "support/deflate.h"
#include "support/standin_client.h"
#include "support/standin_site.h"
#include "support/temp_dir.h"
#include "webdata/api_call.h"
#include "webdata/http_request.h"
#include "webdata/reply_limits.h"

namespace {

constexpr int kPairs = 9;

// XML-like text that compresses about as well as the site's replies do.
std::string MakeBody(size_t size) {
  std::string body;
  body.reserve(size);
  for (unsigned seed = 7; body.size() < size; seed = seed * 1103515245u + 12345u) {
    body += "<song><song_id>" + std::to_string(seed % 100000) + "</song_id><song_name>n" +
            std::to_string((seed >> 8) % 1000) + "</song_name></song>";
  }
  body.resize(size);
  return body;
}

std::string Base64(const std::string& bytes) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    unsigned n = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 2]);
    out += kDigits[n >> 18];
    out += kDigits[(n >> 12) & 63];
    out += i + 1 < bytes.size() ? kDigits[(n >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kDigits[n & 63] : '=';
  }
  return out;
}

size_t RawDownload(const std::string& url) {
  CRequest request(0, 0, kTransportWebService);
  request.SetUrl(url);
  std::string text;
  if (!request.SendRequest() || request.Receive(text, 8) != 0) return 0;
  return text.size();
}

size_t CurlDownload(const std::string& url) {
  std::string host = url.substr(0, url.find('/'));
  CurlHeaderList headers = MakeHeaderList(web_api::HeaderLines(host, false));
  long status = 0;
  std::string body;
  if (!web_api::PerformGet(url, headers.get(), false, reply_limits::kWebApiBytes, status, body) ||
      status != 200) {
    return 0;
  }
  return body.size();
}

}  // namespace

int main() {
  testsupport::TempDir folder;
  SetProgramFolderForTesting(CString(folder.path().c_str()));
  testsupport::StandinSite site;  // starts Winsock
  testsupport::StandinClient standin;
  if (!standin.ok() || !standin.Reset()) {
    std::fprintf(stderr, "no stand-in: %s\n", standin.error().c_str());
    return 1;
  }
  GetConfig()->ApiURL = CString(std::wstring(site.host().begin(), site.host().end()).c_str());

  for (size_t size : {size_t(200000), size_t(4000000)}) {
    const std::string body = MakeBody(size);
    const std::string gzip = testsupport::Deflate(body, 31);
    const std::string url = site.host() + "/bench/body";
    // The plain body goes as JSON text (it needs no escapes), the compressed one as base64 with
    // its Content-Encoding: the stand-in then only sends bytes, never compresses them itself.
    auto serve = [&](const std::string& rule) {
      return standin.SetScenario("{\"http\": {\"match\": \"/bench/\", \"status\": 200, " + rule +
                                 "}}");
    };
    auto whole = [&](size_t (*download)(const std::string&)) { return download(url) == size; };
    auto raw = [&] { bench::KeepAlive(RawDownload(url)); };
    auto curl = [&] { bench::KeepAlive(CurlDownload(url)); };

    if (!serve("\"body\": \"" + body + "\"") || !whole(RawDownload) || !whole(CurlDownload)) {
      std::fprintf(stderr, "the plain body did not come whole\n");
      return 1;
    }
    std::printf("%u-byte body, %u bytes gzip-compressed; %d pairs\n",
                static_cast<unsigned>(size), static_cast<unsigned>(gzip.size()), kPairs);
    bench::PrintPaired("  raw socket, plain", bench::InTurn(raw, curl, kPairs), "libcurl, plain");

    if (!serve("\"headers\": [[\"Content-Encoding\", \"gzip\"]], \"body_b64\": \"" +
               Base64(gzip) + "\"") ||
        !whole(RawDownload) || !whole(CurlDownload)) {
      std::fprintf(stderr, "the compressed body did not come whole\n");
      return 1;
    }
    bench::PrintPaired("  raw socket, gzip inflated", bench::InTurn(raw, curl, kPairs),
                       "libcurl, gzip inflated");
  }
  return 0;
}
