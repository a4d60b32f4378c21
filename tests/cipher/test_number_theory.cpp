// Greatest common divisor, inverse and powers against Python's integers; the examples of the
// square root, the Lucas sequence and the Chinese-remainder power; the prime search.
#include <gtest/gtest.h>

#include "cipher/small_prime_sieve.h"
#include "cipher_test_util.h"

namespace {

TEST(ModularOracle, GcdInverseAndPowerAgreeWithPython) {
  for (const auto& c : Vectors("gcd")) {
    ASSERT_EQ(FromHex(c[2]), vlong_gcd(FromHex(c[0]), FromHex(c[1])));
  }
  for (const auto& c : Vectors("modinv")) {
    ASSERT_EQ(FromHex(c[2]), vlong_modinv(FromHex(c[0]), FromHex(c[1])));
  }
  const auto powers = Vectors("modexp");
  ASSERT_GT(powers.size(), 400u);
  for (const auto& c : powers) {
    ASSERT_EQ(FromHex(c[3]), vlong_modexp(FromHex(c[0]), FromHex(c[1]), FromHex(c[2])))
        << c[0] << " ^ " << c[1] << " mod " << c[2];
  }
  EXPECT_EQ(vlong(0), vlong_modexp(5, 3, 0));  // no modulus: no residue, and no division by 0
  EXPECT_EQ(vlong(0), vlong_modexp(5, 3, 1));
}

TEST(NumberTheory, ExamplesOfTheSquareRootTheLucasSequenceAndTheCrtPower) {
  // {g, p, root}: each branch of the square root (p % 4 = 3, p % 8 = 5, D = 0 at P = 1, the
  // Lucas sequence at P = 1, P = 4 after three squares, no square, reached at P = 17).
  const unsigned roots[][3] = {{2, 7, 4},    {4, 13, 11}, {13, 17, 9}, {2, 17, 6},
                               {10, 41, 16}, {3, 7, 2},   {0, 17, 0}};
  for (const auto& r : roots) EXPECT_EQ(vlong(r[2]), vlong_sqrt_mod(r[0], r[1])) << r[0];
  // For 1729 and 31 every D of the search is a unit whose power is 1: without an end at P = p
  // the search would never stop.
  EXPECT_EQ(vlong(0), vlong_sqrt_mod(31, 1729));
  const vlong p = FromHex("fffffffffffffffffffffffffffffffeffffffffffffffff");  // p % 8 = 7
  for (unsigned x : {2u, 3u, 99u, 65537u}) {
    const vlong g = vlong(x) * vlong(x) % 1000033;  // 1000033 % 8 = 1
    EXPECT_EQ(g, vlong_sqrt_mod(g, 1000033) * vlong_sqrt_mod(g, 1000033) % 1000033) << x;
    const vlong big = vlong(x) * vlong(x) % p;
    EXPECT_EQ(big, vlong_sqrt_mod(big, p) * vlong_sqrt_mod(big, p) % p) << x;
  }

  EXPECT_EQ(vlong(12), vlong_lucas_v(1, 2, 9, 17));
  EXPECT_EQ(vlong(0) - vlong(2), vlong_lucas_v(0, 1, 2, 17));
  EXPECT_EQ(vlong(20), vlong_lucas_v(20, 2, 1, 17));  // k = 1: P itself, not reduced
  EXPECT_EQ(vlong(2), vlong_lucas_v(3, 1, 0, 17));    // V_0

  // R = 64 and R1 = 16: 29 is the form of 2, and 2^7 mod 33 = 29 has the form 8; the factors
  // in either order.
  EXPECT_EQ(vlong(8), vlong_montgomery_crt_exp(29, 7, 33, 3, 11));
  EXPECT_EQ(vlong(8), vlong_montgomery_crt_exp(29, 7, 33, 11, 3));
}

TEST(LucasSequence, CongruentToTheRecurrence) {
  const unsigned n = 1000003;
  for (unsigned P : {1u, 3u, 10u}) {
    for (unsigned Q : {1u, 2u, 7u}) {
      long long v0 = 2, v1 = P;
      for (unsigned k = 1; k <= 40; ++k) {
        vlong got = vlong_lucas_v(P, Q, k, n) % n;
        if (got < 0) got += n;
        ASSERT_EQ(vlong(static_cast<unsigned>(v1)), got) << P << " " << Q << " " << k;
        const long long v2 = ((P * v1 - Q * v0) % n + n) % n;
        v0 = v1;
        v1 = v2;
      }
    }
  }
}

TEST(PrimeSearch, FindsTheNextProbablePrime) {
  const small_prime_sieve sieve(2000);
  ASSERT_EQ(303u, sieve.count());
  EXPECT_EQ(1999u, sieve.prime(302));
  EXPECT_EQ(0u, small_prime_sieve(2).count());
  auto check = [&](vlong start, const vlong& prime) {
    EXPECT_EQ(prime, sieve.next_prime_from(start)) << ToHex(start);
    EXPECT_EQ(prime, start);
  };
  for (const auto& c : Vectors("next_prime")) check(FromHex(c[0]), FromHex(c[1]));
  // The window sieve must not strike out a small prime as a multiple of itself, nor the Fermat
  // test reject its own bases; a start that is prime is the answer.
  const unsigned starts[][2] = {
      {0, 2},  {2, 2},     {3, 3},       {4, 5},       {6, 7},
      {8, 11}, {100, 101}, {1998, 1999}, {2000, 2003}, {1000003, 1000003}};
  for (const auto& s : starts) check(s[0], s[1]);
  check(vlong(0) - vlong(50), 2);
  // The Carmichael number 65700513721 = 2221 · 4441 · 6661 passes all four bases.
  check(FromHex("f4c0e47b9"), FromHex("f4c0e47b9"));
  EXPECT_FALSE(sieve.fermat_probable(1));
  EXPECT_FALSE(sieve.fermat_probable(9));
}

TEST(PrimeSearch, StripsSmallFactors) {
  const small_prime_sieve sieve(2000);
  vlong n = vlong(36) * 1000003, factor = 1;
  EXPECT_TRUE(sieve.strip_small_factors(n, factor, 10));
  EXPECT_EQ(vlong(1000003), n);
  EXPECT_EQ(vlong(36), factor);
  n = 6;
  EXPECT_TRUE(sieve.strip_small_factors(n, factor, 2));  // ends on the small prime 3
  EXPECT_EQ(vlong(3), n);
  n = 1000;
  factor = 1;
  EXPECT_FALSE(sieve.strip_small_factors(n, factor, 100));
  EXPECT_EQ(vlong(25), n);
  EXPECT_EQ(vlong(40), factor);
}

}  // namespace
