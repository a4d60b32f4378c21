#include "foundation/manual_event.h"

namespace em_utility {

manual_event::manual_event(bool initially_set, const wchar_t* name)
    : m_event(CreateEventW(nullptr, TRUE, initially_set ? TRUE : FALSE, name)) {}

manual_event::~manual_event() {
  if (valid()) CloseHandle(m_event);
}

void manual_event::set() {
  if (valid()) SetEvent(m_event);
}

void manual_event::reset() {
  if (valid()) ResetEvent(m_event);
}

bool manual_event::wait(DWORD milliseconds) {
  return valid() && WaitForSingleObject(m_event, milliseconds) == WAIT_OBJECT_0;
}

}  // namespace em_utility
