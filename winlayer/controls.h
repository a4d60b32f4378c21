// Wrappers of the standard controls: buttons, statics, edits, combo boxes, up-down controls and
// scroll bars. Like CWindow they only hold the handle; their members send the control's
// messages. Each is a template over its base (CButtonT<TBase>) so that window classes of the
// program can stack them on their own bases; CButton and the others use CWindow.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "winlayer/cstring.h"
#include "winlayer/window.h"

namespace winlayer_detail {

inline constexpr wchar_t kButtonClass[] = L"Button";
inline constexpr wchar_t kStaticClass[] = L"Static";
inline constexpr wchar_t kEditClass[] = L"Edit";
inline constexpr wchar_t kComboBoxClass[] = L"ComboBox";
inline constexpr wchar_t kUpDownClass[] = L"msctls_updown32";
inline constexpr wchar_t kScrollBarClass[] = L"SCROLLBAR";

// What every control wrapper shares: the window class and a Create for a window of it.
template <class TBase, const wchar_t* t_className>
class ControlBase : public TBase {
 public:
  ControlBase(HWND hWnd = nullptr) : TBase(hWnd) {}  // NOLINT: handles convert freely

  static LPCWSTR GetWndClassName() { return t_className; }
  HWND Create(HWND hWndParent, RectArg rect = RectArg(), LPCWSTR windowName = nullptr,
              DWORD style = 0, DWORD exStyle = 0, MenuOrIdArg menuOrId = MenuOrIdArg(),
              LPVOID createParam = nullptr) {
    return TBase::Create(GetWndClassName(), hWndParent, rect, windowName, style, exStyle, menuOrId,
                         createParam);
  }

 protected:
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageW(this->m_hWnd, message, wParam, lParam);
  }
  template <class P>
  LRESULT Send(UINT message, WPARAM wParam, P* pointer) const {
    return Send(message, wParam, reinterpret_cast<LPARAM>(pointer));
  }
};

// Reads a text whose length the control does not report: fetch(buffer, capacity) copies at most
// capacity - 1 characters plus a terminator and returns how many it copied; the buffer grows
// until the text fits. Returns the length.
template <class Fetch>
int ReadGrowingText(CString& text, Fetch fetch) {
  constexpr int kLimit = 1 << 20;  // a guard against a control that always fills the buffer
  int copied = 0;
  for (int size = 256;; size *= 2) {
    copied = fetch(text.GetBuffer(size), size + 1);
    if (copied < size || size >= kLimit) break;
  }
  text.ReleaseBuffer(copied < 0 ? 0 : copied);
  return text.GetLength();
}

}  // namespace winlayer_detail

template <class TBase>
class CButtonT : public winlayer_detail::ControlBase<TBase, winlayer_detail::kButtonClass> {
 public:
  using winlayer_detail::ControlBase<TBase, winlayer_detail::kButtonClass>::ControlBase;
  CButtonT& operator=(HWND hWnd) {
    this->m_hWnd = hWnd;
    return *this;
  }

  UINT GetState() const { return static_cast<UINT>(this->Send(BM_GETSTATE)); }
  void SetState(BOOL highlight) { this->Send(BM_SETSTATE, highlight); }
  int GetCheck() const { return static_cast<int>(this->Send(BM_GETCHECK)); }
  void SetCheck(int check) { this->Send(BM_SETCHECK, check); }
  UINT GetButtonStyle() const { return this->GetStyle() & 0xFFFF; }
  void SetButtonStyle(UINT style, BOOL redraw = TRUE) { this->Send(BM_SETSTYLE, style, redraw); }
  HBITMAP GetBitmap() const {
    return reinterpret_cast<HBITMAP>(this->Send(BM_GETIMAGE, IMAGE_BITMAP));
  }
  HBITMAP SetBitmap(HBITMAP bitmap) {
    return reinterpret_cast<HBITMAP>(this->Send(BM_SETIMAGE, IMAGE_BITMAP, bitmap));
  }
  // As if the user clicked: the parent receives BN_CLICKED.
  void Click() { this->Send(BM_CLICK); }
};
using CButton = CButtonT<CWindow>;

template <class TBase>
class CStaticT : public winlayer_detail::ControlBase<TBase, winlayer_detail::kStaticClass> {
 public:
  using winlayer_detail::ControlBase<TBase, winlayer_detail::kStaticClass>::ControlBase;
  CStaticT& operator=(HWND hWnd) {
    this->m_hWnd = hWnd;
    return *this;
  }

  HICON GetIcon() const { return reinterpret_cast<HICON>(this->Send(STM_GETICON)); }
  HICON SetIcon(HICON icon) {
    return reinterpret_cast<HICON>(this->Send(STM_SETICON, reinterpret_cast<WPARAM>(icon)));
  }
  HBITMAP GetBitmap() const {
    return reinterpret_cast<HBITMAP>(this->Send(STM_GETIMAGE, IMAGE_BITMAP));
  }
  HBITMAP SetBitmap(HBITMAP bitmap) {
    return reinterpret_cast<HBITMAP>(this->Send(STM_SETIMAGE, IMAGE_BITMAP, bitmap));
  }
};
using CStatic = CStaticT<CWindow>;

template <class TBase>
class CEditT : public winlayer_detail::ControlBase<TBase, winlayer_detail::kEditClass> {
 public:
  using winlayer_detail::ControlBase<TBase, winlayer_detail::kEditClass>::ControlBase;
  CEditT& operator=(HWND hWnd) {
    this->m_hWnd = hWnd;
    return *this;
  }

  // Selection and caret, as character positions.
  void GetSel(int& start, int& end) const {
    DWORD first = 0, last = 0;
    this->Send(EM_GETSEL, reinterpret_cast<WPARAM>(&first), &last);
    start = static_cast<int>(first);
    end = static_cast<int>(last);
  }
  // start 0, end -1 selects everything; start -1 removes the selection.
  void SetSel(int start, int end, BOOL noScroll = FALSE) {
    this->Send(EM_SETSEL, start, end);
    if (!noScroll) ScrollCaret();
  }
  void SetSelAll(BOOL noScroll = FALSE) { SetSel(0, -1, noScroll); }
  void ReplaceSel(LPCWSTR text, BOOL canUndo = FALSE) { this->Send(EM_REPLACESEL, canUndo, text); }
  void ScrollCaret() { this->Send(EM_SCROLLCARET); }

  // Lines: -1 stands for the line of the caret.
  int GetLineCount() const { return static_cast<int>(this->Send(EM_GETLINECOUNT)); }
  int LineIndex(int line = -1) const { return static_cast<int>(this->Send(EM_LINEINDEX, line)); }
  // The length of the line holding character position index.
  int LineLength(int index = -1) const {
    return static_cast<int>(this->Send(EM_LINELENGTH, index));
  }
  int LineFromChar(int index = -1) const {
    return static_cast<int>(this->Send(EM_LINEFROMCHAR, index));
  }
  int GetFirstVisibleLine() const { return static_cast<int>(this->Send(EM_GETFIRSTVISIBLELINE)); }
  BOOL LineScroll(int lines, int chars = 0) {
    return static_cast<BOOL>(this->Send(EM_LINESCROLL, chars, lines));
  }

  BOOL GetModify() const { return static_cast<BOOL>(this->Send(EM_GETMODIFY)); }
  void SetModify(BOOL modified = TRUE) { this->Send(EM_SETMODIFY, modified); }
  BOOL SetReadOnly(BOOL readOnly = TRUE) {
    return static_cast<BOOL>(this->Send(EM_SETREADONLY, readOnly));
  }
  void SetLimitText(UINT max) { this->Send(EM_SETLIMITTEXT, max); }
  UINT GetLimitText() const { return static_cast<UINT>(this->Send(EM_GETLIMITTEXT)); }
  // The grey hint shown while the box is empty (needs the version 6 common controls).
  BOOL SetCueBannerText(LPCWSTR text, BOOL showWhileFocused = FALSE) {
    return static_cast<BOOL>(this->Send(EM_SETCUEBANNER, showWhileFocused, text));
  }

  BOOL Undo() { return static_cast<BOOL>(this->Send(EM_UNDO)); }
  void Clear() { this->Send(WM_CLEAR); }
  void Copy() { this->Send(WM_COPY); }
  void Cut() { this->Send(WM_CUT); }
  void Paste() { this->Send(WM_PASTE); }
};
using CEdit = CEditT<CWindow>;

template <class TBase>
class CComboBoxT : public winlayer_detail::ControlBase<TBase, winlayer_detail::kComboBoxClass> {
 public:
  using winlayer_detail::ControlBase<TBase, winlayer_detail::kComboBoxClass>::ControlBase;
  CComboBoxT& operator=(HWND hWnd) {
    this->m_hWnd = hWnd;
    return *this;
  }

  // Indexes are returned as int; CB_ERR (-1) on failure.
  int GetCount() const { return static_cast<int>(this->Send(CB_GETCOUNT)); }
  int GetCurSel() const { return static_cast<int>(this->Send(CB_GETCURSEL)); }
  int SetCurSel(int index) { return static_cast<int>(this->Send(CB_SETCURSEL, index)); }
  int AddString(LPCWSTR text) { return static_cast<int>(this->Send(CB_ADDSTRING, 0, text)); }
  int InsertString(int index, LPCWSTR text) {
    return static_cast<int>(this->Send(CB_INSERTSTRING, index, text));
  }
  int DeleteString(int index) { return static_cast<int>(this->Send(CB_DELETESTRING, index)); }
  void ResetContent() { this->Send(CB_RESETCONTENT); }
  // Selects the first item after start (-1: from the top) whose text begins with text.
  int SelectString(int start, LPCWSTR text) {
    return static_cast<int>(this->Send(CB_SELECTSTRING, start, text));
  }
  int FindString(int start, LPCWSTR text) const {
    return static_cast<int>(this->Send(CB_FINDSTRING, start, text));
  }
  int FindStringExact(int start, LPCWSTR text) const {
    return static_cast<int>(this->Send(CB_FINDSTRINGEXACT, start, text));
  }
  int GetLBTextLen(int index) const { return static_cast<int>(this->Send(CB_GETLBTEXTLEN, index)); }
  int GetLBText(int index, LPWSTR buffer) const {
    return static_cast<int>(this->Send(CB_GETLBTEXT, index, buffer));
  }
  // The item's text; CB_ERR and an empty text for a bad index.
  int GetLBText(int index, CString& text) const {
    text.Empty();
    int length = GetLBTextLen(index);
    if (length == CB_ERR) return CB_ERR;
    int copied = GetLBText(index, text.GetBuffer(length));
    text.ReleaseBuffer(copied < 0 ? 0 : copied);
    return text.GetLength();
  }
  DWORD_PTR GetItemData(int index) const {
    return static_cast<DWORD_PTR>(this->Send(CB_GETITEMDATA, index));
  }
  int SetItemData(int index, DWORD_PTR data) {
    return static_cast<int>(this->Send(CB_SETITEMDATA, index, static_cast<LPARAM>(data)));
  }
  BOOL GetDroppedState() const { return static_cast<BOOL>(this->Send(CB_GETDROPPEDSTATE)); }
  void ShowDropDown(BOOL show = TRUE) { this->Send(CB_SHOWDROPDOWN, show); }
};
using CComboBox = CComboBoxT<CWindow>;

template <class TBase>
class CUpDownCtrlT : public winlayer_detail::ControlBase<TBase, winlayer_detail::kUpDownClass> {
 public:
  using winlayer_detail::ControlBase<TBase, winlayer_detail::kUpDownClass>::ControlBase;
  CUpDownCtrlT& operator=(HWND hWnd) {
    this->m_hWnd = hWnd;
    return *this;
  }

  // The 32-bit forms: the 16-bit UDM_SETRANGE would cut ranges beyond 32767.
  void SetRange(int lower, int upper) { this->Send(UDM_SETRANGE32, lower, upper); }
  void SetRange32(int lower, int upper) { SetRange(lower, upper); }
  void GetRange(int& lower, int& upper) const {
    this->Send(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), &upper);
  }
  int SetPos(int pos) { return static_cast<int>(this->Send(UDM_SETPOS32, 0, pos)); }
  int GetPos(BOOL* error = nullptr) const {
    return static_cast<int>(this->Send(UDM_GETPOS32, 0, error));
  }
  HWND SetBuddy(HWND buddy) {
    return reinterpret_cast<HWND>(this->Send(UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy)));
  }
  HWND GetBuddy() const { return reinterpret_cast<HWND>(this->Send(UDM_GETBUDDY)); }
  int SetBase(int base) { return static_cast<int>(this->Send(UDM_SETBASE, base)); }
};
using CUpDownCtrl = CUpDownCtrlT<CWindow>;

// A scroll-bar control; its members address the control itself (SB_CTL).
template <class TBase>
class CScrollBarT : public winlayer_detail::ControlBase<TBase, winlayer_detail::kScrollBarClass> {
 public:
  using winlayer_detail::ControlBase<TBase, winlayer_detail::kScrollBarClass>::ControlBase;
  CScrollBarT& operator=(HWND hWnd) {
    this->m_hWnd = hWnd;
    return *this;
  }

  int GetScrollPos() const { return ::GetScrollPos(this->m_hWnd, SB_CTL); }
  int SetScrollPos(int pos, BOOL redraw = TRUE) {
    return ::SetScrollPos(this->m_hWnd, SB_CTL, pos, redraw);
  }
  BOOL GetScrollRange(int* minPos, int* maxPos) const {
    return ::GetScrollRange(this->m_hWnd, SB_CTL, minPos, maxPos);
  }
  BOOL SetScrollRange(int minPos, int maxPos, BOOL redraw = TRUE) {
    return ::SetScrollRange(this->m_hWnd, SB_CTL, minPos, maxPos, redraw);
  }
  BOOL GetScrollInfo(SCROLLINFO* info) const { return ::GetScrollInfo(this->m_hWnd, SB_CTL, info); }
  int SetScrollInfo(const SCROLLINFO* info, BOOL redraw = TRUE) {
    return ::SetScrollInfo(this->m_hWnd, SB_CTL, info, redraw);
  }
  BOOL ShowScrollBar(BOOL show = TRUE) { return ::ShowScrollBar(this->m_hWnd, SB_CTL, show); }
  BOOL EnableScrollBar(UINT arrows = ESB_ENABLE_BOTH) {
    return ::EnableScrollBar(this->m_hWnd, SB_CTL, arrows);
  }
};
using CScrollBar = CScrollBarT<CWindow>;
