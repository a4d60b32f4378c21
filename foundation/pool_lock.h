// Lirak::CLock: the lock the memory pools take on every allocation and release.
//
// A bare critical section without virtual functions, so that a pool's lock costs no more than the
// enter and leave themselves. It is distinct from the program's general CLock.
#pragma once

#include <windows.h>

namespace Lirak {

class CLock {
 public:
  CLock() { InitializeCriticalSection(&m_cs); }
  ~CLock() { DeleteCriticalSection(&m_cs); }
  CLock(const CLock&) = delete;
  CLock& operator=(const CLock&) = delete;

  void Lock() { EnterCriticalSection(&m_cs); }
  void Unlock() { LeaveCriticalSection(&m_cs); }

 private:
  CRITICAL_SECTION m_cs;
};

// Holds a pool lock for one scope.
template <class TLock>
class CPoolGuard {
 public:
  explicit CPoolGuard(TLock& lock) : m_lock(lock) { m_lock.Lock(); }
  ~CPoolGuard() { m_lock.Unlock(); }
  CPoolGuard(const CPoolGuard&) = delete;
  CPoolGuard& operator=(const CPoolGuard&) = delete;

 private:
  TLock& m_lock;
};

}  // namespace Lirak
