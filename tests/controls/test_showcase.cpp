// Windows with the skinned controls as the program's windows use them, saved as screenshots
// beside the test (pictures for people to look at; nothing compares them):
// - screenshots/controls.png: buttons, links, the tab strip and a song list with skinned bars;
// - screenshots/skin_controls.png: the panes' tree, library list, pager, splitter and edits, and
//   a lyric edit and a song list in skinned scroll-bar windows;
// - screenshots/skin_menu.png: a skinned popup menu tracked over them.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "controls/link.h"
#include "controls/my_button.h"
#include "controls/rc_splitter.h"
#include "controls/select_ctrl.h"
#include "controls/skin_edit.h"
#include "controls/skin_font.h"
#include "controls/skin_list_ctrl.h"
#include "controls/skin_menu.h"
#include "controls/skin_scroll_wnd.h"
#include "controls/skin_scrollbar.h"
#include "controls/skin_tree_ctrl.h"
#include "controls/sub_tab.h"
#include "resources/scrollbar_skin.h"
#include "resources/skin_controls.h"
#include "skin_test_windows.h"
#include "support/program_folder.h"
#include "support/message_pump.h"
#include "support/screenshot.h"
#include "winlayer/controls_list.h"
#include "winlayer/gdi_dc.h"
#include "winlayer/geometry.h"
#include "winlayer/window_impl.h"

namespace {

using testsupport::PumpMessages;

::testing::Environment* const g_folder =
    ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder);

// The scroll-bar redirections, once for the whole program as in the real one.
class HooksEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { SkinSB_InstallApiHooks(); }
  void TearDown() override { SkinSB_RemoveApiHooks(); }
};
::testing::Environment* const g_hooks = ::testing::AddGlobalTestEnvironment(new HooksEnvironment);

constexpr COLORREF kFrameBackground = 0x282128;
constexpr COLORREF kEditorBackground = 0x2C282E;
constexpr COLORREF kLoginBackground = 0x373438;
const CRect kEditorPanel(12, 84, 548, 150);
const CRect kLoginPanel(12, 162, 548, 288);
const CRect kSongList(560, 35, 800, 288);

// The showcase: a borderless window painting its own panels and labels, like the program's
// windows; it draws its buttons, reflects its controls' notifications and hands a skinned
// menu's items to the menu.
class Showcase : public CWindowImpl<Showcase, CWindow, CWinTraits<WS_POPUP | WS_CLIPCHILDREN>> {
 public:
  BEGIN_MSG_MAP(Showcase)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_MEASUREITEM, OnMeasureItem)
  MESSAGE_HANDLER(WM_DRAWITEM, OnDrawItem)
  REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

  // A flat button of the given colours (normal and pressed the same unless told).
  CMyButton& AddButton(int id, LPCWSTR text, const RECT& rect, COLORREF normal, COLORREF pressed) {
    CMyButton& button = m_buttons[id];
    button.Create(m_hWnd, rect, text, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, id);
    button.SetNormalBkColor(normal);
    button.SetPressedBkColor(pressed);
    return button;
  }
  void AddPanel(const RECT& rect, COLORREF colour) { m_panels.emplace_back(rect, colour); }
  void AddLabel(const RECT& rect, LPCWSTR text) { m_labels.emplace_back(rect, text); }

  CSkinMenu menu;
  int menuItemsPainted = 0;

 private:
  LRESULT OnEraseBkgnd(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
    CPaintDC paint(m_hWnd);
    CRect client;
    GetClientRect(&client);
    CMemoryDC dc(paint.m_hDC, client);
    dc.FillSolidRect(&client, kFrameBackground);
    for (const auto& panel : m_panels) dc.FillSolidRect(&panel.first, panel.second);
    CFont font;
    CreateSkinFont(font, 14);
    int saved = dc.SaveDC();
    dc.SelectFont(font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(255, 255, 255));
    CRect caption(12, 8, 400, 28);
    dc.DrawText(L"Lirak歌词编辑器", -1, &caption, DT_SINGLELINE | DT_VCENTER);
    dc.SetTextColor(0x9A949B);
    for (auto& label : m_labels) {
      dc.DrawText(label.second, -1, &label.first, DT_SINGLELINE | DT_VCENTER);
    }
    dc.RestoreDC(saved);
    return 0;
  }
  LRESULT OnMeasureItem(UINT, WPARAM, LPARAM lParam, BOOL&) {
    menu.MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    return TRUE;
  }
  LRESULT OnDrawItem(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (draw.CtlType == ODT_MENU) {
      ++menuItemsPainted;
      menu.DrawItem(draw);
      return TRUE;
    }
    auto found = m_buttons.find(static_cast<int>(wParam));
    if (found == m_buttons.end()) {
      bHandled = FALSE;
      return 0;
    }
    found->second.DrawItem(draw);
    return TRUE;
  }

  std::map<int, CMyButton> m_buttons;
  std::vector<std::pair<CRect, COLORREF>> m_panels;
  std::vector<std::pair<CRect, LPCWSTR>> m_labels;
};

// A dark song list with more rows than fit.
bool CreateSongList(CListViewCtrl& list, HWND parent, const RECT& rect, HFONT font, int width,
                    DWORD style = 0) {
  if (!list.Create(parent, rect, nullptr,
                   WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_NOSORTHEADER | style)) {
    return false;
  }
  list.SetBkColor(0x2F282F);
  list.SetTextBkColor(0x2F282F);
  list.SetTextColor(0xC8C8C8);
  list.SetFont(font);
  list.InsertColumn(0, L"歌曲", LVCFMT_LEFT, width * 3 / 5);
  list.InsertColumn(1, L"进度", LVCFMT_LEFT, width * 2 / 5);
  for (int i = 0; i < 30; ++i) {
    CString name;
    name.Format(L"雨后彩虹 %d", i + 1);
    list.InsertItem(i, name);
    list.SetItemText(i, 1, i < 3 ? L"100%" : L"等待缓冲");
  }
  return true;
}

HBITMAP LoadSkin(UINT id) {
  return static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                           IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

// A library list as the music-station pane paints it, from the base list's fonts, picture top
// and row background: a cover, a title with a line below it, and a "试听" button.
class ShowcaseLibrary : public LibraryList {
 public:
  void DrawSubItem(HDC hdc, int item, int subItem, RECT* cell, bool selected,
                   bool focused) override {
    static const COLORREF kCovers[] = {0x8A5A2E, 0x7A3E8E, 0x5E8E3A, 0x3E6FB8};
    CDCHandle dc(hdc);
    FillItemBackground(hdc, *cell, selected, focused, item, kSelectedColour, kRowColour);
    int saved = dc.SaveDC();
    dc.SetBkMode(TRANSPARENT);
    const CRect rect(cell);
    if (subItem == 0) {
      CString title, singer;
      GetItemText(item, 0, title);
      GetItemText(item, 1, singer);
      const CRect cover(rect.left + 10, rect.top + m_nImageTop, rect.left + 10 + kPictureSize,
                        rect.top + m_nImageTop + kPictureSize);
      dc.FillSolidRect(&cover, kCovers[item % 4]);
      dc.SelectFont(m_fontLarge);
      dc.SetTextColor(0xDADADA);
      CRect line(cover.right + 12, cover.top, rect.right, cover.top + 20);
      dc.DrawText(title, -1, &line, DT_SINGLELINE | DT_NOPREFIX);
      dc.SelectFont(m_fontSmallB);
      dc.SetTextColor(selected ? 0xE0E0E0 : 0x7E7E7E);
      line.OffsetRect(0, 25);
      dc.DrawText(singer + L" · 专辑收录 12 首歌曲", -1, &line, DT_SINGLELINE | DT_NOPREFIX);
    } else {
      CRect button(rect.CenterPoint().x - 28, rect.top + 24, rect.CenterPoint().x + 28,
                   rect.top + 50);
      dc.FillSolidRect(&button, selected ? 0xFFFFFF : 0x3A323A);
      dc.SelectFont(m_fontCell);
      dc.SetTextColor(selected ? kSelectedColour : 0xDADADA);
      dc.DrawText(L"试听", -1, &button, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
    dc.RestoreDC(saved);
  }
};

// While the menu is tracked: highlight its first item, then save the menu and close it.
int g_menuTicks = 0;
bool g_menuSaved = false;
void CALLBACK WhileMenuTracks(HWND owner, UINT, UINT_PTR id, DWORD) {
  HWND popup = ::FindWindowW(L"#32768", nullptr);
  if (!popup || !::IsWindowVisible(popup)) return;
  if (++g_menuTicks == 1) {
    ::PostMessageW(owner, WM_KEYDOWN, VK_DOWN, 0);
    return;
  }
  g_menuSaved = testsupport::SaveWindowPng(popup, L"screenshots\\skin_menu.png");
  ::KillTimer(owner, id);
  ::EndMenu();
}

}  // namespace

TEST(Showcase, SavesAPictureOfTheSkinnedControls) {
  INITCOMMONCONTROLSEX init = {sizeof(init), ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&init);
  Showcase window;
  ASSERT_TRUE(window.Create(nullptr, CRect(40, 40, 852, 340), L"showcase", 0, WS_EX_TOPMOST));
  window.AddPanel(kEditorPanel, kEditorBackground);
  window.AddPanel(kLoginPanel, kLoginBackground);

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
  CFont listFont;
  CreateSkinFont(listFont, 13);
  ASSERT_TRUE(CreateSongList(list, window, kSongList, listFont, 220));
  HBITMAP skin = LoadSkin(IDB_SCROLLBAR_SKIN);
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
}

TEST(Showcase, SavesPicturesOfTheSkinnedPanesAndMenu) {
  INITCOMMONCONTROLSEX init = {sizeof(init), ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&init);
  Showcase window;
  ASSERT_TRUE(window.Create(nullptr, CRect(40, 40, 900, 560), L"showcase", 0, WS_EX_TOPMOST));
  window.AddPanel(CRect(616, 36, 848, 508), kEditorBackground);
  window.AddLabel(CRect(626, 40, 840, 60), L"地址");
  window.AddLabel(CRect(626, 130, 840, 150), L"歌词");
  window.AddLabel(CRect(626, 300, 840, 320), L"歌曲");

  CategoryTree tree(30);
  ASSERT_TRUE(tree.Create(window, CRect(12, 36, 132, 508), nullptr, WS_CHILD | WS_VISIBLE));
  for (const wchar_t* sort : {L"华语流行", L"欧美金曲", L"日韩新歌", L"粤语经典", L"影视原声"}) {
    tree.InsertItem(sort, TVI_ROOT, TVI_LAST);
  }
  tree.SelectItem(tree.GetNextSiblingItem(tree.GetRootItem()));

  ShowcaseLibrary list;
  ASSERT_TRUE(list.Create(window, CRect(134, 36, 610, 480), nullptr,
                          WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS));
  list.SetExtendedListViewStyle(LVS_EX_FULLROWSELECT);
  list.InitColumns();
  const wchar_t* rows[][2] = {{L"雨后彩虹", L"陈小春"},
                              {L"夜空中最亮的星", L"逃跑计划"},
                              {L"平凡之路", L"朴树"},
                              {L"后来", L"刘若英"}};
  for (int i = 0; i < 4; ++i) {
    list.InsertItem(i, rows[i][0]);
    list.SetItemText(i, 1, rows[i][1]);
  }
  list.FitColumnWidth(0, 476);
  list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  HBITMAP skin = LoadSkin(IDB_SCROLLBAR_SKIN);
  ASSERT_TRUE(SkinSB_AttachWindow(list, skin));

  CSelectCtrl pager;
  ASSERT_TRUE(pager.Create(window, CRect(410, 488, 610, 503), nullptr, WS_CHILD | WS_VISIBLE));
  pager.SetBkColor(kFrameBackground);
  pager.SetPageInfo(1, 50);

  CRCSplitter splitter;
  ASSERT_TRUE(splitter.Create(window, CRect(611, 36, 614, 508), nullptr, WS_CHILD | WS_VISIBLE));
  splitter.SetLimits(true, 100, 200);

  CSkinEdit address;
  ASSERT_TRUE(address.Create(window, CRect(626, 62, 840, 84), L"http://music.example/song/1024",
                             WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL));
  CFont editFont;
  CreateSkinFont(editFont, 12);
  address.SetFont(editFont);

  // The lyric text and a song list in frames with skinned scroll-bar windows.
  CEdit lyric;
  ASSERT_TRUE(lyric.Create(window, CRect(626, 152, 840, 292), nullptr,
                           WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                               ES_AUTOVSCROLL | ES_AUTOHSCROLL));
  lyric.SetFont(editFont);
  std::wstring lrc = L"[ti:平凡之路]\r\n[ar:朴树]\r\n";
  for (int i = 0; i < 12; ++i) {
    lrc += L"[00:" + std::to_wstring(12 + i * 6) + L".30]徘徊着的 在路上的 你要走吗 Via Via\r\n";
  }
  lyric.SetWindowText(lrc.c_str());
  HBITMAP windowSkin = LoadSkin(IDB_SCROLL_WINDOW_SKIN);
  ASSERT_TRUE(AttachSkinScrollBars(lyric, windowSkin));
  CListViewCtrl songs;
  ASSERT_TRUE(CreateSongList(songs, window, CRect(626, 322, 840, 500), editFont, 190,
                             LVS_NOCOLUMNHEADER));
  ASSERT_TRUE(AttachSkinScrollBars(songs, windowSkin));
  songs.EnsureVisible(20, FALSE);

  window.ShowWindow(SW_SHOWNOACTIVATE);
  window.RedrawWindow(nullptr, nullptr,
                      RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpMessages();
  EXPECT_TRUE(testsupport::SaveWindowPng(window, L"screenshots\\skin_controls.png"));

  // The list's context menu, skinned, tracked over the window.
  HMENU more = ::CreatePopupMenu();
  ::AppendMenuW(more, MF_STRING, 32808, L"删除歌曲");
  HMENU popup = ::CreatePopupMenu();
  ::AppendMenuW(popup, MF_STRING, 32800, L"播放");
  ::AppendMenuW(popup, MF_STRING | MF_GRAYED, 32798, L"编辑歌词");
  ::AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuW(popup, MF_STRING, 32802, L"上传歌词");
  ::AppendMenuW(popup, MF_STRING | MF_CHECKED, 32816, L"总在最前");
  ::AppendMenuW(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(more), L"更多");
  window.menu.AttachMenu(popup, FALSE, IDB_MENU_IMAGES, 10, 24);
  const std::pair<UINT, int> images[] = {{32800, 0}, {32798, 1}, {32802, 2}, {32808, 3}};
  for (auto [id, image] : images) window.menu.SetItemImage(id, image);
  ::SetTimer(window, 1, 100, WhileMenuTracks);
  CRect at;
  list.GetWindowRect(&at);
  ::SetCursorPos(0, 0);  // away from the menu, which would otherwise open its sub-menu under it
  ::TrackPopupMenu(popup, TPM_RETURNCMD, at.left + 160, at.top + 120, 0, window, nullptr);
  ::DestroyMenu(popup);  // as the program's callers do: the skinned menu must not touch it again
  EXPECT_TRUE(g_menuSaved);
  EXPECT_GE(window.menuItemsPainted, 6);

  window.DestroyWindow();
  ::DeleteObject(skin);
  ::DeleteObject(windowSkin);
}
