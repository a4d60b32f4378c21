// em_utility::critical_session: an i_lock over a critical section, recursive for its owner.
#pragma once

#include <windows.h>

#include <memory>

#include "foundation/i_lock.h"

namespace em_utility {

class critical_session : public i_lock {
 public:
  critical_session();
  ~critical_session() override;
  critical_session(const critical_session&) = delete;
  critical_session& operator=(const critical_session&) = delete;

  // false when there is no section (its allocation failed).
  bool lock() override;
  bool unlock() override;
  // The section's own lock count read right after entering or leaving; 1000 without a section.
  int lock_ex() override;
  int unlock_ex() override;

  // How many entries of the owning thread are not yet left.
  int depth() const { return m_depth; }

 private:
  // On the heap so the section keeps its address whatever happens to this object.
  std::unique_ptr<CRITICAL_SECTION> m_section;
  int m_depth = 0;
};

}  // namespace em_utility
