// MD5 and SHA-1 against the published vectors, fed whole and in pieces, and the file digests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/md5.h"
#include "foundation/sha1.h"
#include "support/temp_dir.h"

namespace {

struct Vector {
  std::string input;
  const char* md5;
  const char* sha1;
};

// Messages of RFC 1321 and FIPS 180, and runs of 'a' whose lengths sit on the padding
// boundaries: 55 bytes still take the length in the same block, 56 need a second one.
const std::vector<Vector>& Vectors() {
  static const std::vector<Vector> vectors = {
      {"", "d41d8cd98f00b204e9800998ecf8427e", "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72", "A9993E364706816ABA3E25717850C26C9CD0D89D"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "8215ef0796a20bcaaae116d3876c664a", "84983E441C3BD26EBAAE4AA1F95129E5E54670F1"},
      {std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65",
       "C1C8BBDC22796E28C0E15163D20899B65621D65A"},
      {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218",
       "C2DB330F6083854C99D4B5BFB6E8F29F201BE699"},
      {std::string(64, 'a'), "014842d480b571495a4a0363793f7367",
       "0098BA824B5C16427BD7A1122A5A442A25EC644D"},
      {std::string(1000000, 'a'), "7707d6ae4e027c70eea2a935c2296f21",
       "34AA973CD4C4DAA4F61EEB2BDBAD27316534016F"},
  };
  return vectors;
}

std::string Sha1Text(CSha1Hash& sha1) {
  sha1.Final();
  std::wstring hex;
  sha1.FormatHashString(hex, 2);
  return std::string(hex.begin(), hex.end());
}

// MD5 and SHA-1 of text added in pieces that end at each cut, then the rest.
std::pair<std::string, std::string> InPieces(const std::string& text, std::vector<size_t> cuts) {
  em_utility::md5_checksum md5;
  CSha1Hash sha1;
  cuts.push_back(text.size());
  for (size_t from = 0, i = 0; i < cuts.size(); from = cuts[i++]) {
    md5.update(text.data() + from, static_cast<std::uint32_t>(cuts[i] - from));
    sha1.Update(text.data() + from, static_cast<std::uint32_t>(cuts[i] - from));
  }
  return {md5.hex_digest(), Sha1Text(sha1)};
}

std::string Bytes(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>(i * 7 + 3);
  return s;
}

}  // namespace

TEST(Digests, PublishedVectorsWhole) {
  for (const Vector& v : Vectors()) {
    SCOPED_TRACE(v.input.substr(0, 64));
    EXPECT_EQ(v.md5,
              em_utility::md5_string(v.input.data(), static_cast<std::uint32_t>(v.input.size())));
    EXPECT_EQ(std::make_pair(std::string(v.md5), std::string(v.sha1)), InPieces(v.input, {}));
  }
}

TEST(Digests, EverySplitAcrossTheBlockBoundariesGivesTheSameDigest) {
  // Two and three pieces, cut at every position of a message that spans three blocks: each
  // piece may fill, overfill or just miss the 55/56/64-byte marks.
  std::string text = Bytes(150);
  auto whole = InPieces(text, {});
  for (size_t a = 0; a <= text.size(); ++a) {
    EXPECT_EQ(whole, InPieces(text, {a})) << a;
    EXPECT_EQ(whole, InPieces(text, {a, a + (text.size() - a) / 2})) << a;
  }
}

TEST(Digests, BitCountCarriesPast512MiB) {
  // 513 MiB overflow the low word of the bit count.
  std::string block(1 << 20, '\x5a');
  em_utility::md5_checksum md5;
  CSha1Hash sha1;
  for (int i = 0; i < 513; ++i) {
    md5.update(block.data(), static_cast<std::uint32_t>(block.size()));
    sha1.Update(block.data(), static_cast<std::uint32_t>(block.size()));
  }
  EXPECT_EQ("6b5ce4d4087933b350f6e7ed87255230", md5.hex_digest());
  EXPECT_EQ("FB7E687342ADBA89A364811222E7F5FAE2F7F2D2", Sha1Text(sha1));
}

TEST(Md5, FileDigests) {
  testsupport::TempDir dir;
  std::string content = Bytes(5000);  // several 1024-byte reads and a short last one
  std::wstring data = dir.file(L"data.bin"), empty = dir.file(L"empty.bin");
  ASSERT_TRUE(testsupport::WriteFileBytes(data, content));
  ASSERT_TRUE(testsupport::WriteFileBytes(empty, ""));

  EXPECT_EQ(em_utility::md5_string(content.data(), 5000), em_utility::md5_file(data.c_str()));
  EXPECT_EQ("", em_utility::md5_file(empty.c_str()));
  EXPECT_EQ("", em_utility::md5_file(dir.file(L"missing.bin").c_str()));
  // Each row: offset, length, and the bytes digested (none: refused, an empty text).
  const struct {
    std::uint32_t offset, length;
    bool valid;
  } ranges[] = {{1000, 3000, true}, {4999, 1, true},     {10, 0, true},
                {5000, 0, false},   {1000, 4001, false}, {0xFFFFFFFF, 2, false}};
  for (const auto& r : ranges) {
    std::string expected =
        r.valid ? em_utility::md5_string(content.data() + r.offset, r.length) : "";
    EXPECT_EQ(expected, em_utility::md5_file_range(data.c_str(), r.offset, r.length))
        << r.offset << "+" << r.length;
  }
  EXPECT_EQ("", em_utility::md5_file_range(empty.c_str(), 0, 0));
}

TEST(Sha1, HashFileAddsTheContentWithoutFinishing) {
  testsupport::TempDir dir;
  std::string content = Bytes(20000);  // 8000-byte reads: two full and a short one
  ASSERT_TRUE(testsupport::WriteFileBytes(dir.file(L"data.bin"), content));
  CSha1Hash sha1;
  sha1.Update("prefix", 6);
  ASSERT_TRUE(sha1.HashFile(dir.file(L"data.bin").c_str()));
  EXPECT_EQ(InPieces("prefix" + content, {}).second, Sha1Text(sha1));
  CSha1Hash other;
  EXPECT_FALSE(other.HashFile(nullptr));
  EXPECT_FALSE(other.HashFile(dir.file(L"missing.bin").c_str()));
}
