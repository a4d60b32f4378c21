// Start-up and shutdown of the program around the main frame: the UI thread's message loop,
// the message filter that hands every key press to the frame first, and the restart.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "winlayer/message_loop.h"

// Set by the change-user command; the shutdown then starts the program again.
extern int g_bRestart;

// Hands every WM_KEYDOWN of the UI thread to the main frame's key handler first; the key goes
// no further when the handler took it.
class CMyFilter : public CMessageFilter {
 public:
  BOOL PreTranslateMessage(MSG* pMsg) override;
};

// Runs the login dialog through show; a dialog that fails with an exception is a failed login
// (IDABORT), never a successful one.
INT_PTR ShowLoginSafely(const std::function<INT_PTR()>& show);

// Creates and shows the main frame and runs the message loop until it quits; the quit code, or
// 0 when Winsock 2.2 cannot be started. The arguments are not read.
int Run(LPWSTR commandLine = nullptr, int showCommand = SW_SHOWDEFAULT);

// The command line that starts the program file at path again: the path quoted, so a folder
// with spaces cannot start another program.
std::wstring RestartCommandLine(const std::wstring& path);
// Starts the running program's file again; false when it could not be started.
bool RestartProgram();
