#include "winlayer/message_loop.h"

#include <algorithm>

namespace {

template <class T>
BOOL AddOnce(std::vector<T*>& list, T* item) {
  if (!item || std::find(list.begin(), list.end(), item) != list.end()) return FALSE;
  list.push_back(item);
  return TRUE;
}

template <class T>
BOOL RemoveItem(std::vector<T*>& list, T* item) {
  auto it = std::find(list.begin(), list.end(), item);
  if (it == list.end()) return FALSE;
  list.erase(it);
  return TRUE;
}

}  // namespace

BOOL CMessageLoop::AddMessageFilter(CMessageFilter* filter) {
  return AddOnce(m_filters, filter);
}

BOOL CMessageLoop::RemoveMessageFilter(CMessageFilter* filter) {
  return RemoveItem(m_filters, filter);
}

BOOL CMessageLoop::AddIdleHandler(CIdleHandler* handler) {
  return AddOnce(m_idleHandlers, handler);
}

BOOL CMessageLoop::RemoveIdleHandler(CIdleHandler* handler) {
  return RemoveItem(m_idleHandlers, handler);
}

int CMessageLoop::Run() {
  bool idle = true;
  int idleCount = 0;
  for (;;) {
    while (idle && !::PeekMessageW(&m_msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!OnIdle(idleCount++)) idle = false;
    }
    BOOL got = ::GetMessageW(&m_msg, nullptr, 0, 0);
    if (got == -1) continue;
    if (!got) break;  // WM_QUIT
    if (!PreTranslateMessage(&m_msg)) {
      ::TranslateMessage(&m_msg);
      ::DispatchMessageW(&m_msg);
    }
    if (IsIdleMessage(&m_msg)) {
      idle = true;
      idleCount = 0;
    }
  }
  return static_cast<int>(m_msg.wParam);
}

BOOL CMessageLoop::PreTranslateMessage(MSG* pMsg) {
  // By index from the end: a filter may remove itself (or others) while it runs.
  for (size_t i = m_filters.size(); i-- > 0;) {
    if (i < m_filters.size() && m_filters[i]->PreTranslateMessage(pMsg)) return TRUE;
  }
  return FALSE;
}

BOOL CMessageLoop::OnIdle(int idleCount) {
  (void)idleCount;
  BOOL more = FALSE;
  for (size_t i = 0; i < m_idleHandlers.size(); ++i) {
    if (m_idleHandlers[i]->OnIdle()) more = TRUE;
  }
  return more;
}

BOOL CMessageLoop::IsIdleMessage(const MSG* pMsg) {
  switch (pMsg->message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_PAINT:
    case 0x0118:  // WM_SYSTIMER: the caret's blink
      return FALSE;
    default:
      return TRUE;
  }
}
