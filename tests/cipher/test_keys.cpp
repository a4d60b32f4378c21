// The key pair: the built-in pair's round trips and known answers, block lengths, the
// `requires` flag with its message box, the records, decryption with the factors in either
// order, and key creation.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "cipher/key_generation.h"
#include "cipher/private_key.h"
#include "cipher_test_util.h"
#include "support/message_box_recorder.h"

namespace {

using encrypt_module::PK;
using encrypt_module::private_key;
using encrypt_module::public_key;
using encrypt_module::SK;

// A key's round trips: numbers below m, and 32 words in place.
void ExpectRoundTrips(private_key& key, unsigned seed) {
  std::mt19937 rng(seed);
  unsigned words[32];
  for (int i = 0; i < 10; ++i) {
    for (unsigned& w : words) w = rng();
    vlong x;
    x.load(words, 32);
    x = x % key.m;
    const vlong c = key.encrypt(x);
    EXPECT_NE(x, c);
    EXPECT_EQ(x, key.decrypt(c));
  }
  unsigned long in_place[32], copy[32];
  for (unsigned long& w : in_place) w = rng();
  in_place[31] &= 0x07ffffff;  // below m
  std::copy(in_place, in_place + 32, copy);
  key.encrypt(in_place);
  EXPECT_FALSE(std::equal(in_place, in_place + 32, copy));
  key.decrypt(in_place);
  EXPECT_TRUE(std::equal(in_place, in_place + 32, copy));
}

TEST(BuiltinKey, IsA1024BitPairOfTwoPrimesThatRoundTrips) {
  private_key key;
  SK sk;
  key.vlong_to_SK(sk);
  vlong p, q;
  p.load(reinterpret_cast<const unsigned*>(sk.data), 16);
  q.load(reinterpret_cast<const unsigned*>(sk.data + 16), 16);
  EXPECT_LT(p, q);
  EXPECT_EQ(key.m, p * q);
  EXPECT_EQ(1024u, key.m.bits());
  EXPECT_EQ(vlong(65537), key.e);
  EXPECT_EQ(1, key.get_requires());
  small_prime_sieve sieve(2000);
  EXPECT_TRUE(sieve.fermat_probable(p));
  EXPECT_TRUE(sieve.fermat_probable(q));
  ExpectRoundTrips(key, 7);
}

TEST(BuiltinKey, BlocksMatchPythonsPowerAndHaveTheirLengths) {
  // The public half through its record: loading sets e and `requires` back.
  PK pk;
  private_key().vlong_to_PK(pk);
  public_key key;
  key.e = 3;
  key.set_requires(0);
  key.PK_to_vlong(pk);
  EXPECT_EQ(vlong(65537), key.e);
  EXPECT_EQ(1, key.get_requires());
  const auto cases = Vectors("rsa_block");
  ASSERT_EQ(4u, cases.size());
  for (const auto& c : cases) {
    const std::string plain = BytesFromHex(c[0]);
    int length = 0;
    char* cipher = key.encrypt(plain.data(), static_cast<int>(plain.size()), length);
    ASSERT_EQ(128, length);
    EXPECT_EQ(c[1], HexFromBytes(std::string(cipher, length)));
    key.delete_buf(cipher);
  }

  private_key pair;
  const std::string text(300, 'x');
  for (int n : {0, 1, 124, 125, 248, 249, 300}) {
    int length = -1, plain_length = -1;
    char* cipher = pair.encrypt(text.data(), n, length);
    ASSERT_NE(nullptr, cipher);
    const int blocks = (n + 123) / 124;
    EXPECT_EQ(blocks * 128, length) << n;
    EXPECT_EQ(0, cipher[length]);
    char* plain = pair.decrypt(cipher, length, plain_length);
    ASSERT_NE(nullptr, plain);
    EXPECT_EQ(blocks * 124, plain_length);
    EXPECT_EQ(text.substr(0, n) + std::string(plain_length - n, '\0'),
              std::string(plain, plain_length));
    pair.delete_buf(plain);
    pair.public_key::delete_buf(cipher);
  }
}

TEST(BuiltinKey, BadBlockArgumentsGiveNull) {
  private_key key;
  int length = -1;
  EXPECT_EQ(nullptr, key.encrypt(nullptr, 5, length));
  EXPECT_EQ(0, length);
  EXPECT_EQ(nullptr, key.encrypt("abc", -1, length));
  EXPECT_EQ(nullptr, key.decrypt(nullptr, 128, length));
  EXPECT_EQ(nullptr, key.decrypt("abc", -3, length));
  char* empty = key.decrypt(nullptr, 0, length);  // nothing to read: an empty result
  ASSERT_NE(nullptr, empty);
  EXPECT_EQ(0, length);
  key.delete_buf(empty);
}

TEST(Requires, ANumberNotBelowMIsRefusedWithAMessageUntilReset) {
  testsupport::MessageBoxRecorder boxes;
  private_key key;
  EXPECT_EQ(key.m, key.encrypt(key.m));
  ASSERT_EQ(1u, boxes.count());
  EXPECT_EQ(L"加密的数必须小于m", boxes.last().text);
  EXPECT_EQ(L"public_key::encrypt", boxes.last().caption);
  EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), boxes.last().type);
  EXPECT_EQ(nullptr, boxes.last().owner);
  EXPECT_EQ(0, key.get_requires());

  // Sticky: every later result is m, in both directions.
  EXPECT_EQ(key.m, key.encrypt(5));
  EXPECT_EQ(key.m, key.decrypt(5));
  EXPECT_EQ(1u, boxes.count());
  key.set_requires(1);
  EXPECT_EQ(vlong(5), key.decrypt(key.encrypt(5)));

  // Decryption clears it without a message.
  EXPECT_EQ(key.m, key.decrypt(key.m + 1));
  EXPECT_EQ(0, key.get_requires());
  EXPECT_EQ(1u, boxes.count());
}

SK MakeSk(unsigned p, unsigned q) {
  SK sk = {};
  sk.data[0] = p;
  sk.data[16] = q;
  return sk;
}

TEST(Records, DecryptsWhicheverFactorComesFirst) {
  // p > q: the Chinese remainder must still join the two halves correctly.
  for (const auto& pq :
       {std::make_pair(61u, 53u), std::make_pair(53u, 61u), std::make_pair(101u, 7u)}) {
    private_key key;
    key.SK_to_vlong(MakeSk(pq.first, pq.second));
    EXPECT_EQ(vlong(pq.first * pq.second), key.m);
    EXPECT_EQ(vlong(65537), key.e);
    for (unsigned x = 0; x < pq.first * pq.second; ++x) {
      ASSERT_EQ(vlong(x), key.decrypt(key.encrypt(x))) << pq.first << " " << pq.second;
    }
  }
}

TEST(Records, DegenerateFactorsNeitherHangNorCrash) {
  private_key key;
  key.SK_to_vlong(MakeSk(1, 1));
  EXPECT_EQ(vlong(1), key.m);
  key.decrypt(0);
  key.SK_to_vlong(MakeSk(0, 7));
  key.decrypt(3);  // m = 0: refused
  EXPECT_EQ(0, key.get_requires());
}

TEST(Creation, ASeededDrawGivesThePythonModelsPrimes) {
  const small_prime_sieve sieve(encrypt_module::kKeySieveBound);
  const auto cases = Vectors("key_pair");
  ASSERT_EQ(3u, cases.size());
  for (const auto& c : cases) {
    vlong p, q;
    const bool ok = encrypt_module::make_key_pair(sieve, std::stoul(c[0]), p, q);
    EXPECT_EQ(c[1] == "1", ok) << c[0];
    EXPECT_EQ(FromHex(c[2]), p) << c[0];
    EXPECT_EQ(FromHex(c[3]), q) << c[0];
  }
}

TEST(Creation, MakesAUsableKey) {
  private_key key;
  key.create();
  EXPECT_EQ(1, key.get_requires());
  EXPECT_LT(key.p, key.q);
  EXPECT_EQ(key.m, key.p * key.q);
  EXPECT_GE(key.m.bits(), 1021u);
  EXPECT_LE(key.m.bits(), 1024u);
  EXPECT_EQ(vlong(1), vlong_gcd(key.p - 1, 65537));
  EXPECT_EQ(vlong(1), vlong_gcd(key.q - 1, 65537));
  ExpectRoundTrips(key, 5);
}

}  // namespace
