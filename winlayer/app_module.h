// CAppModule: the program's module as the window layer sees it: its instance handle, the
// instance its resources come from, and the message loop of each UI thread.
#pragma once

#include <windows.h>

#include <map>
#include <mutex>

class CMessageLoop;

class CAppModule {
 public:
  // objectMap is accepted for the familiar call Init(NULL, hInstance) and not used.
  HRESULT Init(void* objectMap, HINSTANCE hInstance, const GUID* libId = nullptr);
  void Term();

  // The running program's instance until Init names another.
  HINSTANCE GetModuleInstance() const;
  HINSTANCE GetResourceInstance() const;
  HINSTANCE SetResourceInstance(HINSTANCE hInstance);

  // One loop per thread, registered by the thread that runs it. Adding a second loop for the
  // same thread fails.
  BOOL AddMessageLoop(CMessageLoop* loop);
  BOOL RemoveMessageLoop();
  CMessageLoop* GetMessageLoop(DWORD threadId = ::GetCurrentThreadId()) const;

 private:
  mutable std::mutex m_lock;
  HINSTANCE m_hInstance = nullptr;
  HINSTANCE m_hResourceInstance = nullptr;
  std::map<DWORD, CMessageLoop*> m_loops;
};

// The program's one module object.
extern CAppModule _Module;
