// CPlayerPanel: the face of the player where the media player control cannot show one (a control
// that lacks operations stays idle and hidden, and the songs play through DirectShow): the play
// state, the play time and duration, and a bar of the way through the song.
#pragma once

#include <windows.h>

#include "lyric/directshow_player.h"
#include "winlayer/gdi_objects.h"
#include "winlayer/geometry.h"
#include "winlayer/window_impl.h"

class CPlayerPanel : public CWindowImpl<CPlayerPanel> {
 public:
  explicit CPlayerPanel(CDirectShowPlayer& player) : m_player(player) {}

  BEGIN_MSG_MAP(CPlayerPanel)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
  END_MSG_MAP()

  void Paint(HDC dc, const CRect& client);

 private:
  LRESULT OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnEraseBkgnd(UINT, WPARAM, LPARAM, BOOL&) { return 1; }

  CDirectShowPlayer& m_player;
  CFont m_font;
};
