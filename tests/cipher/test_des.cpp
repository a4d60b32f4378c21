// DES: the published known answers with the module's three bit conventions switched off, the
// module's envelopes, key lengths and triple DES, malformed envelopes, and the string wrappers.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "cipher/des_control.h"
#include "cipher/des_run.h"
#include "cipher/string_wrappers.h"
#include "cipher_test_util.h"

namespace {

using encrypt_module::Des_control;

constexpr des_cipher kStandardDes(kStandardDesConventions);

std::string Encrypt(const std::string& key, const std::string& text) {
  return encrypt_module::DesEncryptString(key, text);
}

// Decrypt's whole result, L bytes, or "<null>".
std::string DecryptRaw(const char* key, const char* envelope) {
  Des_control des;
  char* plain = des.Decrypt(key, envelope);
  if (!plain) return "<null>";
  std::string text(plain);
  des.ReleaseBuffer(plain);
  return text;
}

std::string Block(const des_cipher& cipher, const std::string& key_hex, const std::string& hex,
                  bool encrypt) {
  const std::string key = BytesFromHex(key_hex);
  std::string block = BytesFromHex(hex);
  const des_key_schedule k = cipher.schedule(reinterpret_cast<const unsigned char*>(key.data()));
  unsigned char* b = reinterpret_cast<unsigned char*>(&block[0]);
  if (encrypt) {
    cipher.encrypt(k, b);
  } else {
    cipher.decrypt(k, b);
  }
  return HexFromBytes(block);
}

TEST(DesStandard, PublishedKnownAnswers) {
  const char* cases[][3] = {
      {"133457799bbcdff1", "0123456789abcdef", "85e813540f0ab405"},
      {"0123456789abcdef", "4e6f772069732074", "3fa40e8a984d4815"},
      {"0101010101010101", "8000000000000000", "95f8a5e5dd31d900"},
      {"8001010101010101", "0000000000000000", "95a8d72813daa94d"},
      {"7ca110454a1a6e57", "01a1d6d039776742", "690f5b0d9a26939b"},
      {"0131d9619dc1376e", "5cd54ca83def57da", "7a389d10354bd271"},
      {"07a1133e4a0b2686", "0248d43806f67172", "868ebb51cab4599a"},
      {"3849674c2602319e", "51454b582ddf440a", "7178876e01f19b2a"},
      {"04b915ba43feb5b6", "42fd443059577fa2", "af37fb421f8c4095"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c[2], Block(kStandardDes, c[0], c[1], true)) << c[0];
    EXPECT_EQ(c[1], Block(kStandardDes, c[0], c[2], false)) << c[0];
  }
}

// Blocks go through the cipher two at a time: a run of any length is the same as its blocks
// one by one.
TEST(DesRun, LongRunsMatchBlockByBlock) {
  std::mt19937 rng(5);
  for (unsigned key_length : {8u, 16u}) {
    for (bool encrypt : {true, false}) {
      for (unsigned blocks : {2u, 3u, 7u}) {
        const std::string key = RandomBytes(rng, key_length, true);
        const std::string in = RandomBytes(rng, 8 * blocks, true);
        std::string whole = in, single = in;
        auto bytes = [](std::string& s, unsigned at = 0) {
          return reinterpret_cast<unsigned char*>(&s[at]);
        };
        des_run(bytes(whole), bytes(whole), 8 * blocks, key.data(), key_length, encrypt);
        for (unsigned b = 0; b < blocks; ++b) {
          des_run(bytes(single, 8 * b), bytes(single, 8 * b), 8, key.data(), key_length, encrypt);
        }
        EXPECT_EQ(HexFromBytes(single), HexFromBytes(whole)) << key_length << encrypt << blocks;
      }
    }
  }
}

TEST(DesEnvelope, KnownEnvelopes) {
  const char* cases[][3] = {
      {"12345678", "hello", "8Z7333df43f79e63e5"},
      {"abc", "abcdefghi", "10Zb271d2383414046af75473c923cb6e9b"},
      {"0123456789abcdef", "hello world", "10Ze694a28580f8e37e6e0221b03d8a0dc7"},
      {"0123456789abcdef0123", "hello world", "10Ze694a28580f8e37e6e0221b03d8a0dc7"},
      {"123456789", "hello", "8Z8e8934f71b163a83"},
      {"", "hello", "8Z1243a9327253137c"},
      {"any", "", "0Z"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c[2], Encrypt(c[0], c[1])) << c[0];
    EXPECT_EQ(c[1], DecryptRaw(c[0], c[2])) << c[0];
  }
  EXPECT_EQ("hello", DecryptRaw("12345678", "8Z7333DF43F79e63E5"));  // either case of digits
  // The high bit of each key byte is the unused parity bit.
  std::string flipped = "a2345678";
  for (char& c : flipped) c ^= '\x80';
  EXPECT_EQ(Encrypt("a2345678", "parity"), Encrypt(flipped, "parity"));
  EXPECT_NE(Encrypt("a2345678", "parity"), Encrypt("b2345678", "parity"));
}

TEST(DesEnvelope, DecryptGivesThePaddedBufferWithATerminator) {
  Des_control des;
  char* plain = des.Decrypt("12345678", "8Z7333df43f79e63e5");
  ASSERT_NE(nullptr, plain);
  EXPECT_EQ(std::string("hello\0\0\0\0", 9), std::string(plain, 9));
  des.ReleaseBuffer(plain);
  des.ReleaseBuffer(nullptr);
}

TEST(DesMalformed, AnythingEncryptCannotHaveMadeGivesNull) {
  const char* key = "12345678";
  const std::string good = "8Z7333df43f79e63e5";
  const char* bad[] = {
      "7333df43f79e63e5",           // no "Z"
      "Z7333df43f79e63e5",          // no length text
      "8x9Z7333df43f79e63e5",       // not a number
      "8Z7333df43f79e63e",          // odd number of digits
      "8Z7333df43f79e63g5",         // not a hex digit
      "10Z7333df43f79e63e5",        // longer than the data
      "5Z7333df43f79e63e5",         // not whole blocks
      "7fffffffZ7333df43f79e63e5",  // huge
      "ffffffffffffffffffffZ7333df43f79e63e5",
      "-8Z7333df43f79e63e5",  // negative
  };
  for (const char* envelope : bad) EXPECT_EQ("<null>", DecryptRaw(key, envelope)) << envelope;
  EXPECT_EQ("hello", DecryptRaw(key, good.c_str()));
  EXPECT_EQ("", DecryptRaw(key, "0Zwhatever"));  // a zero length reads nothing
}

TEST(DesMalformed, NullArgumentsGiveNull) {
  Des_control des;
  EXPECT_EQ(nullptr, des.Encrypt(nullptr, "secret"));  // never the text as if encrypted
  EXPECT_EQ(nullptr, des.Encrypt("key", nullptr));
  EXPECT_EQ(nullptr, des.Decrypt(nullptr, "8Z7333df43f79e63e5"));
  EXPECT_EQ(nullptr, des.Decrypt("key", nullptr));
  EXPECT_FALSE(des_run(nullptr, reinterpret_cast<const unsigned char*>("x"), 1, "k", 1, true));
}

TEST(DesStrings, WrappersRoundTripAndFailuresGiveEmptyStrings) {
  const std::string envelope = encrypt_module::DesEncryptString("pass", "text to keep");
  EXPECT_EQ("text to keep", encrypt_module::DesDecryptString("pass", envelope));
  EXPECT_EQ(envelope, encrypt_module::DesTransformString("pass", "text to keep", true));
  EXPECT_EQ("", encrypt_module::DesDecryptString("pass", "not an envelope"));
  EXPECT_EQ("", encrypt_module::DesTransformString("pass", "10Zab", false));
  EXPECT_NE("text to keep", encrypt_module::DesDecryptString("other", envelope));
}

TEST(RsaStrings, EveryTextRoundTrips) {
  // A third of the cipher blocks hold a zero byte: none of them may be cut off.
  std::mt19937 rng(9);
  int blocks_with_zero = 0;
  for (int i = 0; i < 200; ++i) {
    const std::string text = RandomBytes(rng, 1 + rng() % 300, true);
    const std::string cipher = encrypt_module::RsaTransformString(text, false);
    ASSERT_EQ((text.size() + 123) / 124 * 128, cipher.size());
    blocks_with_zero += cipher.find('\0') != std::string::npos;
    ASSERT_EQ(text, encrypt_module::RsaTransformString(cipher, true)) << i;
  }
  EXPECT_GT(blocks_with_zero, 20);
  EXPECT_EQ("", encrypt_module::RsaTransformString("", false));
}

}  // namespace
