#include "foundation/critical_session.h"

#include <new>

namespace em_utility {

namespace {
const int kNoSection = 1000;
}  // namespace

critical_session::critical_session() : m_section(new (std::nothrow) CRITICAL_SECTION()) {
  if (m_section) InitializeCriticalSection(m_section.get());
}

critical_session::~critical_session() {
  if (m_section) DeleteCriticalSection(m_section.get());
}

bool critical_session::lock() {
  if (!m_section) return false;
  EnterCriticalSection(m_section.get());
  ++m_depth;
  return true;
}

bool critical_session::unlock() {
  if (!m_section) return false;
  --m_depth;
  LeaveCriticalSection(m_section.get());
  return true;
}

int critical_session::lock_ex() {
  if (!m_section) return kNoSection;
  EnterCriticalSection(m_section.get());
  ++m_depth;
  return m_section->LockCount;
}

int critical_session::unlock_ex() {
  if (!m_section) return kNoSection;
  --m_depth;
  LeaveCriticalSection(m_section.get());
  return m_section->LockCount;
}

}  // namespace em_utility
