// The message loop of tests that drive windows on their own thread.
#pragma once

#include <windows.h>

#include <functional>

namespace testsupport {

// Dispatches every message waiting for this thread (pending paints, posted messages).
void PumpMessages();
// Dispatches messages as they come until done() or the time is up; false when it ran out.
bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

}  // namespace testsupport
