#include <gtest/gtest.h>

#include <malloc.h>

#include <atomic>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "foundation/mem_pool.h"
#include "foundation/pool_alloc.h"
#include "foundation/pool_lock.h"

namespace {

using Manager = Lirak::CMemPoolMgr<Lirak::CLock>;

ptrdiff_t Distance(void* from, void* to) {
  return static_cast<char*>(to) - static_cast<char*>(from);
}

void* HeaderWord(void* p) {
  return static_cast<void**>(p)[-1];
}

Manager::BigBlockHeader* Big(void* p) {
  return static_cast<Manager::BigBlockHeader*>(p) - 1;
}

}  // namespace

TEST(Pool, SizesPickTheSmallestClassThatHoldsThem) {
  Manager pools;
  EXPECT_EQ(nullptr, pools.Alloc(0));
  // Consecutive blocks of a fresh chunk lie one stride (header word + block size) apart, the
  // highest first.
  const struct {
    uint32_t size;
    ptrdiff_t stride;
  } cases[] = {{1, 20},    {16, 20},     {17, 36},     {33, 68},
               {257, 516}, {2000, 2052}, {4097, 8196}, {8192, 8196}};
  for (const auto& c : cases) {
    void* first = pools.Alloc(c.size);
    void* second = pools.Alloc(c.size);
    EXPECT_EQ(-c.stride, Distance(first, second)) << "size " << c.size;
    EXPECT_EQ(HeaderWord(first), HeaderWord(second)) << "size " << c.size;
    pools.Free(second);
    pools.Free(first);
  }
  void* big = pools.Alloc(8193);
  EXPECT_EQ(&pools, HeaderWord(big));
  EXPECT_EQ(8208u, _msize(Big(big)));  // header and size, rounded up to 8
  pools.Free(big);
  EXPECT_EQ(nullptr, Lirak::PoolAlloc(0xFFFFFFF0u));  // would wrap to a tiny block
}

TEST(Pool, MostRecentFirstReuseWithinItsClassAndDoubleFreesIgnored) {
  Manager pools;
  void* a = pools.Alloc(64);
  void* b = pools.Alloc(64);
  pools.Free(a);
  pools.Free(b);
  EXPECT_EQ(b, pools.Alloc(40));
  EXPECT_EQ(a, pools.Alloc(64));
  void* wide = pools.Alloc(300);
  pools.Free(wide);
  EXPECT_NE(wide, pools.Alloc(64));  // a block never changes class
  EXPECT_EQ(wide, pools.Alloc(512));

  // A second free of a block is ignored rather than linking it into the free list twice.
  void* twice = pools.Alloc(32);
  pools.Free(twice);
  pools.Free(twice);
  EXPECT_EQ(twice, pools.Alloc(32));
  EXPECT_NE(twice, pools.Alloc(32));
}

TEST(Pool, BigBlockListUnlinksHeadMiddleAndTail) {
  Manager pools;
  void* a = pools.Alloc(10000);
  void* b = pools.Alloc(20000);
  void* c = pools.Alloc(9000);
  void* d = pools.Alloc(8193);  // the list: d, c, b, a
  pools.Free(c);                // middle
  EXPECT_EQ(Big(b), Big(d)->next);
  EXPECT_EQ(Big(d), Big(b)->prev);
  pools.Free(a);  // tail
  pools.Free(d);  // head: b is left alone
  EXPECT_EQ(nullptr, Big(b)->prev);
  EXPECT_EQ(nullptr, Big(b)->next);
  // b and a few pool blocks are left for the destructor to release.
  pools.Alloc(16);
  pools.Alloc(8192);
}

TEST(Pool, ProcessPoolsServeFourThreadsAtOnce) {
  // Each thread allocates, fills, checks and frees blocks of every class; what it still holds at
  // the end is checked and freed by another thread.
  constexpr int kThreads = 4;
  using Held = std::vector<std::pair<unsigned char*, uint32_t>>;
  std::vector<Held> held(kThreads);
  std::atomic<int> bad{0};
  auto check = [&bad](unsigned char* p, uint32_t n, int owner) {
    const auto fill = static_cast<unsigned char>(owner * 64 + n);
    if (p[0] != fill || p[n - 1] != fill) ++bad;
    Lirak::PoolFree(p);
  };
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &held, &bad, &check] {
      std::mt19937 random(1234 + t);
      Held& live = held[t];
      for (int i = 0; i < 20000; ++i) {
        uint32_t size = 1 + random() % (i % 50 == 0 ? 20000 : 2048);
        auto* p = static_cast<unsigned char*>(Lirak::PoolAlloc(size));
        if (!p) {
          ++bad;
          continue;
        }
        std::memset(p, static_cast<unsigned char>(t * 64 + size), size);
        live.emplace_back(p, size);
        if (live.size() > 64 || random() % 3 == 0) {
          size_t k = random() % live.size();
          check(live[k].first, live[k].second, t);
          live.erase(live.begin() + k);
        }
      }
    });
  }
  for (auto& thread : threads) thread.join();
  threads.clear();
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &held, &check] {
      const int owner = (t + 1) % kThreads;
      for (auto [p, n] : held[owner]) check(p, n, owner);
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(0, bad.load());
}

TEST(Pool, FreedBigBlocksServeLaterRequestsThatFitThem) {
  enum Kept { kFresh, kSmaller, kLarger };
  const struct {
    uint32_t size;
    Kept expected;
  } cases[] = {
      {100000, kSmaller}, {90000, kSmaller}, {60000, kSmaller},  // the smallest that holds it
      {100010, kLarger},  {150000, kLarger},                     // one step past the rounding
      {49000, kFresh},    {150010, kFresh},  // more than twice its size stays kept; too small
  };
  for (const auto& c : cases) {
    Manager pools;
    void* kept[] = {nullptr, pools.Alloc(100000), pools.Alloc(150000)};
    pools.Free(kept[kLarger]);
    pools.Free(kept[kSmaller]);
    void* p = pools.Alloc(c.size);
    EXPECT_EQ(&pools, HeaderWord(p)) << "size " << c.size;
    EXPECT_TRUE(c.expected == kFresh ? p != kept[kSmaller] && p != kept[kLarger]
                                     : p == kept[c.expected])
        << "size " << c.size;
    pools.Free(p);
  }
}

TEST(Pool, KeptBigBlocksStayWithinTheirBoundAndAreKeptOnce) {
  Manager pools;
  void* blocks[Manager::kKeptBigBlocks + 1];
  for (void*& p : blocks) p = pools.Alloc(10000);
  for (void* p : blocks) pools.Free(p);
  // A second release of a kept block is ignored: kept twice, it would go to two users.
  pools.Free(blocks[Manager::kKeptBigBlocks]);
  EXPECT_EQ(Manager::kKeptBigBlocks * Manager::BigBlockBytes(10000), pools.KeptBigBytes());
  EXPECT_NE(pools.Alloc(10000), pools.Alloc(10000));

  // Bytes: each 1.5 MiB block pushes out the least recently freed until 4 MiB hold the rest; a
  // block larger than the whole allowance goes straight back.
  const uint32_t large = 3u << 19;
  void* larges[] = {pools.Alloc(large), pools.Alloc(large), pools.Alloc(large)};
  for (void* p : larges) pools.Free(p);
  pools.Free(pools.Alloc(5u << 20));
  EXPECT_EQ(2 * Manager::BigBlockBytes(large), pools.KeptBigBytes());
  EXPECT_EQ(larges[2], pools.Alloc(large));
}
