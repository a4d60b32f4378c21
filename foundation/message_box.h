// Every message box of the program goes through ShowMessageBox, so that one place decides how a
// question reaches the user. Tests install a handler that records the box and answers it, so no
// test ever waits for a person.
#pragma once

#include <windows.h>

// Shows a message box (MessageBoxW unless a handler is installed) and returns the button chosen
// (IDOK, IDYES, ...).
int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);

// Receives every box instead of the screen; returns the button that answers it.
using MessageBoxHandler = int (*)(HWND owner, const wchar_t* text, const wchar_t* caption,
                                  UINT type);

// Installs handler (null restores the real boxes) and returns the previous one. Thread-safe.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);
