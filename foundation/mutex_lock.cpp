#include "foundation/mutex_lock.h"

namespace em_utility {

mutex_lock::mutex_lock() : m_mutex(CreateMutexW(nullptr, TRUE, nullptr)) {}

mutex_lock::~mutex_lock() {
  if (m_mutex) CloseHandle(m_mutex);
}

bool mutex_lock::wait(DWORD milliseconds) {
  // An abandoned mutex is owned by the waiter all the same.
  DWORD result = WaitForSingleObject(m_mutex, milliseconds);
  return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

bool mutex_lock::lock() {
  return wait(INFINITE);
}

bool mutex_lock::unlock() {
  return ReleaseMutex(m_mutex) != FALSE;
}

int mutex_lock::lock_ex() {
  return lock() ? 0 : -1;
}

int mutex_lock::unlock_ex() {
  return unlock() ? 0 : -1;
}

bool mutex_lock::try_lock(unsigned seconds) {
  // Beyond 49 days the product would wrap to a short wait (or to "forever"); cap it just below.
  unsigned long long ms = static_cast<unsigned long long>(seconds) * 1000u;
  return wait(ms >= INFINITE ? INFINITE - 1 : static_cast<DWORD>(ms));
}

}  // namespace em_utility
