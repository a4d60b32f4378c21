#include "foundation/pool_alloc.h"

#include "foundation/mem_pool.h"
#include "foundation/pool_lock.h"

namespace Lirak {

namespace {

CMemPoolMgr<CLock>& ProcessPools() {
  // Made on first use, so a static initialiser anywhere may already allocate. Never destroyed:
  // at exit, download threads and a request worker that was terminated (perhaps inside a pool
  // lock) can still hold blocks, and tearing the pools down under them would deadlock or free
  // memory in use. The system reclaims the chunks with the process.
  static CMemPoolMgr<CLock>* const manager = new CMemPoolMgr<CLock>();
  return *manager;
}

}  // namespace

void* PoolAlloc(uint32_t size) {
  return ProcessPools().Alloc(size);
}

void PoolFree(void* p) {
  ProcessPools().Free(p);
}

}  // namespace Lirak
