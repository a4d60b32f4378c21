// Size-class memory pools: fixed-size blocks carved from chunks, and a list of larger blocks.
//
// Every block handed out is preceded by one header word naming its owner, so a release needs no
// size: the word tells which pool the block goes back to, or that it is a large block of the
// manager. Chunks stay allocated until their pool is destroyed; freed blocks are reused most
// recently freed first, which keeps a hot block in the cache.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <malloc.h>
#include <mutex>

#include "foundation/pool_lock.h"

namespace Lirak {

class CMemPoolBase {
 public:
  virtual ~CMemPoolBase() = default;
  virtual void* Alloc(uint32_t size) = 0;
  virtual void Free(void* p) = 0;
};

// Blocks of N bytes. A chunk is one heap allocation: a link to the next chunk, then BlocksPerChunk
// blocks, each a header word followed by N bytes. The header word holds the owning pool while the
// block is in use and the link to the next free block's header while it is free.
template <uint32_t N, class TLock, uint32_t BlocksPerChunk = 16>
class CMemPool {
 public:
  static constexpr uint32_t kBlockSize = N;
  static constexpr size_t kBlockStride = sizeof(void*) + N;
  static constexpr size_t kChunkBytes = sizeof(void*) + BlocksPerChunk * kBlockStride;

  CMemPool() = default;
  CMemPool(const CMemPool&) = delete;
  CMemPool& operator=(const CMemPool&) = delete;

  virtual ~CMemPool() {
    std::lock_guard<TLock> guard(m_lock);
    while (m_chunks) {
      void* next = *static_cast<void**>(m_chunks);
      std::free(m_chunks);
      m_chunks = next;
    }
    m_free = nullptr;
  }

  // N bytes, or null when a new chunk cannot be allocated.
  void* Alloc() {
    void** header;
    {
      std::lock_guard<TLock> guard(m_lock);
      if (!m_free && !AddChunk()) return nullptr;
      header = static_cast<void**>(m_free);
      m_free = *header;
    }
    *header = this;
    return header + 1;
  }

  void Free(void* p) {
    void** header = static_cast<void**>(p) - 1;
    std::lock_guard<TLock> guard(m_lock);
    *header = m_free;
    m_free = header;
  }

 private:
  // Chains the new chunk's blocks so that its last block (the highest address) is handed out
  // first and its first block ends the free list. Called with the lock held and the list empty.
  bool AddChunk() {
    char* chunk = static_cast<char*>(std::malloc(kChunkBytes));
    if (!chunk) return false;
    *reinterpret_cast<void**>(chunk) = m_chunks;
    m_chunks = chunk;
    void* link = nullptr;
    char* block = chunk + sizeof(void*);
    for (uint32_t i = 0; i < BlocksPerChunk; ++i, block += kBlockStride) {
      *reinterpret_cast<void**>(block) = link;
      link = block;
    }
    m_free = link;
    return true;
  }

  void* m_chunks = nullptr;  // first word of each chunk links the next
  void* m_free = nullptr;    // header of the first free block
  TLock m_lock;
};

// Ten pools of 16 to 8192 bytes (powers of two, 16 blocks a chunk); anything larger is a big block
// from the heap with a three-word header, linked into a list under the manager's lock so that the
// manager can release whatever is still out when it is destroyed.
//
// A freed big block is kept for reuse rather than going straight back to the heap: the heap maps
// blocks above a threshold of its own (about 128 KiB under Wine) as fresh pages and unmaps them
// when they are freed, and the first touch of each fresh page is a page fault. A thread that
// collects one reply after another in a growing buffer would otherwise fault every page of every
// growth step again. What is kept is bounded: at most kKeptBigBlocks blocks and kKeptBigBytes
// heap bytes in all, the least recently freed going back to the heap first; a block larger than
// that goes back at once. A request takes the smallest kept block that holds it, unless that is
// more than twice its size.
template <class TLock>
class CMemPoolMgr final : public CMemPoolBase {
 public:
  // Precedes every big block's payload; owner is the word just before the payload.
  struct BigBlockHeader {
    BigBlockHeader* next;
    BigBlockHeader* prev;
    CMemPoolMgr* owner;
  };
  static constexpr uint32_t kLargestPoolBlock = 8192;
  static constexpr uint32_t kKeptBigBlocks = 8;
  static constexpr size_t kKeptBigBytes = size_t(4) << 20;

  CMemPoolMgr() = default;
  CMemPoolMgr(const CMemPoolMgr&) = delete;
  CMemPoolMgr& operator=(const CMemPoolMgr&) = delete;

  // Releases the big blocks still out and those kept; the pools then release their chunks as
  // members, from the largest block size down.
  ~CMemPoolMgr() override {
    std::lock_guard<TLock> guard(m_lock);
    while (m_bigBlocks) {
      BigBlockHeader* next = m_bigBlocks->next;
      std::free(m_bigBlocks);
      m_bigBlocks = next;
    }
    for (uint32_t i = 0; i < m_keptCount; ++i) std::free(m_kept[i].block);
  }

  // Null for size 0 and when the memory cannot be had.
  void* Alloc(uint32_t size) override {
    if (size == 0) return nullptr;
    if (size <= 16) return m_pool16.Alloc();
    if (size <= 32) return m_pool32.Alloc();
    if (size <= 64) return m_pool64.Alloc();
    if (size <= 128) return m_pool128.Alloc();
    if (size <= 256) return m_pool256.Alloc();
    if (size <= 512) return m_pool512.Alloc();
    if (size <= 1024) return m_pool1024.Alloc();
    if (size <= 2048) return m_pool2048.Alloc();
    if (size <= 4096) return m_pool4096.Alloc();
    if (size <= 8192) return m_pool8192.Alloc();
    return AllocBig(size);
  }

  void Free(void* p) override {
    if (!p) return;
    void* owner = static_cast<void**>(p)[-1];
    if (owner == this) return FreeBig(p);
    if (owner == &m_pool16) return m_pool16.Free(p);
    if (owner == &m_pool32) return m_pool32.Free(p);
    if (owner == &m_pool64) return m_pool64.Free(p);
    if (owner == &m_pool128) return m_pool128.Free(p);
    if (owner == &m_pool256) return m_pool256.Free(p);
    if (owner == &m_pool512) return m_pool512.Free(p);
    if (owner == &m_pool1024) return m_pool1024.Free(p);
    if (owner == &m_pool2048) return m_pool2048.Free(p);
    if (owner == &m_pool4096) return m_pool4096.Free(p);
    if (owner == &m_pool8192) return m_pool8192.Free(p);
    // A word that names none of ours is a foreign pointer or a pool block freed twice (its word is
    // then a free-list link): leave it alone rather than corrupt a free list.
  }

  // Heap bytes behind a big block of size bytes: the header plus size, rounded up to 8.
  static constexpr size_t BigBlockBytes(uint32_t size) {
    return (size + sizeof(BigBlockHeader) + 7) & ~size_t(7);
  }

  // Heap bytes of the freed big blocks kept for reuse.
  size_t KeptBigBytes() const {
    std::lock_guard<TLock> guard(m_lock);
    return m_keptBytes;
  }

 private:
  struct KeptBlock {
    BigBlockHeader* block;
    size_t bytes;  // of the heap allocation, which may exceed what its last user asked for
  };

  void* AllocBig(uint32_t size) {
    // Near 4 GiB the rounding would wrap to a tiny block that the caller then overruns.
    if (size > SIZE_MAX - sizeof(BigBlockHeader) - 7) return nullptr;
    const size_t bytes = BigBlockBytes(size);
    BigBlockHeader* block;
    {
      std::lock_guard<TLock> guard(m_lock);
      block = TakeKept(bytes);
      if (block) LinkBig(block);
    }
    if (!block) {
      block = static_cast<BigBlockHeader*>(std::malloc(bytes));
      if (!block) return nullptr;
      std::lock_guard<TLock> guard(m_lock);
      LinkBig(block);
    }
    block->owner = this;
    return block + 1;
  }

  void FreeBig(void* p) {
    BigBlockHeader* block = static_cast<BigBlockHeader*>(p) - 1;
    const size_t bytes = _msize(block);
    // The heap is never called under the manager's lock: what leaves the kept list is released
    // after it.
    BigBlockHeader* released[kKeptBigBlocks + 1];
    uint32_t releasedCount = 0;
    {
      std::lock_guard<TLock> guard(m_lock);
      if (block == m_bigBlocks) {
        m_bigBlocks = block->next;
      } else {
        block->prev->next = block->next;
      }
      if (block->next) block->next->prev = block->prev;
      if (bytes > kKeptBigBytes) {
        released[releasedCount++] = block;
      } else {
        // A kept block names no owner, so a second release of it is ignored instead of keeping
        // it twice and handing it to two users.
        block->owner = nullptr;
        m_kept[m_keptCount++] = {block, bytes};
        m_keptBytes += bytes;
        while (m_keptCount > kKeptBigBlocks || m_keptBytes > kKeptBigBytes) {
          released[releasedCount++] = RemoveKept(0);
        }
      }
    }
    for (uint32_t i = 0; i < releasedCount; ++i) std::free(released[i]);
  }

  // With the lock held.
  void LinkBig(BigBlockHeader* block) {
    block->prev = nullptr;
    block->next = m_bigBlocks;
    if (m_bigBlocks) m_bigBlocks->prev = block;
    m_bigBlocks = block;
  }

  // The smallest kept block of at least bytes (of equal ones the most recently freed, whose pages
  // are likelier in the cache), taken off the kept list; null when none is, or when the smallest
  // is more than twice as large (it is better kept for a larger request). With the lock held.
  BigBlockHeader* TakeKept(size_t bytes) {
    uint32_t best = m_keptCount;
    for (uint32_t i = 0; i < m_keptCount; ++i) {
      if (m_kept[i].bytes >= bytes &&
          (best == m_keptCount || m_kept[i].bytes <= m_kept[best].bytes)) {
        best = i;
      }
    }
    if (best == m_keptCount || m_kept[best].bytes / 2 > bytes) return nullptr;
    return RemoveKept(best);
  }

  // With the lock held; the list stays ordered from the least recently freed.
  BigBlockHeader* RemoveKept(uint32_t index) {
    BigBlockHeader* block = m_kept[index].block;
    m_keptBytes -= m_kept[index].bytes;
    for (uint32_t i = index + 1; i < m_keptCount; ++i) m_kept[i - 1] = m_kept[i];
    --m_keptCount;
    return block;
  }

  BigBlockHeader* m_bigBlocks = nullptr;
  mutable TLock m_lock;
  CMemPool<16, TLock> m_pool16;
  CMemPool<32, TLock> m_pool32;
  CMemPool<64, TLock> m_pool64;
  CMemPool<128, TLock> m_pool128;
  CMemPool<256, TLock> m_pool256;
  CMemPool<512, TLock> m_pool512;
  CMemPool<1024, TLock> m_pool1024;
  CMemPool<2048, TLock> m_pool2048;
  CMemPool<4096, TLock> m_pool4096;
  CMemPool<8192, TLock> m_pool8192;
  // Freed big blocks kept for reuse, the least recently freed first; guarded by m_lock. One more
  // slot than kept, for the block being freed before the oldest leaves.
  KeptBlock m_kept[kKeptBigBlocks + 1] = {};
  uint32_t m_keptCount = 0;
  size_t m_keptBytes = 0;
};

}  // namespace Lirak
