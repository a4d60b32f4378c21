// The raw web-service exchange without a network: addresses, the request text, reply headers,
// chunked bodies (whose sizes come from the server and must not be trusted) and inflation.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "webdata/http_body.h"
#include "webdata/http_inflate.h"

namespace {

// Hands out the pieces one per call, as a socket would; counts the calls.
struct PieceSource {
  std::vector<std::string> pieces;
  size_t next = 0;
  int calls = 0;
  ReceiveMoreFn fn() {
    return [this](std::string& text) {
      ++calls;
      if (next == pieces.size()) return 0;
      text += pieces[next];
      return static_cast<int>(pieces[next++].size());
    };
  }
};

std::string Decode(const std::string& first, PieceSource& source) {
  std::string text = first, body;
  DecodeChunkedBody(text, body, source.fn());
  return body;
}

// windowBits 31 writes a gzip header, 15 a zlib one.
std::string Deflate(const std::string& plain, int windowBits) {
  z_stream stream = {};
  deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, plain.size()) + 32, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.data()));
  stream.avail_in = plain.size();
  stream.next_out = reinterpret_cast<Bytef*>(&out[0]);
  stream.avail_out = out.size();
  EXPECT_EQ(Z_STREAM_END, deflate(&stream, Z_FINISH));
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

// Text that does not compress to nothing, so that a cut stream has output to give.
std::string SampleText(size_t size) {
  std::string text;
  unsigned seed = 12345;
  while (text.size() < size) {
    seed = seed * 1103515245 + 12345;
    text += "<song_name>" + std::to_string(seed % 100000) + "</song_name>\n";
  }
  text.resize(size);
  return text;
}

struct Inflated {
  int result;
  std::string text;
  bool terminated;
};

Inflated Inflate(const std::string& data, bool gzip) {
  char* block = nullptr;
  unsigned length = 12345;
  int result = InflateHttpBody(data.data(), static_cast<unsigned>(data.size()), &block, gzip, &length);
  std::unique_ptr<char, decltype(&std::free)> owned(block, &std::free);
  if (!block) return {result, std::string(), false};
  return {result, std::string(block, length), block[length] == '\0'};
}

}  // namespace

TEST(HttpUrl, SplitsHostPortAndRejectsWhatCannotBeSent) {
  std::string host;
  unsigned short port = 0;
  ASSERT_TRUE(SplitHttpUrl("www.daruruvi.com/app/ws/car-radios", host, port));
  EXPECT_EQ("www.daruruvi.com", host);
  EXPECT_EQ(80, port);
  ASSERT_TRUE(SplitHttpUrl("http://10.1.2.3:8080/app/ws/song-detail?id=1", host, port));
  EXPECT_EQ("10.1.2.3", host);
  EXPECT_EQ(8080, port);
  ASSERT_TRUE(SplitHttpUrl("h:81x/", host, port));  // the port's digits as atoi reads them
  EXPECT_EQ(81, port);

  EXPECT_FALSE(SplitHttpUrl("www.daruruvi.com", host, port));
  EXPECT_TRUE(SplitHttpUrl(std::string(260, 'h') + "/p", host, port));
  EXPECT_FALSE(SplitHttpUrl(std::string(261, 'h') + "/p", host, port));
}

TEST(HttpUrl, RequestTextCarriesARangeOnlyWhenBothEndsAreGiven) {
  std::string text;
  ASSERT_TRUE(BuildRangeRequest("files.example/a.mp3", text, 100, 199));
  EXPECT_EQ(
      "GET http://files.example/a.mp3 HTTP/1.1\r\n"
      "Host: files.example:80\r\n"
      "User-Agent: Mozilla/4.0 (compatible; MSIE 5.0; Windows NT; DigExt)\r\n"
      "Accept: */*\r\n"
      "Accept-Encoding: gzip\r\n"
      "Accept-Language: zh-CN,zh;q=0.8\r\n"
      "Range: bytes=100-199\r\n"
      "Connection: keep-alive\r\n"
      "\r\n",
      text);
  ASSERT_TRUE(BuildRangeRequest("files.example/a.mp3", text, -1, 199));
  EXPECT_EQ(std::string::npos, text.find("Range"));
  ASSERT_TRUE(BuildRangeRequest("files.example/a.mp3", text, 0, 0xFFFFFFFFu));
  EXPECT_EQ(std::string::npos, text.find("Range"));
  EXPECT_FALSE(BuildRangeRequest("no-slash", text, -1, 0xFFFFFFFFu));
}

TEST(HttpHeaders, ValueIsTrimmedAndTheNameMatchedExactly) {
  const std::string head =
      "HTTP/1.1 200 OK\r\nContent-Length:   42  \r\ncontent-encoding: gzip\r\nX: 1";
  std::string value;
  ASSERT_TRUE(GetHeaderValue(value, "Content-Length: ", head));
  EXPECT_EQ("42", value);
  EXPECT_FALSE(GetHeaderValue(value, "Content-Encoding: ", head));
  ASSERT_TRUE(GetHeaderValue(value, "X: ", head));  // the last line needs no CR LF
  EXPECT_EQ("1", value);
}

TEST(ChunkedBody, SizeLinesSplitAcrossReadsWithExtensions) {
  PieceSource source{{"1", "0;name=va", "lue\r\n0123456789", "abcdef\r\n3\r\nxyz", "\r\n0\r\n\r\n"}};
  EXPECT_EQ("0123456789abcdefxyz", Decode("", source));
  EXPECT_EQ(source.pieces.size(), source.next);
}

TEST(ChunkedBody, UnusableSizeEndsDecodingWithTheBodySoFar) {
  for (const char* size : {"-5", "FFFFFFFF", "7FFFFFFE", "zz", ""}) {
    PieceSource source{{"more data that must not be waited for"}};
    EXPECT_EQ("hello", Decode(std::string("5\r\nhello\r\n") + size + "\r\nabc\r\n", source)) << size;
    EXPECT_EQ(0, source.calls) << size;
  }
  long size = 0;
  ASSERT_TRUE(ParseChunkSize("7FFFFFFD", size));
  EXPECT_EQ(0x7FFFFFFD, size);
}

TEST(ChunkedBody, PeerStoppingInsideAChunkKeepsWhatCame) {
  PieceSource source{{"de"}};
  EXPECT_EQ("abcde", Decode("10\r\nabc", source));
  PieceSource none;
  EXPECT_EQ("", Decode("5", none));  // the size line never completes
}

TEST(Inflate, OutputsFillingTheWindowExactly) {
  for (size_t size : {size_t{16384}, size_t{32768}}) {
    std::string plain = SampleText(size);
    for (int bits : {31, 15}) {  // gzip and zlib headers are both recognised with gzip set
      Inflated got = Inflate(Deflate(plain, bits), true);
      EXPECT_EQ(0, got.result) << size << " " << bits;
      EXPECT_EQ(plain, got.text) << size << " " << bits;
      EXPECT_TRUE(got.terminated);
    }
    EXPECT_EQ(plain, Inflate(Deflate(plain, 15), false).text);
  }
}

TEST(Inflate, DamagedStreamsGiveThePartialTextTerminated) {
  std::string plain = SampleText(100000);
  std::string stream = Deflate(plain, 31);
  Inflated cut = Inflate(stream.substr(0, stream.size() / 2), true);
  EXPECT_EQ(Z_DATA_ERROR, cut.result);
  EXPECT_GT(cut.text.size(), 16384u);
  EXPECT_EQ(plain.substr(0, cut.text.size()), cut.text);
  EXPECT_TRUE(cut.terminated);

  std::string corrupt = stream;
  corrupt[corrupt.size() / 2] ^= 0x55;
  corrupt[corrupt.size() / 2 + 1] ^= 0xAA;
  Inflated bad = Inflate(corrupt, true);
  EXPECT_EQ(Z_DATA_ERROR, bad.result);
  EXPECT_TRUE(bad.terminated);
  EXPECT_FALSE(bad.text.empty());  // what came before the damage (and what it garbled)

  EXPECT_EQ(Z_DATA_ERROR, Inflate("not compressed at all", true).result);
  EXPECT_EQ(Z_DATA_ERROR, Inflate(Deflate(plain, 31), false).result);  // gzip without gzip set
  Inflated empty = Inflate("", true);
  EXPECT_EQ(Z_DATA_ERROR, empty.result);
  EXPECT_EQ("", empty.text);
  EXPECT_TRUE(empty.terminated);
}

TEST(Inflate, StreamWantingADictionaryIsAnError) {
  z_stream stream = {};
  deflateInit(&stream, Z_DEFAULT_COMPRESSION);
  const char dictionary[] = "<song_name></song_name>";
  deflateSetDictionary(&stream, reinterpret_cast<const Bytef*>(dictionary), sizeof dictionary - 1);
  std::string plain = SampleText(1000), out(2000, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(&plain[0]);
  stream.avail_in = plain.size();
  stream.next_out = reinterpret_cast<Bytef*>(&out[0]);
  stream.avail_out = out.size();
  ASSERT_EQ(Z_STREAM_END, deflate(&stream, Z_FINISH));
  out.resize(stream.total_out);
  deflateEnd(&stream);

  Inflated got = Inflate(out, true);
  EXPECT_EQ(Z_DATA_ERROR, got.result);
  EXPECT_EQ("", got.text);
  EXPECT_TRUE(got.terminated);
}
