// Message maps: the BEGIN_MSG_MAP ... END_MSG_MAP macros that write a class's
// ProcessWindowMessage, and the reflection of notifications from a parent to its controls.
//
// A handler runs with bHandled set to TRUE. Setting it to FALSE lets the search continue down the
// map (and through chained maps); a message no entry keeps ends in the window's default
// processing (the superclass's or subclassed procedure, DefWindowProc, or the dialog manager).
//
// Handler forms:
//   MESSAGE_HANDLER, MESSAGE_RANGE_HANDLER: LRESULT f(UINT msg, WPARAM, LPARAM, BOOL& bHandled)
//   COMMAND_*_HANDLER:  LRESULT f(WORD code, WORD id, HWND control, BOOL& bHandled)
//   NOTIFY_*_HANDLER:   LRESULT f(int id, LPNMHDR header, BOOL& bHandled)
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <olectl.h>  // the OCM_ codes of reflected messages: OCM__BASE + the parent's message

// Every window class of the program has this as the first entry of its virtual table.
class CMessageMap {
 public:
  virtual BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                    LRESULT& lResult, DWORD dwMsgMapID = 0) = 0;
  virtual ~CMessageMap() = default;
};

// Sends a control's notification back to the control as OCM__BASE + message. bHandled becomes
// FALSE when the message names no control (then the result is meaningless).
LRESULT ReflectNotification(HWND hWndParent, UINT uMsg, WPARAM wParam, LPARAM lParam,
                            BOOL& bHandled);
// For a reflected message (OCM_...) that the control's map did not handle, the default result
// of the original message; FALSE for any other message.
BOOL DefaultReflectionHandler(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult);

// The opening of a map's body, shared by BEGIN_MSG_MAP and BEGIN_MSG_MAP_EX.
#define WINLAYER_MAP_BODY_BEGIN \
  BOOL bHandled = TRUE;         \
  (void)hWnd;                   \
  (void)uMsg;                   \
  (void)wParam;                 \
  (void)lParam;                 \
  (void)lResult;                \
  (void)bHandled;               \
  switch (dwMsgMapID) {         \
    case 0:

#define BEGIN_MSG_MAP(theClass)                                                                   \
 public:                                                                                          \
  BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult, \
                            DWORD dwMsgMapID = 0) {                                               \
    WINLAYER_MAP_BODY_BEGIN

#define END_MSG_MAP() \
  break;              \
  default:            \
    break;            \
    }                 \
    return FALSE;     \
    }

#define WINLAYER_CALL_HANDLER(call) \
  {                                 \
    bHandled = TRUE;                \
    lResult = call;                 \
    if (bHandled) return TRUE;      \
  }

#define MESSAGE_HANDLER(msg, func) \
  if (uMsg == (msg)) WINLAYER_CALL_HANDLER(func(uMsg, wParam, lParam, bHandled))

#define MESSAGE_RANGE_HANDLER(msgFirst, msgLast, func) \
  if (uMsg >= (msgFirst) && uMsg <= (msgLast))         \
  WINLAYER_CALL_HANDLER(func(uMsg, wParam, lParam, bHandled))

#define WINLAYER_COMMAND_ARGS HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam)

#define COMMAND_HANDLER(id, code, func)                                \
  if (uMsg == WM_COMMAND && LOWORD(wParam) == static_cast<WORD>(id) && \
      HIWORD(wParam) == static_cast<WORD>(code))                       \
  WINLAYER_CALL_HANDLER(func(WINLAYER_COMMAND_ARGS, bHandled))

#define COMMAND_ID_HANDLER(id, func)                                 \
  if (uMsg == WM_COMMAND && LOWORD(wParam) == static_cast<WORD>(id)) \
  WINLAYER_CALL_HANDLER(func(WINLAYER_COMMAND_ARGS, bHandled))

#define COMMAND_CODE_HANDLER(code, func)                               \
  if (uMsg == WM_COMMAND && HIWORD(wParam) == static_cast<WORD>(code)) \
  WINLAYER_CALL_HANDLER(func(WINLAYER_COMMAND_ARGS, bHandled))

#define COMMAND_RANGE_HANDLER(idFirst, idLast, func)                        \
  if (uMsg == WM_COMMAND && LOWORD(wParam) >= static_cast<WORD>(idFirst) && \
      LOWORD(wParam) <= static_cast<WORD>(idLast))                          \
  WINLAYER_CALL_HANDLER(func(WINLAYER_COMMAND_ARGS, bHandled))

#define WINLAYER_NMHDR reinterpret_cast<LPNMHDR>(lParam)

#define NOTIFY_HANDLER(id, cd, func)                                              \
  if (uMsg == WM_NOTIFY && WINLAYER_NMHDR->idFrom == static_cast<UINT_PTR>(id) && \
      WINLAYER_NMHDR->code == static_cast<UINT>(cd))                              \
  WINLAYER_CALL_HANDLER(func(static_cast<int>(wParam), WINLAYER_NMHDR, bHandled))

#define NOTIFY_ID_HANDLER(id, func)                                             \
  if (uMsg == WM_NOTIFY && WINLAYER_NMHDR->idFrom == static_cast<UINT_PTR>(id)) \
  WINLAYER_CALL_HANDLER(func(static_cast<int>(wParam), WINLAYER_NMHDR, bHandled))

#define NOTIFY_CODE_HANDLER(cd, func)                                     \
  if (uMsg == WM_NOTIFY && WINLAYER_NMHDR->code == static_cast<UINT>(cd)) \
  WINLAYER_CALL_HANDLER(func(static_cast<int>(wParam), WINLAYER_NMHDR, bHandled))

// Chains to another map: a base class (CHAIN_MSG_MAP(CBase<T, U>) is fine) or a member object.
#define CHAIN_MSG_MAP(...) \
  if (__VA_ARGS__::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, 0)) return TRUE;

#define CHAIN_MSG_MAP_MEMBER(theChainMember) \
  if ((theChainMember).ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, 0)) return TRUE;

// In a parent: hands notifications (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_CTLCOLOR..., scroll
// messages ...) back to the control that sent them, as OCM_ messages.
#define REFLECT_NOTIFICATIONS() \
  WINLAYER_CALL_HANDLER(ReflectNotification(hWnd, uMsg, wParam, lParam, bHandled))

// In a control: gives reflected messages that nothing above handled their default result,
// rather than letting the control's own procedure see unknown OCM_ messages.
#define DEFAULT_REFLECTION_HANDLER() \
  if (DefaultReflectionHandler(hWnd, uMsg, wParam, lParam, lResult)) return TRUE;

#define REFLECTED_NOTIFY_CODE_HANDLER(cd, func)                            \
  if (uMsg == OCM_NOTIFY && WINLAYER_NMHDR->code == static_cast<UINT>(cd)) \
  WINLAYER_CALL_HANDLER(func(static_cast<int>(wParam), WINLAYER_NMHDR, bHandled))

#define REFLECTED_COMMAND_CODE_HANDLER(code, func)                      \
  if (uMsg == OCM_COMMAND && HIWORD(wParam) == static_cast<WORD>(code)) \
  WINLAYER_CALL_HANDLER(func(WINLAYER_COMMAND_ARGS, bHandled))
