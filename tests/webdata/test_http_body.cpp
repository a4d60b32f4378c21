// The exchanges' pieces without a network: chunk sizes come from the server and must not be
// trusted, inflation hands back what it has, terminated, even from a damaged stream, and a
// transfer's buffer never grows past its ceiling.
#include <gtest/gtest.h>
#include <zlib.h>  // result codes

#include <cstdlib>
#include <string>
#include <vector>

#include "foundation/buffer.h"
#include "support/deflate.h"
#include "webdata/curl_transfer.h"
#include "webdata/http_body.h"
#include "webdata/http_inflate.h"

namespace {

// Decodes first, then whatever pieces a socket would hand out one per call.
std::string Decode(const std::string& first, std::vector<std::string> pieces,
                   int* calls = nullptr) {
  std::string text = first, body;
  size_t next = 0;
  int count = 0;
  DecodeChunkedBody(text, body, [&](std::string& more) {
    ++count;
    if (next == pieces.size()) return 0;
    more += pieces[next];
    return static_cast<int>(pieces[next++].size());
  });
  if (calls) *calls = count;
  return body;
}

// Text that compresses but not to nothing, so that a cut stream still has output to give.
std::string SampleText(size_t size) {
  std::string text;
  for (unsigned seed = 1; text.size() < size; seed = seed * 1103515245 + 12345) {
    text += "<id>" + std::to_string(seed % 100000) + "</id>\n";
  }
  return text.substr(0, size);
}

// The result, and the text when the block is NUL-terminated at the length given.
std::pair<int, std::string> Inflate(const std::string& data, bool gzip) {
  char* block = nullptr;
  unsigned length = 0;
  int result =
      InflateHttpBody(data.data(), static_cast<unsigned>(data.size()), &block, gzip, &length);
  std::string text = block && block[length] == '\0' ? std::string(block, length) : "(unterminated)";
  std::free(block);
  return {result, text};
}

}  // namespace

TEST(HttpText, AddressesAndTheRangeLine) {
  std::string host, text;
  unsigned short port = 0;
  ASSERT_TRUE(SplitHttpUrl("http://10.1.2.3:8080/app/ws/song-detail?id=1", host, port));
  EXPECT_EQ("10.1.2.3", host);
  EXPECT_EQ(8080, port);
  EXPECT_FALSE(SplitHttpUrl("www.daruruvi.com", host, port));
  EXPECT_FALSE(SplitHttpUrl(std::string(261, 'h') + "/p", host, port));
  ASSERT_TRUE(BuildRangeRequest("files.example/a.mp3", text, 100, 199));
  EXPECT_EQ(0u, text.find("GET http://files.example/a.mp3 HTTP/1.1\r\nHost: files.example:80\r\n"));
  EXPECT_NE(std::string::npos,
            text.find("\r\nRange: bytes=100-199\r\nConnection: keep-alive\r\n\r\n"));
}

TEST(ChunkedBody, SizeLinesSplitAcrossReadsWithExtensions) {
  EXPECT_EQ("0123456789abcdefxyz", Decode("", {"1", "0;name=va", "lue\r\n0123456789",
                                               "abcdef\r\n3\r\nxyz", "\r\n0\r\n\r\n"}));
}

TEST(ChunkedBody, UnusableSizeEndsDecodingWithTheBodySoFar) {
  for (const char* size : {"-5", "FFFFFFFF", "7FFFFFFE", "zz", ""}) {
    int calls = 0;
    EXPECT_EQ("hello",
              Decode(std::string("5\r\nhello\r\n") + size + "\r\nabc\r\n", {"more"}, &calls))
        << size;
    EXPECT_EQ(0, calls) << size;  // nothing waited for, nothing read past the text
  }
  EXPECT_EQ("abcde", Decode("10\r\nabc", {"de"}));  // the peer stopped inside a chunk
}

TEST(Inflate, OutputsFillingTheWindowExactly) {
  for (size_t size : {16384u, 32768u}) {
    std::string plain = SampleText(size);
    EXPECT_EQ(std::make_pair(0, plain), Inflate(testsupport::Deflate(plain, 31), true)) << size;
    EXPECT_EQ(std::make_pair(0, plain), Inflate(testsupport::Deflate(plain, 15), true)) << size;
    EXPECT_EQ(std::make_pair(0, plain), Inflate(testsupport::Deflate(plain, 15), false)) << size;
  }
}

TEST(Inflate, DamagedStreamsGiveThePartialTextTerminated) {
  std::string plain = SampleText(100000);
  std::string stream = testsupport::Deflate(plain, 31);
  auto cut = Inflate(stream.substr(0, stream.size() / 2), true);
  EXPECT_EQ(Z_DATA_ERROR, cut.first);
  EXPECT_GT(cut.second.size(), 16384u);
  EXPECT_EQ(plain.substr(0, cut.second.size()), cut.second);

  EXPECT_EQ(std::make_pair(Z_DATA_ERROR, std::string()), Inflate("not compressed", true));
  EXPECT_EQ(std::make_pair(Z_DATA_ERROR, std::string()), Inflate("", true));
  EXPECT_EQ(Z_DATA_ERROR, Inflate(stream, false).first);  // a gzip header where zlib is expected
}

TEST(Inflate, StreamWantingADictionaryIsAnError) {
  // No server can hand the reader a preset dictionary: the stream ends as a damaged one, its
  // reader closed and the empty text terminated.
  z_stream stream = {};
  deflateInit(&stream, Z_DEFAULT_COMPRESSION);
  const char dictionary[] = "<song_name></song_name>";
  deflateSetDictionary(&stream, reinterpret_cast<const Bytef*>(dictionary), sizeof dictionary - 1);
  std::string plain = SampleText(1000), packed(2000, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(&plain[0]);
  stream.avail_in = static_cast<uInt>(plain.size());
  stream.next_out = reinterpret_cast<Bytef*>(&packed[0]);
  stream.avail_out = static_cast<uInt>(packed.size());
  ASSERT_EQ(Z_STREAM_END, deflate(&stream, Z_FINISH));
  packed.resize(stream.total_out);
  deflateEnd(&stream);
  EXPECT_EQ(std::make_pair(Z_DATA_ERROR, std::string()), Inflate(packed, false));
}

TEST(ReplyBuffer, AReplyPastItsCeilingIsDroppedWholeAndARefusedWriteSaysSo) {
  char bytes[600] = {};
  CurlReplyBuffer reply(1000);
  EXPECT_EQ(600u, CurlReplyBuffer::Callback(bytes, 1, 600, &reply));
  EXPECT_EQ(0u, CurlReplyBuffer::Callback(bytes, 2, 300, &reply));  // 1200 bytes in all
  EXPECT_EQ(std::make_pair(true, std::string()), std::make_pair(reply.IsRefused(), reply.Text()));
  CBuffer buffer(16);  // cannot grow to 2 GiB
  EXPECT_EQ(0u, CurlWriteToBuffer(bytes, 1, 0x80000000u, &buffer));
}
