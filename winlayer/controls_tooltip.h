// Wrapper of the tooltip control, and CToolInfo, a TOOLINFO filled in by its constructor.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "winlayer/controls.h"

namespace winlayer_detail {
inline constexpr wchar_t kToolTipClass[] = L"tooltips_class32";
}  // namespace winlayer_detail

// The structure is sized as the version 5 common controls know it: the larger size of the
// current headers makes those controls refuse every tool when the program runs without the
// version 6 manifest.
class CToolInfo : public TTTOOLINFOW {
 public:
  // A tool over a rectangle of window (the whole client area when rect is null), identified by
  // id; with TTF_IDISHWND in flags, id is the tool's window. LPSTR_TEXTCALLBACKW asks the owner
  // for the text.
  CToolInfo(UINT flags, HWND window, UINT_PTR id = 0, const RECT* rect = nullptr,
            LPWSTR text = LPSTR_TEXTCALLBACKW, LPARAM param = 0)
      : TTTOOLINFOW() {
    cbSize = TTTOOLINFOW_V2_SIZE;
    uFlags = flags;
    hwnd = window;
    uId = id;
    if (rect) {
      this->rect = *rect;
    } else if (window) {
      ::GetClientRect(window, &this->rect);
    }
    lpszText = text;
    lParam = param;
  }
  operator TTTOOLINFOW*() { return this; }  // NOLINT: the messages take these
};

template <class TBase>
class CToolTipCtrlT : public winlayer_detail::ControlBase<TBase, winlayer_detail::kToolTipClass> {
 public:
  using winlayer_detail::ControlBase<TBase, winlayer_detail::kToolTipClass>::ControlBase;
  CToolTipCtrlT& operator=(HWND hWnd) {
    this->m_hWnd = hWnd;
    return *this;
  }

  BOOL AddTool(TTTOOLINFOW* info) { return static_cast<BOOL>(this->Send(TTM_ADDTOOLW, 0, info)); }
  // A tool over the client area of window (or rect in it); id 0 makes the window itself the
  // tool. The window's mouse messages must reach the tip through RelayEvent.
  BOOL AddTool(HWND window, LPCWSTR text = LPSTR_TEXTCALLBACKW, const RECT* rect = nullptr,
               UINT_PTR id = 0) {
    CToolInfo info(id ? 0 : TTF_IDISHWND, window, id ? id : reinterpret_cast<UINT_PTR>(window),
                   rect, const_cast<LPWSTR>(text));
    return AddTool(&info);
  }
  void DelTool(TTTOOLINFOW* info) { this->Send(TTM_DELTOOLW, 0, info); }
  void DelTool(HWND window, UINT_PTR id = 0) {
    CToolInfo info(id ? 0 : TTF_IDISHWND, window, id ? id : reinterpret_cast<UINT_PTR>(window));
    DelTool(&info);
  }
  int GetToolCount() const { return static_cast<int>(this->Send(TTM_GETTOOLCOUNT)); }
  BOOL GetToolInfo(TTTOOLINFOW* info) const {
    return static_cast<BOOL>(this->Send(TTM_GETTOOLINFOW, 0, info));
  }
  void SetToolRect(TTTOOLINFOW* info) { this->Send(TTM_NEWTOOLRECTW, 0, info); }
  void Activate(BOOL activate) { this->Send(TTM_ACTIVATE, activate); }
  // Passes a mouse message of a tool's window on to the tip, which shows or hides itself.
  void RelayEvent(MSG* message) { this->Send(TTM_RELAYEVENT, 0, message); }
  // The same for a message of window being handled now (its time and pointer position).
  void RelayEvent(HWND window, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    const DWORD pos = ::GetMessagePos();
    MSG message = {window,
                   uMsg,
                   wParam,
                   lParam,
                   static_cast<DWORD>(::GetMessageTime()),
                   POINT{GET_X_LPARAM(pos), GET_Y_LPARAM(pos)}};
    RelayEvent(&message);
  }
  void UpdateTipText(TTTOOLINFOW* info) { this->Send(TTM_UPDATETIPTEXTW, 0, info); }
  void UpdateTipText(LPCWSTR text, HWND window, UINT_PTR id = 0) {
    CToolInfo info(id ? 0 : TTF_IDISHWND, window, id ? id : reinterpret_cast<UINT_PTR>(window),
                   nullptr, const_cast<LPWSTR>(text));
    UpdateTipText(&info);
  }
  // which: TTDT_INITIAL, TTDT_AUTOPOP, TTDT_RESHOW or TTDT_AUTOMATIC; in milliseconds.
  void SetDelayTime(DWORD which, int time) { this->Send(TTM_SETDELAYTIME, which, time); }
  int SetMaxTipWidth(int width) {
    return static_cast<int>(this->Send(TTM_SETMAXTIPWIDTH, 0, width));
  }
  void Pop() { this->Send(TTM_POP); }
};
using CToolTipCtrl = CToolTipCtrlT<CWindow>;
