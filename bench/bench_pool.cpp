// Memory pools against the system heap and the C runtime's malloc, one thread and four; the ring
// buffer against plain memcpy (ratios of pairs run in turn, lowest-highest in brackets). Run by hand: scripts/wine-run build/bench/bench_pool.exe
#include <windows.h>

#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <thread>
#include <vector>

#include "foundation/buffer.h"
#include "foundation/pool_alloc.h"
#include "harness.h"

namespace {

// Sizes the program allocates: short texts, records, song objects, transfer buffers.
constexpr uint32_t kSizes[] = {16, 24, 48, 100, 200, 640, 1500, 4000, 8192};
constexpr int kBatch = 512;   // blocks alive at once
constexpr int kBatches = 200;  // 102400 allocations and frees per run and thread

struct PoolAllocator {
  static void* Alloc(uint32_t n) { return Lirak::PoolAlloc(n); }
  static void Free(void* p) { Lirak::PoolFree(p); }
};
struct HeapAllocator {
  static void* Alloc(uint32_t n) { return HeapAlloc(GetProcessHeap(), 0, n); }
  static void Free(void* p) { HeapFree(GetProcessHeap(), 0, p); }
};
struct MallocAllocator {
  static void* Alloc(uint32_t n) { return std::malloc(n); }
  static void Free(void* p) { std::free(p); }
};

template <class A>
void AllocFreeLoop() {
  void* live[kBatch];
  for (int b = 0; b < kBatches; ++b) {
    for (int i = 0; i < kBatch; ++i) {
      live[i] = A::Alloc(kSizes[(i + b) % (sizeof(kSizes) / sizeof(kSizes[0]))]);
      *static_cast<char*>(live[i]) = static_cast<char>(i);
    }
    // Free every other block first, then the rest, so free lists and heaps see holes.
    for (int i = 0; i < kBatch; i += 2) A::Free(live[i]);
    for (int i = 1; i < kBatch; i += 2) A::Free(live[i]);
  }
}

template <class A>
void FourThreads() {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) threads.emplace_back(AllocFreeLoop<A>);
  for (auto& thread : threads) thread.join();
}

template <class F>
void Compare(const char* what, F pool, F heap, F crt) {
  double poolTime = bench::MedianSeconds(pool);
  double heapTime = bench::MedianSeconds(heap);
  double crtTime = bench::MedianSeconds(crt);
  std::printf("%s\n", what);
  bench::PrintRatio("  PoolAlloc/PoolFree", poolTime, "HeapAlloc/HeapFree", heapTime);
  bench::PrintRatio("  PoolAlloc/PoolFree", poolTime, "malloc/free", crtTime);
}

constexpr uint32_t kChunk = 1460;  // one TCP segment's payload
constexpr int kChunks = 20000;     // about 28 MiB through the ring

void StreamThroughRing() {
  static char in[kChunk], out[kChunk];
  CBuffer ring(8192);
  for (int i = 0; i < kChunks; ++i) {
    in[0] = static_cast<char>(i);
    ring.Write(in, kChunk);
    ring.Read(out, kChunk);
    bench::KeepAlive(out);
  }
}

void StreamThroughArray() {
  static char in[kChunk], out[kChunk], flat[8192];
  for (int i = 0; i < kChunks; ++i) {
    in[0] = static_cast<char>(i);
    std::memcpy(flat, in, kChunk);
    bench::KeepAlive(flat);
    std::memcpy(out, flat, kChunk);
    bench::KeepAlive(out);
  }
}

constexpr int kBodyChunks = 720;  // a body of about 1 MiB, collected whole and then read out

template <uint32_t InitialCapacity>
void CollectInRing() {
  static char in[kChunk];
  static std::vector<char> body(kChunk * kBodyChunks);
  CBuffer ring(InitialCapacity);
  for (int i = 0; i < kBodyChunks; ++i) ring.Write(in, kChunk);
  ring.Read(body.data(), kChunk * kBodyChunks);
  bench::KeepAlive(body);
}

// The growth rule by hand, with nothing of the ring: the same pool blocks one after another
// (capacity the larger of twice the count after the write and twice the old capacity), the bytes
// so far copied into each, the body read out whole: the floor of the row above. Both get the
// growth steps' blocks back from the pools' kept big blocks once the first call has freed them.
void CollectByGrowthRule() {
  static char in[kChunk];
  static std::vector<char> body(kChunk * kBodyChunks);
  uint32_t capacity = 8192, count = 0;
  auto* storage = static_cast<char*>(Lirak::PoolAlloc(capacity));
  std::memset(storage, 0, capacity);
  for (int i = 0; i < kBodyChunks; ++i) {
    if (kChunk > capacity - count) {
      const uint32_t wanted = std::max(2 * (count + kChunk), 2 * capacity);
      auto* bigger = static_cast<char*>(Lirak::PoolAlloc(wanted));
      std::memcpy(bigger, storage, count);
      Lirak::PoolFree(storage);
      storage = bigger;
      capacity = wanted;
    }
    std::memcpy(storage + count, in, kChunk);
    count += kChunk;
  }
  std::memcpy(body.data(), storage, count);
  Lirak::PoolFree(storage);
  bench::KeepAlive(body);
}

void CollectInArray() {
  static char in[kChunk];
  static std::vector<char> flat(kChunk * kBodyChunks), body(kChunk * kBodyChunks);
  for (int i = 0; i < kBodyChunks; ++i) std::memcpy(flat.data() + i * kChunk, in, kChunk);
  std::memcpy(body.data(), flat.data(), flat.size());
  bench::KeepAlive(body);
}

}  // namespace

int main() {
  Compare("Allocate and free 102400 blocks of 16 to 8192 bytes, one thread",
          &AllocFreeLoop<PoolAllocator>, &AllocFreeLoop<HeapAllocator>,
          &AllocFreeLoop<MallocAllocator>);
  Compare("The same in each of four threads at once", &FourThreads<PoolAllocator>,
          &FourThreads<HeapAllocator>, &FourThreads<MallocAllocator>);

  std::printf("Ring buffer, 1460-byte pieces written and read back (28 MiB)\n");
  bench::PrintPaired("  CBuffer Write+Read", bench::InTurn(StreamThroughRing, StreamThroughArray),
                     "memcpy in+out");
  std::printf("Ring buffer, a 1 MiB body collected in 1460-byte pieces, then read whole\n");
  bench::PrintPaired("  CBuffer from 8192, growing",
                     bench::InTurn(CollectInRing<8192>, CollectInArray, 21, 4),
                     "memcpy into a flat array");
  bench::PrintPaired("  CBuffer from 8192, growing",
                     bench::InTurn(CollectInRing<8192>, CollectByGrowthRule, 21, 4),
                     "its growth rule by hand");
  bench::PrintPaired("  CBuffer made big enough at once",
                     bench::InTurn(CollectInRing<kChunk * kBodyChunks>, CollectInArray, 21, 4),
                     "memcpy into a flat array");
  return 0;
}
