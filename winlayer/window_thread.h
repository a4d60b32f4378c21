// Work handed to the thread that owns a window: window objects are used only on the thread that
// made them, and a worker's results (the request queue's) often change windows.
#pragma once

#include <windows.h>

#include <functional>

// The message that carries the work; wParam is a const std::function<void()>*. A window class
// that takes work from other threads handles it with RunSentWork.
constexpr UINT kRunOnWindowThread = WM_APP + 0x51;

// Runs work on the thread of window and returns once it has run: at once on that thread (or
// without a window), else by one SendMessage, so the owning thread runs it between its other
// messages and the caller waits meanwhile.
void RunOnWindowThread(HWND window, const std::function<void()>& work);

// The handler's part: runs the work that a kRunOnWindowThread message carries.
LRESULT RunSentWork(WPARAM wParam);
