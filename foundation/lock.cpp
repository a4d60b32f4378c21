#include "foundation/lock.h"

CLock::CLock() {
  InitializeCriticalSection(&m_section);
}

CLock::~CLock() {
  DeleteCriticalSection(&m_section);
}

void CLock::Lock() {
  EnterCriticalSection(&m_section);
}

void CLock::Unlock() {
  LeaveCriticalSection(&m_section);
}
