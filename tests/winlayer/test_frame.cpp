// The frame window: frame styles by default, a frame class of its own, and a base map that a
// frame chains to.
#include <windows.h>
#include <gtest/gtest.h>

#include "winlayer/frame.h"

namespace {

class Frame : public CFrameWindowImpl<Frame> {
 public:
  int closes = 0;
  BEGIN_MSG_MAP(Frame)
  MESSAGE_HANDLER(WM_CLOSE, OnClose)
  CHAIN_MSG_MAP(CFrameWindowImpl<Frame>)
  END_MSG_MAP()
  // Counts and lets the default processing destroy the window.
  LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    ++closes;
    bHandled = FALSE;
    return 0;
  }
};

TEST(FrameWindow, CreatesATopLevelFrameOfItsOwnClass) {
  Frame frame;
  ASSERT_NE(nullptr, frame.Create());
  EXPECT_EQ(0x06CF0000u, frame.GetStyle() & 0xFFFF0000u);
  EXPECT_EQ(0x00040100u, frame.GetExStyle());
  EXPECT_EQ(nullptr, frame.GetParent().m_hWnd);

  const WNDCLASSEXW& wc = Frame::GetWndClassInfo().GetWndClass();
  EXPECT_EQ(0u, GetClassLongPtrW(frame, GCL_STYLE));
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(LoadCursorW(nullptr, IDC_ARROW)),
            static_cast<LONG_PTR>(GetClassLongPtrW(frame, GCLP_HCURSOR)));
  EXPECT_EQ(COLOR_WINDOW + 1, static_cast<int>(GetClassLongPtrW(frame, GCLP_HBRBACKGROUND)));
  wchar_t name[64];
  GetClassNameW(frame, name, 64);
  EXPECT_STREQ(wc.lpszClassName, name);

  RECT rect;
  frame.GetWindowRect(&rect);
  EXPECT_GT(rect.right - rect.left, 0);  // the system chose a size

  frame.SendMessage(WM_CLOSE);
  EXPECT_EQ(1, frame.closes);
  EXPECT_EQ(nullptr, frame.m_hWnd);
}

}  // namespace
