// em_utility::manual_event: a manual-reset event that stays signalled until it is reset.
#pragma once

#include <windows.h>

namespace em_utility {

class manual_event {
 public:
  // name null makes an unnamed event; a named one is shared with whoever else opens that name.
  manual_event(bool initially_set, const wchar_t* name);
  ~manual_event();
  manual_event(const manual_event&) = delete;
  manual_event& operator=(const manual_event&) = delete;

  void set();
  void reset();
  // true only when the event was signalled within the time.
  bool wait(DWORD milliseconds);
  HANDLE handle() const { return m_event; }

 private:
  bool valid() const { return m_event != nullptr && m_event != INVALID_HANDLE_VALUE; }

  HANDLE m_event;
};

}  // namespace em_utility
