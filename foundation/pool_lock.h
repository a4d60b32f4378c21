// Lirak::CLock: the lock the memory pools take on every allocation and release.
//
// A bare critical section without virtual functions, so that a pool's lock costs no more than the
// enter and leave themselves. It is distinct from the program's general CLock (foundation/lock.h).
#pragma once

#include <windows.h>

namespace Lirak {

class CLock {
 public:
  CLock() { InitializeCriticalSection(&m_cs); }
  ~CLock() { DeleteCriticalSection(&m_cs); }
  CLock(const CLock&) = delete;
  CLock& operator=(const CLock&) = delete;

  // Named as the standard library's lockables are, so that std::lock_guard can hold it.
  void lock() { EnterCriticalSection(&m_cs); }
  void unlock() { LeaveCriticalSection(&m_cs); }

 private:
  CRITICAL_SECTION m_cs;
};

}  // namespace Lirak
