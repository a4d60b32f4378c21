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
using BigHeader = Manager::BigBlockHeader;

ptrdiff_t Distance(void* from, void* to) {
  return static_cast<char*>(to) - static_cast<char*>(from);
}

void* HeaderWord(void* p) { return static_cast<void**>(p)[-1]; }

BigHeader* Big(void* p) { return static_cast<BigHeader*>(p) - 1; }

}  // namespace

TEST(Pool, SizesPickTheSmallestClassThatHoldsThem) {
  Manager pools;
  EXPECT_EQ(nullptr, pools.Alloc(0));
  // Consecutive blocks of one fresh chunk lie one stride (header word + block size) apart.
  const struct {
    uint32_t size;
    ptrdiff_t stride;
  } cases[] = {{1, 20},    {16, 20},     {17, 36},     {32, 36},     {33, 68},
               {100, 132}, {256, 260},   {257, 516},   {1024, 1028}, {2000, 2052},
               {4096, 4100}, {4097, 8196}, {8192, 8196}};
  for (const auto& c : cases) {
    void* first = pools.Alloc(c.size);
    void* second = pools.Alloc(c.size);
    EXPECT_EQ(-c.stride, Distance(first, second)) << "size " << c.size;
    EXPECT_EQ(HeaderWord(first), HeaderWord(second)) << "size " << c.size;
    EXPECT_NE(static_cast<void*>(&pools), HeaderWord(first));
    std::memset(first, 0xAB, c.size);
    pools.Free(second);
    pools.Free(first);
  }

  void* big = pools.Alloc(8193);
  EXPECT_EQ(&pools, HeaderWord(big));
  EXPECT_EQ(8208u, _msize(Big(big)));
  pools.Free(big);
  EXPECT_EQ(8208u, Manager::BigBlockBytes(8193));
  EXPECT_EQ(16u, Manager::BigBlockBytes(1));
}

TEST(Pool, ChunksHandOutTheirHighestBlockFirst) {
  Manager pools;
  std::vector<void*> blocks;
  for (int i = 0; i < 17; ++i) blocks.push_back(pools.Alloc(64));
  for (int i = 1; i < 16; ++i) EXPECT_EQ(-68, Distance(blocks[i - 1], blocks[i])) << i;
  // The 17th comes from a second chunk, not from just below the first chunk's lowest block.
  EXPECT_NE(-68, Distance(blocks[15], blocks[16]));
  EXPECT_EQ(HeaderWord(blocks[0]), HeaderWord(blocks[16]));
  for (void* p : blocks) pools.Free(p);
}

TEST(Pool, FreedBlocksComeBackMostRecentFirst) {
  Manager pools;
  void* a = pools.Alloc(16);
  void* b = pools.Alloc(16);
  void* c = pools.Alloc(16);
  pools.Free(a);
  pools.Free(c);
  EXPECT_EQ(c, pools.Alloc(5));
  EXPECT_EQ(a, pools.Alloc(16));
  void* d = pools.Alloc(12);
  EXPECT_EQ(-20, Distance(c, d));  // the chunk continues where it left off
  // A block of another class never comes back from this one.
  void* wide = pools.Alloc(300);
  pools.Free(wide);
  EXPECT_NE(wide, pools.Alloc(16));
  EXPECT_EQ(wide, pools.Alloc(512));
  pools.Free(nullptr);
  (void)b;
}

TEST(Pool, SecondFreeOfABlockDoesNotCorruptTheFreeList) {
  Manager pools;
  void* a = pools.Alloc(32);
  pools.Free(a);
  pools.Free(a);
  void* first = pools.Alloc(32);
  void* second = pools.Alloc(32);
  EXPECT_EQ(a, first);
  EXPECT_NE(a, second);
}

TEST(Pool, BigBlockListUnlinksHeadMiddleAndTail) {
  Manager pools;
  void* a = pools.Alloc(10000);
  void* b = pools.Alloc(20000);
  void* c = pools.Alloc(9000);
  void* d = pools.Alloc(8193);
  // New blocks go to the head: d, c, b, a.
  EXPECT_EQ(nullptr, Big(d)->prev);
  EXPECT_EQ(Big(c), Big(d)->next);
  EXPECT_EQ(Big(d), Big(c)->prev);
  EXPECT_EQ(nullptr, Big(a)->next);

  pools.Free(c);  // middle
  EXPECT_EQ(Big(b), Big(d)->next);
  EXPECT_EQ(Big(d), Big(b)->prev);

  pools.Free(a);  // tail
  EXPECT_EQ(nullptr, Big(b)->next);

  pools.Free(d);  // head: b becomes the head
  EXPECT_EQ(nullptr, Big(b)->prev);
  void* e = pools.Alloc(50000);
  EXPECT_EQ(Big(b), Big(e)->next);
  EXPECT_EQ(Big(e), Big(b)->prev);

  pools.Free(e);
  pools.Free(b);
  void* only = pools.Alloc(9999);
  EXPECT_EQ(nullptr, Big(only)->next);
  // Left for the destructor, with a few pool blocks, to release.
  pools.Alloc(16);
  pools.Alloc(8192);
}

TEST(Pool, SizesNearTheTopOfTheRangeAreRefused) {
  EXPECT_EQ(nullptr, Lirak::PoolAlloc(0));
  EXPECT_EQ(nullptr, Lirak::PoolAlloc(0xFFFFFFF0u));
  EXPECT_EQ(nullptr, Lirak::PoolAlloc(0xFFFFFFFFu));
}

TEST(Pool, ProcessPoolsServeAllSizesFromAnyThread) {
  // Four threads allocate, fill, check and free blocks of every class, and hand a share of their
  // blocks to the next thread to free, so blocks also travel between threads.
  constexpr int kThreads = 4;
  constexpr int kRounds = 20000;
  std::vector<std::vector<std::pair<unsigned char*, uint32_t>>> handed(kThreads);
  std::vector<std::thread> threads;
  std::atomic<int> corrupt{0};
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &handed, &corrupt] {
      std::mt19937 random(1234 + t);
      std::vector<std::pair<unsigned char*, uint32_t>> live;
      for (int i = 0; i < kRounds; ++i) {
        uint32_t size = 1 + random() % (i % 50 == 0 ? 20000 : 2048);
        auto* p = static_cast<unsigned char*>(Lirak::PoolAlloc(size));
        if (!p) {
          ++corrupt;
          continue;
        }
        std::memset(p, static_cast<unsigned char>(t * 64 + size), size);
        live.emplace_back(p, size);
        if (live.size() > 64 || random() % 3 == 0) {
          size_t k = random() % live.size();
          auto [q, n] = live[k];
          const auto fill = static_cast<unsigned char>(t * 64 + n);
          if (q[0] != fill || q[n - 1] != fill) ++corrupt;
          Lirak::PoolFree(q);
          live.erase(live.begin() + k);
        }
      }
      handed[t] = live;
    });
  }
  for (auto& thread : threads) thread.join();
  threads.clear();
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &handed, &corrupt] {
      const int owner = (t + 1) % kThreads;
      for (auto [q, n] : handed[owner]) {
        const auto fill = static_cast<unsigned char>(owner * 64 + n);
        if (q[0] != fill || q[n - 1] != fill) ++corrupt;
        Lirak::PoolFree(q);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(0, corrupt.load());
}
