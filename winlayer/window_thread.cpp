#include "winlayer/window_thread.h"

void RunOnWindowThread(HWND window, const std::function<void()>& work) {
  if (!window || ::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId()) {
    work();
    return;
  }
  ::SendMessageW(window, kRunOnWindowThread, reinterpret_cast<WPARAM>(&work), 0);
}

LRESULT RunSentWork(WPARAM wParam) {
  (*reinterpret_cast<const std::function<void()>*>(wParam))();
  return 0;
}
