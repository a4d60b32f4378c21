#include "app/frame_layout.h"

#include <algorithm>

namespace {

constexpr int kPaneTop = 82;
constexpr int kNoticeHeight = 30;

CRect At(int x, int y, int width, int height) {
  return CRect(x, y, x + width, y + height);
}

}  // namespace

FrameLayout ComputeFrameLayout(int width, int height, const RECT& workArea, bool noticeVisible) {
  FrameLayout l;
  int W = l.width = std::min<int>(width, workArea.right - workArea.left);
  int H = l.height = std::min<int>(height, workArea.bottom - workArea.top);
  l.tabs = At(21, 35, 350, 40);
  l.addressBox = At(W - 357, 38, 300, 20);
  l.loadSongButton = At(W - 50, 38, 26, 18);
  int T = l.paneTop = kPaneTop;
  if (noticeVisible) {
    l.noticeBar = At(1, kPaneTop, W - 2, kNoticeHeight);
    T = l.paneTop = kPaneTop + kNoticeHeight;
  }
  l.tree = At(1, T, 120, H - T - 30);
  l.list = At(121, T, W - 122, H - T - 53);
  l.pager = At(W - 400, H - 46, 200, 15);
  l.workspace = At(1, T, W - 2, H - T - 31);
  l.statusBar = At(1, H - 30, W - 2, 29);
  l.menuButton = At(W - 165, 5, 69, 24);
  l.maximizeButton = At(W - 43, 5, 20, 20);
  l.minimizeButton = At(W - 66, 5, 20, 20);
  l.closeButton = At(W - 25, 5, 20, 20);
  return l;
}
