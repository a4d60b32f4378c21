// vlong's arithmetic against Python's integers, its signs and zero, copy on write, and the
// wiping of released storage.
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>
#include <new>
#include <utility>

#include "cipher_test_util.h"

// Every array delete of the process passes here: while a test watches, it notes the sizes of the
// released blocks and whether any of them still held a nonzero byte.
namespace {
bool g_watching = false;
bool g_all_zero = true;
std::size_t g_freed[256];
int g_freed_count = 0;

void Watch(void* p) {
  if (!g_watching || !p || g_freed_count == 256) return;
  const std::size_t size = _msize(p);
  for (std::size_t i = 0; i < size; ++i) g_all_zero = g_all_zero && !static_cast<char*>(p)[i];
  g_freed[g_freed_count++] = size;
}

void StartWatching() {
  g_freed_count = 0;
  g_all_zero = g_watching = true;
}

bool Released(std::size_t bytes) {
  for (int i = 0; i < g_freed_count; ++i) {
    if (g_freed[i] == bytes) return true;
  }
  return false;
}
}  // namespace

void operator delete[](void* p) noexcept {
  Watch(p);
  std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept {
  Watch(p);
  std::free(p);
}

namespace {

vlong Neg(const vlong& x) {
  return vlong(0) - x;
}

TEST(VlongOracle, ArithmeticAgreesWithPython) {
  using Op = vlong (*)(const vlong&, const vlong&);
  const std::pair<const char*, Op> ops[] = {
      {"add", [](const vlong& a, const vlong& b) { return a + b; }},
      {"sub", [](const vlong& a, const vlong& b) { return a - b; }},
      {"mul", [](const vlong& a, const vlong& b) { return a * b; }},
      {"xor", [](const vlong& a, const vlong& b) { return a ^ b; }},
      {"and", [](const vlong& a, const vlong& b) { return a & b; }}};
  for (const auto& [name, op] : ops) {
    const auto cases = Vectors(name);
    ASSERT_GT(cases.size(), 300u) << name;
    for (const auto& c : cases) {
      ASSERT_EQ(FromHex(c[2]), op(FromHex(c[0]), FromHex(c[1])))
          << name << " " << c[0] << " " << c[1];
    }
  }
  // Truncating: the remainder takes the dividend's sign.
  for (const auto& c : Vectors("div")) {
    const vlong a = FromHex(c[0]), b = FromHex(c[1]);
    ASSERT_EQ(FromHex(c[2]), a / b) << c[0] << " / " << c[1];
    ASSERT_EQ(FromHex(c[3]), a % b) << c[0] << " % " << c[1];
  }
  for (const auto& c : Vectors("bits")) ASSERT_EQ(std::stoul(c[1]), FromHex(c[0]).bits()) << c[0];
  for (const auto& c : Vectors("shr")) {
    vlong x = FromHex(c[0]);
    x >>= static_cast<unsigned>(std::stoul(c[1]));
    ASSERT_EQ(FromHex(c[2]), x) << c[0] << " >> " << c[1];
  }
}

TEST(VlongSigns, ZeroIsNeverNegativeComparisonTakesTheSignFirstAndDivisionByZeroEnds) {
  EXPECT_EQ(vlong(0), Neg(vlong(0)));
  EXPECT_FALSE(Neg(vlong(0)) < vlong(0));
  EXPECT_FALSE(vlong(5) - vlong(5) < 0);
  EXPECT_FALSE(Neg(vlong(3)) * vlong(0) < 0);
  EXPECT_FALSE(Neg(vlong(3)) / vlong(7) < 0);  // a zero quotient of unlike signs
  EXPECT_LT(Neg(vlong::power_of_two(100)), vlong(1));
  EXPECT_LT(Neg(vlong(2)), Neg(vlong(1)));
  EXPECT_GT(vlong::power_of_two(32), vlong(0xffffffffu));
  EXPECT_LE(vlong(4), vlong(4));
  EXPECT_GE(Neg(4), Neg(4));
  EXPECT_NE(Neg(4), vlong(4));
  // Division by zero gives the quotient zero and the remainder the dividend.
  const vlong x = FromHex("-123456789abcdef0123456789");
  EXPECT_EQ(vlong(0), x / vlong(0));
  EXPECT_EQ(x, x % vlong(0));
  EXPECT_EQ(vlong(0), vlong(0) / vlong(0));
}

TEST(VlongWords, LoadStoreBitsAndRotationsAcrossWordBoundaries) {
  const unsigned words[4] = {0x89abcdef, 0x01234567, 0, 0};
  vlong x;
  x.load(words, 4);  // the zero top words are not significant
  EXPECT_EQ(FromHex("123456789abcdef"), x);
  EXPECT_EQ(0x89abcdefu, static_cast<unsigned>(x));
  unsigned out[3] = {7, 7, 7};
  x.store(out, 3);
  EXPECT_EQ(0u, out[2]);
  x.store(out, 1);  // only as many words as asked for
  EXPECT_EQ(0x01234567u, out[1]);

  vlong y;
  for (unsigned i : {0u, 31u, 32u, 33u, 511u, 1023u}) y.set(i);
  EXPECT_TRUE(y.test(511));
  EXPECT_FALSE(y.test(5000));
  y.clear(1023);
  y.clear(4000);  // clearing a bit beyond the value changes nothing
  EXPECT_EQ(vlong::power_of_two(511) + FromHex("380000001"), y);

  // Rotations within a width.
  vlong r = FromHex("80000001");
  r.rotate_left(32);
  EXPECT_EQ(vlong(3), r);
  r.rotate_right(32);
  r.rotate_right(32);
  EXPECT_EQ(FromHex("c0000000"), r);
  vlong z = FromHex("100000000");  // 33 bits
  z.rotate_left(33);
  EXPECT_EQ(vlong(1), z);
  z.rotate_right(33);
  EXPECT_EQ(FromHex("100000000"), z);
}

TEST(VlongCopyOnWrite, ChangingACopyNeverChangesTheOriginal) {
  const vlong original = FromHex("fedcba9876543210fedcba9876543210fedcba98");
  const std::string text = ToHex(original);
  auto check = [&](const char* what, void (*change)(vlong&)) {
    vlong copy = original;
    change(copy);
    EXPECT_NE(original, copy) << what;
    EXPECT_EQ(text, ToHex(original)) << what;
  };
  check("+=", [](vlong& x) { x += 1; });
  check("-=", [](vlong& x) { x -= vlong::power_of_two(200); });
  check("^=", [](vlong& x) { x ^= 0xff; });
  check("&=", [](vlong& x) { x &= 0xff; });
  check(">>=", [](vlong& x) { x >>= 33; });
  check("set", [](vlong& x) { x.set(1); });
  check("clear", [](vlong& x) { x.clear(4); });
  check("rotate_left", [](vlong& x) { x.rotate_left(160); });
  check("rotate_right", [](vlong& x) { x.rotate_right(160); });
  check("load", [](vlong& x) {
    const unsigned w = 5;
    x.load(&w, 1);
  });
  check("assignment", [](vlong& x) { x = 9; });

  // The original changing leaves its earlier copies alone as well.
  vlong source = original;
  const vlong copy = source;
  source += 1;
  EXPECT_EQ(original, copy);
}

TEST(VlongWiping, ReleasedStorageReadsAsZeros) {
  unsigned words[37];
  for (unsigned i = 0; i < 37; ++i) words[i] = 0xa5a5a5a5u + i;
  StartWatching();
  {
    vlong x;
    x.load(words, 37);
    x.set(1300);  // needs 41 words: the 37 are copied and released
    EXPECT_TRUE(Released(37 * sizeof(unsigned))) << "storage replaced by growth";
  }
  EXPECT_TRUE(Released(41 * sizeof(unsigned)));
  // Arithmetic temporaries.
  const vlong m = FromHex("d1b54a32d192ed03ad19b5b6ba5cb1b8e03c7d6fa30bdeb85bd5a33a6f4f0f31");
  const vlong r = vlong_modexp(FromHex("123456789abcdef123456789abcdef"), m - 2, m) / (m - 7);
  g_watching = false;
  EXPECT_GT(g_freed_count, 10);
  EXPECT_TRUE(g_all_zero);
}

}  // namespace
