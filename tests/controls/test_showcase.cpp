// One window with the skinned controls as the program's windows use them, saved as
// screenshots/controls.png beside the test (a picture for people to look at; nothing compares
// it).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <map>

#include "controls/link.h"
#include "controls/my_button.h"
#include "controls/skin_font.h"
#include "controls/skin_scrollbar.h"
#include "controls/sub_tab.h"
#include "resources/scrollbar_skin.h"
#include "support/program_folder.h"
#include "support/screenshot.h"
#include "winlayer/controls_list.h"
#include "winlayer/gdi_dc.h"
#include "winlayer/geometry.h"
#include "winlayer/window_impl.h"

namespace {

::testing::Environment* const g_folder =
    ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder);

constexpr COLORREF kFrameBackground = 0x282128;
constexpr COLORREF kEditorBackground = 0x2C282E;
constexpr COLORREF kLoginBackground = 0x373438;
constexpr COLORREF kCaptionText = RGB(255, 255, 255);
const CRect kEditorPanel(12, 84, 548, 150);
const CRect kLoginPanel(12, 162, 548, 288);
const CRect kSongList(560, 35, 800, 288);

// The showcase: a borderless window painting its own panels, like the program's windows.
class Showcase : public CWindowImpl<Showcase, CWindow, CWinTraits<WS_POPUP | WS_CLIPCHILDREN>> {
 public:
  BEGIN_MSG_MAP(Showcase)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_DRAWITEM, OnDrawItem)
  END_MSG_MAP()

  // A flat button of the given colours (normal and pressed the same unless told).
  CMyButton& AddButton(int id, LPCWSTR text, const RECT& rect, COLORREF normal, COLORREF pressed) {
    CMyButton& button = m_buttons[id];
    button.Create(m_hWnd, rect, text, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, id);
    button.SetNormalBkColor(normal);
    button.SetPressedBkColor(pressed);
    return button;
  }

 private:
  LRESULT OnEraseBkgnd(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
    CPaintDC paint(m_hWnd);
    CRect client;
    GetClientRect(&client);
    CMemoryDC dc(paint.m_hDC, client);
    dc.FillSolidRect(&client, kFrameBackground);
    dc.FillSolidRect(&kEditorPanel, kEditorBackground);
    dc.FillSolidRect(&kLoginPanel, kLoginBackground);
    CFont font;
    CreateSkinFont(font, 14);
    int saved = dc.SaveDC();
    dc.SelectFont(font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(kCaptionText);
    CRect caption(12, 8, 400, 28);
    dc.DrawText(L"Lirak歌词编辑器", -1, &caption, DT_SINGLELINE | DT_VCENTER);
    dc.RestoreDC(saved);
    return 0;
  }
  LRESULT OnDrawItem(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    auto found = m_buttons.find(static_cast<int>(wParam));
    if (found == m_buttons.end()) {
      bHandled = FALSE;
      return 0;
    }
    found->second.DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    return TRUE;
  }

  std::map<int, CMyButton> m_buttons;
};

// Lets every pending paint happen.
void PumpMessages() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

}  // namespace

TEST(Showcase, SavesAPictureOfTheSkinnedControls) {
  INITCOMMONCONTROLSEX init = {sizeof(init), ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&init);
  ASSERT_TRUE(SkinSB_InstallApiHooks());
  Showcase window;
  ASSERT_TRUE(window.Create(nullptr, CRect(40, 40, 852, 340), L"showcase", 0, WS_EX_TOPMOST));

  CSubTab strip;
  ASSERT_TRUE(strip.Create(window, CRect(21, 35, 371, 75), nullptr, WS_CHILD | WS_VISIBLE));
  strip.InsertItem(0, L"最新流行专辑");
  strip.InsertItem(1, L"编辑歌词");
  strip.SetTabSpacing(10);

  // The lyric editor's buttons, one of them held down.
  const wchar_t* editorButtons[] = {L"打开", L"另存为", L"F5", L"F6", L"上传"};
  for (int i = 0; i < 5; ++i) {
    CRect rect(24 + i * 84, 100, 24 + i * 84 + 72, 124);
    window.AddButton(1022 + i, editorButtons[i], rect, 0x141414, 0x141414);
  }
  // The login dialog's two buttons.
  window.AddButton(1, L"登录", CRect(140, 238, 260, 268), 0x117FE4, 0xD8E9EC);
  window.AddButton(2, L"取消", CRect(300, 238, 420, 268), 0x575057, 0xD8E9EC);

  // The login dialog's links (statics turned into links, as the dialog does).
  CLink links[2];
  const wchar_t* linkTexts[] = {L"注册新用户", L"忘记密码？"};
  for (int i = 0; i < 2; ++i) {
    CStatic label;
    label.Create(window, CRect(140 + i * 160, 196, 260 + i * 160, 214), linkTexts[i],
                 WS_CHILD | WS_VISIBLE);
    ASSERT_TRUE(links[i].Init(label, L"zzz-no-such-scheme:x", CString(linkTexts[i])));
  }

  // A song list with more rows than fit, its scroll bars painted from the skin.
  CListViewCtrl list;
  ASSERT_TRUE(list.Create(window, kSongList, nullptr,
                          WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_NOSORTHEADER));
  list.SetBkColor(0x2F282F);
  list.SetTextBkColor(0x2F282F);
  list.SetTextColor(0xC8C8C8);
  CFont listFont;
  CreateSkinFont(listFont, 13);
  list.SetFont(listFont);
  list.InsertColumn(0, L"歌曲", LVCFMT_LEFT, 130);
  list.InsertColumn(1, L"进度", LVCFMT_LEFT, 90);
  for (int i = 0; i < 30; ++i) {
    CString name;
    name.Format(L"雨后彩虹 %d", i + 1);
    list.InsertItem(i, name);
    list.SetItemText(i, 1, i < 3 ? L"100%" : L"等待缓冲");
  }
  HBITMAP skin = static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                   MAKEINTRESOURCEW(IDB_SCROLLBAR_SKIN),
                                                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  ASSERT_TRUE(skin);
  ASSERT_TRUE(SkinSB_AttachWindow(list, skin));
  list.EnsureVisible(12, FALSE);

  window.ShowWindow(SW_SHOWNOACTIVATE);
  PumpMessages();
  ::SendDlgItemMessageW(window, 1023, BM_SETSTATE, TRUE, 0);
  // The pointer over the second tab (after the pump: a leave notice may be waiting).
  CRect second;
  strip.GetItemRect(1, &second);
  strip.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(second.CenterPoint().x, second.CenterPoint().y));
  window.RedrawWindow(nullptr, nullptr,
                      RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  ASSERT_EQ(1, strip.m_nHotItem);

  const std::wstring path = L"screenshots\\controls.png";
  ASSERT_TRUE(testsupport::SaveWindowPng(window, path));
  WIN32_FILE_ATTRIBUTE_DATA file = {};
  ASSERT_TRUE(::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &file));
  EXPECT_GT(file.nFileSizeLow, 1000u);
  window.DestroyWindow();
  ::DeleteObject(skin);
  SkinSB_RemoveApiHooks();
}
