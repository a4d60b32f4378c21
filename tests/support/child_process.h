// A program started by a test or benchmark as a user would start it, and the windows it shows.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace testsupport {

class ChildProcess {
 public:
  // Starts exe (its path quoted on the command line) in its own folder.
  explicit ChildProcess(const std::wstring& exe);
  // Takes charge of a running process (one that a program under test started), so that it ends
  // with this object however the test ends.
  explicit ChildProcess(DWORD pid);
  // Ends the process if it still runs.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return m_process.hProcess != nullptr; }
  DWORD pid() const { return m_process.dwProcessId; }
  HANDLE handle() const { return m_process.hProcess; }
  // The exit code once the process has ended within the time, else -1.
  int ExitCode(DWORD ms = 20000) const;
  void Terminate();

 private:
  PROCESS_INFORMATION m_process = {};
};

// A top-level window of process pid with that class and title (null: any), visible ones only
// unless told otherwise; null when there is none.
HWND FindProcessWindow(DWORD pid, const wchar_t* className, const wchar_t* title,
                       bool visibleOnly = true);

// The id of a running process that process parent started; 0 when there is none.
DWORD FindChildProcessOf(DWORD parent);

// A child window of parent, at any depth, with that control id; null when there is none.
HWND FindChildWindow(HWND parent, int id);

// Has the process that owns window paint it and its children afresh, and waits until that is
// done: no window of the tree has anything left to paint and the process has answered a
// message since. (RedrawWindow paints another process's windows only later, one by one, so a
// picture taken at once shows them half painted.) False when the time is up.
bool RepaintAndWait(HWND window, DWORD ms = 10000);

// Polls condition every 10 ms until it holds (true) or the time is up (false), dispatching the
// calling thread's messages meanwhile.
bool WaitUntil(const std::function<bool()>& condition, DWORD ms = 20000);

}  // namespace testsupport
