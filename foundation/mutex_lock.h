// em_utility::mutex_lock: an i_lock over an unnamed mutex.
//
// The constructing thread owns the mutex from the start: it must unlock once before any other
// thread can lock.
#pragma once

#include <windows.h>

#include "foundation/i_lock.h"

namespace em_utility {

class mutex_lock : public i_lock {
 public:
  mutex_lock();
  ~mutex_lock() override;
  mutex_lock(const mutex_lock&) = delete;
  mutex_lock& operator=(const mutex_lock&) = delete;

  // Waits without time limit; true once the mutex is owned (also when its last owner ended
  // without releasing it), false when the wait itself failed.
  bool lock() override;
  // false when the calling thread does not own the mutex.
  bool unlock() override;
  // 0 when lock (unlock) succeeded, else -1.
  int lock_ex() override;
  int unlock_ex() override;

  // Waits up to the given number of seconds; true only when the mutex was acquired.
  bool try_lock(unsigned seconds);

 private:
  bool wait(DWORD milliseconds);

  HANDLE m_mutex;
};

}  // namespace em_utility
