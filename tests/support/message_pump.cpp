#include "support/message_pump.h"

#include <algorithm>

namespace testsupport {

void PumpMessages() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  while (!done()) {
    const DWORD spent = ::GetTickCount() - start;
    if (spent >= timeoutMs) return false;
    // A condition that another thread changes sends no message: look again every 20 ms.
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(timeoutMs - spent, 20),
                                QS_ALLINPUT);
    PumpMessages();
  }
  return true;
}

}  // namespace testsupport
