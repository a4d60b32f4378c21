// The process-wide memory pools: PoolAlloc and PoolFree reach the one CMemPoolMgr of the program.
#pragma once

#include <cstdint>

namespace Lirak {

// Null for size 0 and when the memory cannot be had. Blocks are 4-byte aligned.
void* PoolAlloc(uint32_t size);
// Returns a block from PoolAlloc to where it came from; null does nothing.
void PoolFree(void* p);

}  // namespace Lirak
