#include "support/child_process.h"

#include <tlhelp32.h>

#include "support/message_pump.h"

namespace testsupport {

namespace {

struct Search {
  DWORD pid;
  const wchar_t* className;
  const wchar_t* title;
  bool visibleOnly;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam) {
  Search* search = reinterpret_cast<Search*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->pid || (search->visibleOnly && !IsWindowVisible(window))) return TRUE;
  wchar_t text[128] = {};
  if (search->className) {
    GetClassNameW(window, text, 128);
    if (lstrcmpW(text, search->className) != 0) return TRUE;
  }
  if (search->title) {
    GetWindowTextW(window, text, 128);
    if (lstrcmpW(text, search->title) != 0) return TRUE;
  }
  search->found = window;
  return FALSE;
}

struct ChildSearch {
  int id;
  HWND found;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM lParam) {
  ChildSearch* search = reinterpret_cast<ChildSearch*>(lParam);
  if (GetDlgCtrlID(child) != search->id) return TRUE;
  search->found = child;
  return FALSE;
}

BOOL CALLBACK NoteUnpainted(HWND child, LPARAM unpainted) {
  if (GetUpdateRect(child, nullptr, FALSE)) *reinterpret_cast<bool*>(unpainted) = true;
  return TRUE;
}

}  // namespace

ChildProcess::ChildProcess(const std::wstring& exe) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  std::wstring commandLine = L"\"" + exe + L"\"";
  std::wstring folder = exe.substr(0, exe.find_last_of(L'\\') + 1);
  if (CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                     folder.empty() ? nullptr : folder.c_str(), &startup, &m_process)) {
    CloseHandle(m_process.hThread);
  } else {
    m_process = PROCESS_INFORMATION();
  }
}

ChildProcess::ChildProcess(DWORD pid) {
  m_process.hProcess = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION,
                                   FALSE, pid);
  if (m_process.hProcess) m_process.dwProcessId = pid;
}

ChildProcess::~ChildProcess() {
  if (!m_process.hProcess) return;
  Terminate();
  CloseHandle(m_process.hProcess);
}

void ChildProcess::Terminate() {
  if (m_process.hProcess && WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(m_process.hProcess, 99);
    WaitForSingleObject(m_process.hProcess, 5000);
  }
}

int ChildProcess::ExitCode(DWORD ms) const {
  if (!m_process.hProcess || WaitForSingleObject(m_process.hProcess, ms) != WAIT_OBJECT_0) {
    return -1;
  }
  DWORD code = 0;
  GetExitCodeProcess(m_process.hProcess, &code);
  return static_cast<int>(code);
}

HWND FindProcessWindow(DWORD pid, const wchar_t* className, const wchar_t* title,
                       bool visibleOnly) {
  Search search = {pid, className, title, visibleOnly, nullptr};
  EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

DWORD FindChildProcessOf(DWORD parent) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  DWORD found = 0;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !found;
       more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ParentProcessID == parent) found = entry.th32ProcessID;
  }
  CloseHandle(snapshot);
  return found;
}

HWND FindChildWindow(HWND parent, int id) {
  ChildSearch search = {id, nullptr};
  EnumChildWindows(parent, &MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool RepaintAndWait(HWND window, DWORD ms) {
  if (!RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN)) {
    return false;
  }
  auto painted = [window] {
    bool unpainted = GetUpdateRect(window, nullptr, FALSE) != FALSE;
    EnumChildWindows(window, &NoteUnpainted, reinterpret_cast<LPARAM>(&unpainted));
    return !unpainted;
  };
  return WaitUntil(
      [&] {
        // A paint begun (its window no longer counts as unpainted) has ended once the process
        // answers a message.
        DWORD_PTR result = 0;
        return painted() &&
               SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 1000, &result) != 0 &&
               painted();
      },
      ms);
}

bool WaitUntil(const std::function<bool()>& condition, DWORD ms) {
  DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > ms) return false;
    // Windows of this thread must keep answering: other threads may be sending to them.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    PumpMessages();
  }
  return true;
}

}  // namespace testsupport
