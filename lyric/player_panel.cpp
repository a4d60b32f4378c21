#include "lyric/player_panel.h"

#include "controls/paint_message.h"
#include "controls/skin_font.h"
#include "winlayer/gdi_dc.h"

namespace {

constexpr COLORREF kBackground = 0x1E1A1F;
constexpr COLORREF kTrack = 0x3A343B;
constexpr COLORREF kPlayed = 0x1966F4;
constexpr COLORREF kText = 0xC8C8C8;
// The band that takes the bar's clicks reaches this far above the bar.
constexpr int kSeekReach = 8;

}  // namespace

LRESULT CPlayerPanel::OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&) {
  PaintWindowMessage(m_hWnd, wParam, [this](CDCHandle dc) {
    CRect client;
    GetClientRect(&client);
    Paint(dc, client);
  });
  return 0;
}

void CPlayerPanel::Paint(HDC target, const CRect& client) {
  CMemoryDC memory(target, client);
  CDCHandle dc(memory.m_hDC);
  dc.FillSolidRect(&client, kBackground);
  MediaPlayState state = m_player.GetPlayState();
  double duration = m_player.GetDuration();
  double position = m_player.GetPosition();

  // The state: two bars while playing, a triangle otherwise.
  const int top = 9;
  const int size = 14;
  if (state == kPlayStatePlaying) {
    dc.FillSolidRect(14, top, 4, size, kText);
    dc.FillSolidRect(22, top, 4, size, kText);
  } else {
    POINT triangle[3] = {{14, top}, {14, top + size}, {27, top + size / 2}};
    CBrush brush;
    brush.CreateSolidBrush(kText);
    CPen pen;
    pen.CreatePen(PS_SOLID, 1, kText);
    int saved = dc.SaveDC();
    dc.SelectBrush(brush);
    dc.SelectPen(pen);
    dc.Polygon(triangle, 3);
    dc.RestoreDC(saved);
  }

  if (!m_font.m_hFont) CreateSkinFont(m_font, 12);
  CString time = FormatDurationText(position) + L" / " + m_player.GetDurationText();
  if (duration <= 0) time = L"00:00 / 00:00";
  int saved = dc.SaveDC();
  dc.SelectFont(m_font);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(kText);
  CRect text(38, top - 2, client.right - 12, top + size + 2);
  dc.DrawText(time, time.GetLength(), &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  dc.RestoreDC(saved);

  CRect track = BarRect(client);
  dc.FillSolidRect(&track, kTrack);
  if (duration > 0) {
    double part = position / duration;
    part = part < 0 ? 0 : part > 1 ? 1 : part;
    CRect played = track;
    played.right = track.left + static_cast<int>(track.Width() * part);
    dc.FillSolidRect(&played, kPlayed);
  }
}

CRect CPlayerPanel::BarRect(const CRect& client) {
  return CRect(client.left + 12, client.bottom - 10, client.right - 12, client.bottom - 7);
}

CRect CPlayerPanel::SeekBand(const CRect& client) {
  return CRect(client.left, BarRect(client).top - kSeekReach, client.right, client.bottom);
}

double CPlayerPanel::TimeAt(const CRect& client, int x, double duration) {
  CRect bar = BarRect(client);
  if (bar.Width() <= 0 || x <= bar.left) return 0;
  if (x >= bar.right) return duration;
  return duration * (x - bar.left) / bar.Width();
}

void CPlayerPanel::SeekAt(int x) {
  double duration = m_player.GetDuration();
  if (duration <= 0) return;
  CRect client;
  GetClientRect(&client);
  double seconds = TimeAt(client, x, duration);
  if (m_onSeek) {
    m_onSeek(seconds);
  } else {
    m_player.SetPosition(seconds);
  }
  Invalidate(FALSE);
}

LRESULT CPlayerPanel::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&) {
  CRect client;
  GetClientRect(&client);
  CPoint point(lParam);
  if (!SeekBand(client).PtInRect(point) || m_player.GetDuration() <= 0) return 0;
  // The panel holds the mouse while the button is down, so a drag that leaves it still seeks.
  SetCapture();
  m_bDragging = true;
  SeekAt(point.x);
  return 0;
}

LRESULT CPlayerPanel::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&) {
  if (m_bDragging) SeekAt(CPoint(lParam).x);
  return 0;
}

LRESULT CPlayerPanel::OnLButtonUp(UINT, WPARAM, LPARAM lParam, BOOL&) {
  if (!m_bDragging) return 0;
  SeekAt(CPoint(lParam).x);
  ::ReleaseCapture();
  m_bDragging = false;
  return 0;
}

LRESULT CPlayerPanel::OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL&) {
  m_bDragging = false;
  return 0;
}

LRESULT CPlayerPanel::OnSetCursor(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  CPoint point;
  ::GetCursorPos(&point);
  ScreenToClient(&point);
  CRect client;
  GetClientRect(&client);
  if (!SeekBand(client).PtInRect(point) || m_player.GetDuration() <= 0) {
    bHandled = FALSE;
    return 0;
  }
  ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
  return TRUE;
}
