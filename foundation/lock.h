// CLock: the critical-section lock embedded in the program's multi-threaded classes.
//
// The section is recursive: the owning thread may lock again, and must unlock as often as it
// locked. A lock is tied to its object's address, so it is never copied.
#pragma once

#include <windows.h>

#include "winlayer/cstring.h"

class CLock {
 public:
  CLock();
  virtual ~CLock();
  CLock(const CLock&) = delete;
  CLock& operator=(const CLock&) = delete;

  void Lock();
  void Unlock();

 private:
  CRITICAL_SECTION m_section;
  CString m_strName;  // kept empty; names no lock yet
};

// Holds a CLock for the lifetime of a scope, so that every path out of it unlocks.
class CLockGuard {
 public:
  explicit CLockGuard(CLock& lock) : m_lock(lock) { m_lock.Lock(); }
  ~CLockGuard() { m_lock.Unlock(); }
  CLockGuard(const CLockGuard&) = delete;
  CLockGuard& operator=(const CLockGuard&) = delete;

 private:
  CLock& m_lock;
};
