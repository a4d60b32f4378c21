// vlong's arithmetic against Python's integers, its signs and zero, copy on write, and the
// wiping of released storage.
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>
#include <new>

#include "cipher_test_util.h"

// Every array delete of the process passes here: while a test watches, it notes whether each
// released block was all zeros before it goes back to the heap.
namespace {

struct FreedBlock {
  std::size_t size;
  bool zero;
};

bool g_watching = false;
FreedBlock g_freed[256];
int g_freed_count = 0;

void Watch(void* p) {
  if (!g_watching || !p || g_freed_count == 256) return;
  const std::size_t size = _msize(p);
  bool zero = true;
  for (std::size_t i = 0; i < size; ++i) zero = zero && static_cast<unsigned char*>(p)[i] == 0;
  g_freed[g_freed_count++] = {size, zero};
}

class FreedBlocks {
 public:
  FreedBlocks() {
    g_freed_count = 0;
    g_watching = true;
  }
  ~FreedBlocks() { g_watching = false; }
  void Stop() { g_watching = false; }
  // Whether a block of `bytes` bytes was released, and whether every released block was zero.
  bool Released(std::size_t bytes) const {
    for (int i = 0; i < g_freed_count; ++i) {
      if (g_freed[i].size == bytes) return true;
    }
    return false;
  }
  bool AllZero() const {
    for (int i = 0; i < g_freed_count; ++i) {
      if (!g_freed[i].zero) return false;
    }
    return true;
  }
};

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

TEST(VlongOracle, AddSubtractMultiplyAgreeWithPython) {
  for (const char* op : {"add", "sub", "mul"}) {
    const auto cases = Vectors(op);
    ASSERT_GT(cases.size(), 300u) << op;
    for (const auto& c : cases) {
      const vlong a = FromHex(c[0]), b = FromHex(c[1]);
      const vlong r = op[0] == 'a' ? a + b : op[0] == 's' ? a - b : a * b;
      ASSERT_EQ(FromHex(c[2]), r) << op << " " << c[0] << " " << c[1];
    }
  }
}

TEST(VlongOracle, DivisionTruncatesAndRemainderTakesTheDividendsSign) {
  const auto cases = Vectors("div");
  ASSERT_GT(cases.size(), 300u);
  for (const auto& c : cases) {
    const vlong a = FromHex(c[0]), b = FromHex(c[1]);
    ASSERT_EQ(FromHex(c[2]), a / b) << c[0] << " / " << c[1];
    ASSERT_EQ(FromHex(c[3]), a % b) << c[0] << " % " << c[1];
  }
}

TEST(VlongOracle, BitOperationsAgreeWithPython) {
  for (const auto& c : Vectors("xor")) ASSERT_EQ(FromHex(c[2]), FromHex(c[0]) ^ FromHex(c[1]));
  for (const auto& c : Vectors("and")) ASSERT_EQ(FromHex(c[2]), FromHex(c[0]) & FromHex(c[1]));
  for (const auto& c : Vectors("bits")) {
    ASSERT_EQ(static_cast<unsigned>(std::stoul(c[1])), FromHex(c[0]).bits()) << c[0];
  }
  const auto shifts = Vectors("shr");
  ASSERT_GT(shifts.size(), 50u);
  for (const auto& c : shifts) {
    vlong x = FromHex(c[0]);
    x >>= static_cast<unsigned>(std::stoul(c[1]));
    ASSERT_EQ(FromHex(c[2]), x) << c[0] << " >> " << c[1];
  }
}

TEST(VlongSigns, ZeroIsNeverNegative) {
  const vlong zero, minus_zero = Neg(vlong(0));
  EXPECT_EQ(0u, zero.bits());
  EXPECT_EQ(0u, static_cast<unsigned>(zero));
  EXPECT_EQ(zero, minus_zero);
  EXPECT_FALSE(minus_zero < zero);
  EXPECT_FALSE(vlong(5) - vlong(5) < 0);
  EXPECT_FALSE(Neg(vlong(3)) * vlong(0) < 0);
  EXPECT_FALSE(Neg(vlong(3)) / vlong(7) < 0);  // a zero quotient of unlike signs
}

TEST(VlongSigns, TruncatingDivisionOfSmallValues) {
  EXPECT_EQ(Neg(3), vlong(7) / Neg(2));
  EXPECT_EQ(vlong(1), vlong(7) % Neg(2));
  EXPECT_EQ(Neg(3), Neg(7) / vlong(2));
  EXPECT_EQ(Neg(1), Neg(7) % vlong(2));
  EXPECT_EQ(vlong(3), Neg(7) / Neg(2));
  EXPECT_EQ(Neg(1), Neg(7) % Neg(2));
}

TEST(VlongSigns, ComparisonTakesTheSignFirst) {
  EXPECT_LT(Neg(vlong::power_of_two(100)), vlong(1));
  EXPECT_LT(Neg(vlong(2)), Neg(vlong(1)));
  EXPECT_GT(vlong::power_of_two(32), vlong(0xffffffffu));
  EXPECT_LE(vlong(4), vlong(4));
  EXPECT_GE(Neg(4), Neg(4));
  EXPECT_NE(Neg(4), vlong(4));
}

TEST(VlongDivision, ByZeroGivesQuotientZeroAndRemainderTheDividend) {
  const vlong x = FromHex("-123456789abcdef0123456789");
  EXPECT_EQ(vlong(0), x / vlong(0));
  EXPECT_EQ(x, x % vlong(0));
  EXPECT_EQ(vlong(0), vlong(0) / vlong(0));
}

TEST(VlongWords, LoadAndStoreKeepWordsLeastSignificantFirst) {
  const unsigned words[4] = {0x89abcdef, 0x01234567, 0, 0};
  vlong x;
  x.load(words, 4);  // the zero top words are not significant
  EXPECT_EQ(FromHex("123456789abcdef"), x);
  EXPECT_EQ(57u, x.bits());
  EXPECT_EQ(0x89abcdefu, static_cast<unsigned>(x));

  unsigned out[3] = {7, 7, 7};
  x.store(out, 3);
  EXPECT_EQ(0x89abcdefu, out[0]);
  EXPECT_EQ(0x01234567u, out[1]);
  EXPECT_EQ(0u, out[2]);
  x.store(out, 1);  // only as many words as asked for
  EXPECT_EQ(0x01234567u, out[1]);
}

TEST(VlongBits, SetClearAndTestAcrossWordBoundaries) {
  vlong x;
  for (unsigned i : {0u, 31u, 32u, 33u, 511u, 512u, 1023u}) {
    x.set(i);
    EXPECT_TRUE(x.test(i)) << i;
  }
  EXPECT_EQ(1024u, x.bits());
  EXPECT_FALSE(x.test(1u));
  EXPECT_FALSE(x.test(5000u));
  x.clear(1023);
  x.clear(512);
  EXPECT_EQ(512u, x.bits());
  x.clear(4000);  // clearing a bit beyond the value changes nothing
  EXPECT_EQ(512u, x.bits());
  EXPECT_EQ(vlong::power_of_two(511) + vlong::power_of_two(33) + vlong::power_of_two(32) +
                vlong::power_of_two(31) + vlong(1),
            x);
}

TEST(VlongBits, RotateWithinAWidth) {
  vlong x = FromHex("80000001");
  x.rotate_left(32);
  EXPECT_EQ(vlong(3), x);
  x.rotate_right(32);
  EXPECT_EQ(FromHex("80000001"), x);
  x.rotate_right(32);
  EXPECT_EQ(FromHex("c0000000"), x);

  vlong y = FromHex("1ffffffff");  // 33 bits
  y.rotate_left(33);
  EXPECT_EQ(FromHex("1ffffffff"), y);
  vlong z = FromHex("100000000");
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
  FreedBlocks freed;
  {
    vlong x;
    x.load(words, 37);
  }
  EXPECT_TRUE(freed.Released(37 * sizeof(unsigned)));
  EXPECT_TRUE(freed.AllZero());
}

TEST(VlongWiping, StorageReplacedByGrowthIsWipedToo) {
  const unsigned words[5] = {1, 2, 3, 4, 5};
  vlong x;
  x.load(words, 5);
  FreedBlocks freed;
  x.set(300);  // needs 10 words: the 5 are copied and released
  freed.Stop();
  EXPECT_TRUE(freed.Released(5 * sizeof(unsigned)));
  EXPECT_TRUE(freed.AllZero());
}

TEST(VlongWiping, ArithmeticTemporariesAreWiped) {
  const vlong m = FromHex("d1b54a32d192ed03ad19b5b6ba5cb1b8e03c7d6fa30bdeb85bd5a33a6f4f0f31");
  const vlong x = FromHex("123456789abcdef123456789abcdef");
  FreedBlocks freed;
  vlong r = vlong_modexp(x, m - 2, m);
  r = r * x / (m - 7) % m;
  freed.Stop();
  EXPECT_GT(g_freed_count, 10);
  EXPECT_TRUE(freed.AllZero());
}

}  // namespace
