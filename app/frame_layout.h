// Where the main frame puts its children for a client size: the one table of the frame's
// geometry, kept apart from the window so it can be checked without one.
#pragma once

#include <windows.h>

#include "winlayer/geometry.h"

struct FrameLayout {
  int width = 0;   // the size after clamping to the work area
  int height = 0;
  int paneTop = 0;  // 82, or 112 below a visible notice bar
  CRect tabs;
  CRect addressBox;
  CRect loadSongButton;
  CRect noticeBar;
  CRect tree;
  CRect list;
  CRect pager;
  CRect workspace;
  CRect statusBar;
  CRect menuButton;
  CRect maximizeButton;
  CRect minimizeButton;
  CRect closeButton;
};

// The frame's default size.
constexpr int kFrameWidth = 1020;
constexpr int kFrameHeight = 720;

// The layout for a wished client size, clamped to the work area's size.
FrameLayout ComputeFrameLayout(int width, int height, const RECT& workArea, bool noticeVisible);
