// CFrameWindowImpl: the program's top-level frame window: frame styles and a frame window class
// (no class style, arrow cursor, window-colour background, generated name).
//
// The base map is empty: the frame does its own layout, and posts the quit message itself when
// it closes, so chaining to it only completes the familiar map shape.
#pragma once

#include <windows.h>

#include "winlayer/window_impl.h"

template <class T, class TBase = CWindow, class TWinTraits = CFrameWinTraits>
class CFrameWindowImpl : public CWindowImpl<T, TBase, TWinTraits> {
 public:
  DECLARE_FRAME_WND_CLASS(nullptr, 0)

  // A top-level window at the system's default place and size unless a rectangle is given.
  HWND Create(HWND hWndParent = nullptr, RectArg rect = RectArg(), LPCWSTR windowName = nullptr,
              DWORD style = 0, DWORD exStyle = 0, HMENU menu = nullptr,
              LPVOID createParam = nullptr) {
    return CWindowImpl<T, TBase, TWinTraits>::Create(hWndParent, rect, windowName, style, exStyle,
                                                     menu, createParam);
  }

  BEGIN_MSG_MAP(CFrameWindowImpl)
  END_MSG_MAP()
};
