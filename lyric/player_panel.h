// CPlayerPanel: the face of the player where the media player control cannot show one (a control
// that lacks operations stays idle and hidden, and the songs play through DirectShow): the play
// state, the play time and duration, and a bar of the way through the song. A click on the bar,
// or a drag along it, moves the song there.
#pragma once

#include <windows.h>

#include <functional>

#include "lyric/directshow_player.h"
#include "winlayer/gdi_objects.h"
#include "winlayer/geometry.h"
#include "winlayer/window_impl.h"

class CPlayerPanel : public CWindowImpl<CPlayerPanel> {
 public:
  // Takes a position the user chose on the bar, in seconds (the workspace, so that the lyric
  // display follows the player).
  using SeekHandler = std::function<void(double seconds)>;

  explicit CPlayerPanel(CDirectShowPlayer& player) : m_player(player) {}

  BEGIN_MSG_MAP(CPlayerPanel)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
  MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
  MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
  MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
  MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
  MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
  END_MSG_MAP()

  void SetSeekHandler(SeekHandler handler) { m_onSeek = std::move(handler); }
  void Paint(HDC dc, const CRect& client);

  // The bar in a client rectangle, and the band across the panel's foot that takes its clicks.
  static CRect BarRect(const CRect& client);
  static CRect SeekBand(const CRect& client);
  // The media time under x on the bar of client, within 0 and duration.
  static double TimeAt(const CRect& client, int x, double duration);

 private:
  LRESULT OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnEraseBkgnd(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnLButtonUp(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL& bHandled);

  // Moves the song to the time under x; nothing without media.
  void SeekAt(int x);

  CDirectShowPlayer& m_player;
  CFont m_font;
  SeekHandler m_onSeek;
  bool m_bDragging = false;
};
