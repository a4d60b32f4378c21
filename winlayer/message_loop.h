// The UI thread's message loop, with message filters that see each message before it is
// translated and dispatched, and idle handlers that run when the queue runs empty.
#pragma once

#include <windows.h>

#include <vector>

class CMessageFilter {
 public:
  // TRUE claims the message: it is then neither translated nor dispatched.
  virtual BOOL PreTranslateMessage(MSG* pMsg) = 0;
  virtual ~CMessageFilter() = default;
};

class CIdleHandler {
 public:
  // TRUE asks for another turn before the loop waits for the next message.
  virtual BOOL OnIdle() = 0;
  virtual ~CIdleHandler() = default;
};

class CMessageLoop {
 public:
  virtual ~CMessageLoop() = default;

  // Filters and handlers are not owned. Adding null or a duplicate fails.
  BOOL AddMessageFilter(CMessageFilter* filter);
  BOOL RemoveMessageFilter(CMessageFilter* filter);
  BOOL AddIdleHandler(CIdleHandler* handler);
  BOOL RemoveIdleHandler(CIdleHandler* handler);

  // Runs until WM_QUIT and returns its exit code. GetMessage failures (-1) are skipped.
  int Run();

  // Offers the message to the filters, the most recently added first.
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // Gives every idle handler a turn; TRUE when any of them wants another.
  virtual BOOL OnIdle(int idleCount);
  // Messages that do not mean new work (mouse moves, painting, caret blinks) do not restart
  // idle processing.
  static BOOL IsIdleMessage(const MSG* pMsg);

  MSG m_msg = {};

 private:
  std::vector<CMessageFilter*> m_filters;
  std::vector<CIdleHandler*> m_idleHandlers;
};
