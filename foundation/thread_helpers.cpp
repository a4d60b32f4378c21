// Waiting for workers and the exit watchdog.
#include <windows.h>

#include "foundation/common_helpers.h"
#include "foundation/logger.h"

namespace {

// Ends a worker that the stop did not end in time, and returns once it is gone. TerminateThread
// only asks for the end, so what the worker uses stays alive until its handle is signalled: the
// wait has no limit. A killed worker may leave a lock it held taken; that is why every stop
// first gives the worker kWorkerStopGrace to see its flag or event.
void KillAndWait(HANDLE thread, DWORD graceMs) {
  GetLogger()->log(em_utility::log_level::error,
                   "worker thread did not end %u ms after its stop: terminated",
                   static_cast<unsigned>(graceMs));
  if (!TerminateThread(thread, 1)) {
    GetLogger()->log(em_utility::log_level::error,
                     "worker thread could not be terminated (error %u): waiting for its end",
                     static_cast<unsigned>(GetLastError()));
  }
  WaitForThreadEnd(thread, INFINITE);
}

// The stop came: the worker has the grace to end by itself. True when it ended with code 0.
bool StopWorker(HANDLE thread) {
  if (!EndStoppedWorker(thread)) return false;
  DWORD exitCode = 1;
  return GetExitCodeThread(thread, &exitCode) && exitCode == 0;
}

}  // namespace

DWORD WaitAnsweringSentMessages(DWORD count, const HANDLE* handles, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    DWORD left = INFINITE;
    if (milliseconds != INFINITE) {
      DWORD spent = GetTickCount() - start;
      left = spent >= milliseconds ? 0 : milliseconds - spent;
    }
    // Messages sent to this thread's windows are answered while it waits: a worker that reports
    // with SendMessage (progress, a message box over one of our windows) must not hang on it.
    DWORD result = MsgWaitForMultipleObjects(count, handles, FALSE, left, QS_SENDMESSAGE);
    if (result != WAIT_OBJECT_0 + count) return result;
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

DWORD WaitForThreadEnd(HANDLE thread, DWORD milliseconds) {
  return WaitAnsweringSentMessages(1, &thread, milliseconds);
}

bool EndStoppedWorker(HANDLE thread) {
  if (WaitForThreadEnd(thread, kWorkerStopGrace) == WAIT_OBJECT_0) return true;
  KillAndWait(thread, kWorkerStopGrace);
  return false;
}

bool _WaitForThread(HANDLE thread, HANDLE stopEvent) {
  bool hasStop = stopEvent && stopEvent != INVALID_HANDLE_VALUE;
  if (hasStop && WaitForSingleObject(stopEvent, 0) == WAIT_OBJECT_0) return StopWorker(thread);
  HANDLE handles[2] = {thread, stopEvent};
  DWORD result = WaitAnsweringSentMessages(hasStop ? 2 : 1, handles, INFINITE);
  if (result == WAIT_OBJECT_0) {
    DWORD exitCode = 1;
    return GetExitCodeThread(thread, &exitCode) && exitCode == 0;
  }
  if (hasStop && result == WAIT_OBJECT_0 + 1) return StopWorker(thread);
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
