// em_utility::i_lock: the lock interface the logger works through, and auto_lock, its scoped
// guard.
#pragma once

namespace em_utility {

class i_lock {
 public:
  virtual ~i_lock() {}
  virtual bool lock() = 0;
  virtual bool unlock() = 0;
  // Lock and unlock that also report a contention figure of the lock (for log lines only).
  virtual int lock_ex() { return 0; }
  virtual int unlock_ex() { return 0; }
};

// Locks for the lifetime of a scope; a null lock makes it a no-op.
class auto_lock {
 public:
  explicit auto_lock(i_lock* lock) : m_lock(lock) {
    if (m_lock) m_lock->lock();
  }
  ~auto_lock() {
    if (m_lock) m_lock->unlock();
  }
  auto_lock(const auto_lock&) = delete;
  auto_lock& operator=(const auto_lock&) = delete;

 private:
  i_lock* m_lock;
};

}  // namespace em_utility
