// CEditImpl: the main frame's address box, a subclassed one-line edit control into which the user
// pastes the address of a song or album page. Enter asks the web-data manager for the song or
// the album (the rows follow through the main frame's result handlers). While the box does not
// have the focus it paints itself: the last address dimmed, or the cue text.
#pragma once

#include <windows.h>

#include "winlayer/controls.h"
#include "winlayer/gdi_objects.h"
#include "winlayer/msg_crackers.h"
#include "winlayer/window_impl.h"

class CEditImpl : public CWindowImpl<CEditImpl, CEdit> {
 public:
  CEditImpl();
  ~CEditImpl() override;

  BEGIN_MSG_MAP_EX(CEditImpl)
  MSG_WM_KEYDOWN(OnKeyDown)
  MSG_WM_KILLFOCUS(OnKillFocus)
  MSG_WM_SETFOCUS(OnSetFocus)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(OCM_CTLCOLOREDIT, OnCtlColorEdit)
  END_MSG_MAP()

  // Subclasses the edit control and gives it the box's font.
  BOOL Init(HWND edit);
  void SetCueText(const CString& text) { m_strCue = text; }
  // Reads the box's address and requests its song or album.
  void OpenSongUrl();
  // A tooltip over the box (tool 1314).
  void InitTooltip();

  // What the box shows while it does not have the focus, into dc.
  void DoPaint(HDC dc);

 private:
  void OnKeyDown(UINT vk, UINT repeat, UINT flags);
  void OnKillFocus(HWND focus);
  void OnSetFocus(HWND previous);
  LRESULT OnPaint(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
  LRESULT OnCtlColorEdit(UINT, WPARAM wParam, LPARAM, BOOL&);
  CString Text() const;

  CString m_strCue;
  bool m_bFocused = false;
  CFont m_font;
  bool m_bHasText = false;
  CString m_strSaved;
  HWND m_hTooltip = nullptr;
  CBrush m_brushFocused;
};
