// CRCSplitter: a bar that the user drags with the mouse between two panes of its parent. It
// moves itself (keeping its limits from the parent's edges) and reports every move to its
// owner through a plain callback, which lays the panes out again.
#pragma once

#include <windows.h>

#include "winlayer/geometry.h"
#include "winlayer/window_impl.h"

class CRCSplitter : public CWindowImpl<CRCSplitter> {
 public:
  DECLARE_WND_CLASS(L"RevRCSplitter")

  // Gets the bar's new rectangle in its parent's client coordinates and the context.
  using Callback = void (*)(int left, int top, int right, int bottom, void* context);

  ~CRCSplitter() override = default;

  // vertical: the bar moves left and right (else up and down). It keeps at least nearLimit
  // from the parent's left (top) edge and its far side at least farLimit from the right
  // (bottom) edge.
  void SetLimits(bool vertical, int nearLimit, int farLimit);
  void SetCallback(Callback callback, void* context);
  // The bar's client rectangle in its parent's client coordinates.
  CRect GetRectInParent() const;

  BEGIN_MSG_MAP(CRCSplitter)
  MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
  MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
  MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
  END_MSG_MAP()

 private:
  LRESULT OnLButtonDown(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnMouseMove(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnLButtonUp(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnPaint(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnEraseBkgnd(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);

  void SetDragCursor() const;
  // The mouse position of a message, in the parent's client coordinates.
  CPoint InParent(LPARAM lParam) const;
  // Moves the bar by the mouse's way from the anchor, within the limits, and reports it.
  void MoveBar(LPARAM lParam);

  CPoint m_ptAnchor;
  CRect m_rcStart;
  Callback m_pfnCallback = nullptr;
  void* m_pContext = nullptr;
  bool m_bVertical = false;
  int m_nNearLimit = 0;
  int m_nFarLimit = 0;
};
