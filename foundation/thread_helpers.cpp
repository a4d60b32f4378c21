// Waiting for workers and the exit watchdog.
#include <windows.h>

#include "foundation/common_helpers.h"
#include "foundation/logger.h"

namespace {

// TerminateThread only asks for the end; the thread may still run (and read what its creator
// is about to free) until its handle is signalled.
constexpr DWORD kKilledThreadWait = 5000;

void KillAndWait(HANDLE thread) {
  TerminateThread(thread, 1);
  WaitForSingleObject(thread, kKilledThreadWait);
}

}  // namespace

bool _WaitForThread(HANDLE thread, HANDLE stopEvent) {
  bool hasStop = stopEvent && stopEvent != INVALID_HANDLE_VALUE;
  if (hasStop && WaitForSingleObject(stopEvent, 0) == WAIT_OBJECT_0) {
    KillAndWait(thread);
    return false;
  }
  HANDLE handles[2] = {thread, stopEvent};
  DWORD result = hasStop ? WaitForMultipleObjects(2, handles, FALSE, INFINITE)
                         : WaitForSingleObject(thread, INFINITE);
  if (result == WAIT_OBJECT_0) {
    DWORD exitCode = 1;
    return GetExitCodeThread(thread, &exitCode) && exitCode == 0;
  }
  if (hasStop && result == WAIT_OBJECT_0 + 1) {
    KillAndWait(thread);
    return false;
  }
  if (result != WAIT_TIMEOUT) {
    GetLogger()->log(em_utility::log_level::error, L"_WaitForThread: 未知错误！nLastError = %d",
                     static_cast<int>(GetLastError()));
  }
  return false;
}

DWORD WINAPI ExitWatchdogThread(LPVOID milliseconds) {
  Sleep(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(milliseconds)));
  GetLogger()->log(em_utility::log_level::important, L"退出操作超时，强制结束应用程序！");
  ExitProcess(1);
}
