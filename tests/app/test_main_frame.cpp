// The main frame: the busy cursor that every subsystem reaches, and the frame's window under
// Xvfb: its layout, the notice bar, the exit question, the system menu, topmost and the tray.
#include <windows.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include "app/frame_layout.h"
#include "app/main_frame.h"
#include "app/startup.h"
#include "app/status_bar.h"
#include "foundation/config.h"
#include "foundation/text_convert.h"
#include "lyric/edit_dlg.h"
#include "resources/app_resource.h"
#include "support/gtest_cstring.h"
#include "support/message_box_recorder.h"
#include "support/program_folder.h"
#include "support/screenshot.h"
#include "support/temp_dir.h"

namespace {

auto* const g_folder = static_cast<testsupport::TempProgramFolder*>(
    ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder));

TEST(MainFrame, BusyCursorRemembersWhatComesMeanwhile) {
  CMainFrame* frame = CMainFrame::GetInstance();
  ASSERT_EQ(frame, CMainFrame::GetInstance());
  EXPECT_EQ(2, frame->GetCursorState());
  frame->SetCursorState(1);  // not busy: nothing to end
  EXPECT_EQ(2, frame->GetCursorState());
  frame->SetCursorState(0);
  frame->SetCursorState(3);  // while busy: only remembered
  EXPECT_EQ(0, frame->GetCursorState());
  frame->SetCursorState(1);
  EXPECT_EQ(3, frame->GetCursorState());
  frame->SetCursorState(4);
  frame->SetCursorState(7);  // no such state
  EXPECT_EQ(4, frame->GetCursorState());
}

TEST(FrameLayout, ClampsToTheWorkAreaAndMovesThePanesBelowANoticeBar) {
  struct Case {
    RECT work;
    bool notice;
    int width, height, paneTop;
  } cases[] = {
      {{0, 0, 1280, 1024}, false, 1020, 720, 82},
      {{0, 0, 800, 600}, false, 800, 600, 82},
      {{0, 30, 1280, 630}, true, 1020, 600, 112},
  };
  for (const Case& c : cases) {
    FrameLayout l = ComputeFrameLayout(kFrameWidth, kFrameHeight, c.work, c.notice);
    EXPECT_EQ(c.width, l.width);
    EXPECT_EQ(c.height, l.height);
    EXPECT_EQ(c.paneTop, l.tree.top);
    EXPECT_EQ(c.paneTop, l.workspace.top);
    // The panes end above the status bar, which closes the frame at its bottom.
    EXPECT_EQ(l.statusBar.top, l.tree.bottom);
    EXPECT_EQ(c.height - 1, l.statusBar.bottom);
    EXPECT_EQ(c.width - 1, l.list.right);
    EXPECT_EQ(c.width - 5, l.closeButton.right);
    EXPECT_EQ(c.notice, !l.noticeBar.IsRectEmpty());
  }
}

class FrameWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    g_folder->AddSkinPictures();
    GetConfig()->auto_check_update = 0;  // no update check from the frame's thread
    CMainFrame* frame = CMainFrame::GetInstance();
    if (!frame->IsWindow()) {
      frame->Create(nullptr, CWindow::rcDefault, nullptr, 0x06CF0000,
                    WS_EX_APPWINDOW | WS_EX_WINDOWEDGE);
    }
  }
  CMainFrame* frame = CMainFrame::GetInstance();
};

CRect ChildRect(HWND parent, HWND child) {
  CRect rect;
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

TEST_F(FrameWindowTest, OpensAtItsSizeCentredInTheWorkAreaWithTitleAndVersion) {
  ASSERT_TRUE(frame->IsWindow());
  CRect window, work;
  frame->GetWindowRect(&window);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(CSize(1020, 720), window.Size());
  EXPECT_NEAR(work.CenterPoint().x, window.CenterPoint().x, 1);
  EXPECT_NEAR(work.CenterPoint().y, window.CenterPoint().y, 1);
  EXPECT_EQ(0u, frame->GetStyle() & (WS_CAPTION | WS_THICKFRAME));
  EXPECT_EQ(CString(L"Lirak歌词编辑器"), frame->GetTitle());
  // The status bar's text comes from the program's own VERSIONINFO.
  EXPECT_EQ(CString(L"版本号：v 1.0.15.17"), CStatusBar::VersionText(frame->GetFileVersion()));
  EXPECT_EQ(CRect(995, 5, 1015, 25), ChildRect(*frame, frame->GetDlgItem(IDC_CLOSE_BUTTON)));
  EXPECT_TRUE(testsupport::SaveWindowPng(*frame, L"screenshots\\frame.png"));
}

TEST_F(FrameWindowTest, NoticeBarShowsItsCloseButtonInModeTwoAndMovesThePanes) {
  CToolTipBar& bar = frame->GetNoticeBar();
  bar.ShowNotice(CToolTipBar::kModeClosable, L"网络连接已断开，正在重试");
  EXPECT_TRUE(bar.IsWindowVisible());
  EXPECT_TRUE(IsWindowVisible(bar.GetCloseButton()));
  EXPECT_EQ(CRect(1, 82, 1019, 112), ChildRect(*frame, bar));
  EXPECT_TRUE(testsupport::SaveWindowPng(*frame, L"screenshots\\frame_notice.png"));
  bar.ShowNotice(CToolTipBar::kModeWarning, L"注意");
  EXPECT_FALSE(IsWindowVisible(bar.GetCloseButton()));
  SendMessageW(bar, WM_COMMAND, IDC_NOTICE_CLOSE, 0);
  EXPECT_FALSE(bar.IsWindowVisible());
}

TEST_F(FrameWindowTest, EveryExitCommandAsksAndNoKeepsTheWindow) {
  struct Case {
    UINT message;
    WPARAM command;
  } cases[] = {{WM_COMMAND, IDOK},         {WM_COMMAND, IDCANCEL}, {WM_COMMAND, IDC_CLOSE_BUTTON},
               {WM_COMMAND, ID_APP_EXIT}, {WM_SYSCOMMAND, 0x8031}};
  for (const Case& c : cases) {
    testsupport::MessageBoxRecorder boxes(IDNO);
    frame->SendMessage(c.message, c.command);
    ASSERT_EQ(1u, boxes.count()) << c.command;
    EXPECT_EQ(L"是否关闭程序？", boxes.last().text);
    EXPECT_EQ(L"歌词编辑器", boxes.last().caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION), boxes.last().type);
    EXPECT_TRUE(frame->IsWindowVisible());
    EXPECT_TRUE(frame->IsKeepChecking());
  }
}

// With unsaved lyric work every way out asks the editor's question first. No: the exit question
// follows and, declined, leaves the work unsaved; Yes: the work is saved first; a save that fails
// keeps the program without the exit question. "更改用户" asks it before forgetting the
// automatic sign-in (its other answers end the program: the program test takes them).
TEST_F(FrameWindowTest, EveryWayOutAsksAboutUnsavedLyricWorkFirst) {
  const std::wstring question = L"歌词文件已经修改，是否保存？";
  const std::wstring closing = L"是否关闭程序？";
  testsupport::TempDir dir;
  const std::wstring path = dir.file(L"work.lrc");
  ASSERT_TRUE(testsupport::WriteFileBytes(path, "[00:01.00]a\r\n"));
  CEditDlg* editor = frame->GetEditDlg();
  ASSERT_TRUE(editor->LoadLyric(path.c_str()));
  auto type = [&](const wchar_t* text) {
    editor->GetLrcEdit().SetWindowText(text);
    editor->GetLrcEdit().SetModify(TRUE);
  };
  GetConfig()->m_bAutoLogin = 1;
  struct Way {
    UINT message;
    WPARAM command;
    bool asksToClose;
  } ways[] = {{WM_COMMAND, IDC_CLOSE_BUTTON, true},
              {WM_COMMAND, ID_APP_EXIT, true},  // the main menu's and the tray menu's "退出"
              {WM_SYSCOMMAND, 0x8031, true},
              {WM_COMMAND, ID_CHANGE_USER, false}};
  for (const Way& way : ways) {
    if (way.asksToClose) {
      type(L"[00:02.00]kept");
      {
        testsupport::MessageBoxRecorder boxes(IDNO);
        frame->SendMessage(way.message, way.command);
        EXPECT_EQ((std::vector<std::wstring>{question, closing}), boxes.texts()) << way.command;
        EXPECT_TRUE(editor->HasUnsavedWork());
        EXPECT_EQ("[00:01.00]a\r\n", testsupport::ReadFileBytes(path));
      }
      {
        testsupport::MessageBoxRecorder boxes({IDYES, IDNO});
        frame->SendMessage(way.message, way.command);
        EXPECT_EQ((std::vector<std::wstring>{question, closing}), boxes.texts()) << way.command;
        EXPECT_FALSE(editor->HasUnsavedWork());
        EXPECT_EQ("[00:02.00]kept\r\n", testsupport::ReadFileBytes(path));
      }
    }
    // A folder where the file was: the save fails.
    type(L"[00:03.00]unsaved");
    ASSERT_TRUE(DeleteFileW(path.c_str()));
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
    {
      testsupport::MessageBoxRecorder boxes(IDYES);
      frame->SendMessage(way.message, way.command);
      ASSERT_EQ(2u, boxes.count()) << way.command;
      EXPECT_EQ(question, boxes.texts().front());
      EXPECT_EQ(L"保存失败", boxes.last().caption);
    }
    RemoveDirectoryW(path.c_str());
    ASSERT_TRUE(testsupport::WriteFileBytes(path, "[00:01.00]a\r\n"));
    EXPECT_TRUE(frame->IsWindowVisible()) << way.command;
    EXPECT_TRUE(frame->IsKeepChecking());
    EXPECT_TRUE(editor->HasUnsavedWork());
    EXPECT_EQ(1, GetConfig()->m_bAutoLogin);
  }
  editor->SetModified(false);
}

// What the main menu showed while it was open, read by a timer of the menu's own loop.
struct OpenMenu {
  HMENU menu = nullptr;
  int items = 0;
  int ownerDrawn = 0;
  bool topmostChecked = false;
};
OpenMenu g_openMenu;

void CALLBACK ReadAndCloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
  HWND popup = FindWindowW(L"#32768", nullptr);
  if (!popup) return;
  KillTimer(nullptr, id);
  HMENU menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
  g_openMenu.menu = menu;
  g_openMenu.items = GetMenuItemCount(menu);
  for (int i = 0; i < g_openMenu.items; ++i) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE;
    GetMenuItemInfoW(menu, i, TRUE, &info);
    if (info.fType & MFT_OWNERDRAW) ++g_openMenu.ownerDrawn;
  }
  g_openMenu.topmostChecked =
      (GetMenuState(menu, ID_TOPMOST, MF_BYCOMMAND) & MF_CHECKED) != 0;
  EndMenu();
}

TEST_F(FrameWindowTest, TheMainMenuIsSkinnedAndDestroyedWhenItCloses) {
  frame->SendMessage(WM_COMMAND, ID_TOPMOST);
  SetTimer(nullptr, 0, 50, &ReadAndCloseMenu);
  frame->SendMessage(WM_COMMAND, IDC_MENU_BUTTON);
  frame->SendMessage(WM_COMMAND, ID_TOPMOST);
  EXPECT_EQ(7, g_openMenu.items);
  EXPECT_EQ(7, g_openMenu.ownerDrawn);
  EXPECT_TRUE(g_openMenu.topmostChecked);
  // The loaded menu is gone with its popup, so nothing leaks per opening.
  EXPECT_FALSE(IsMenu(g_openMenu.menu));
}

TEST_F(FrameWindowTest, KeysReachThePlayerOnlyWithASongAndTheEditorAlways) {
  // Through the UI thread's filter, as every key press of the program goes.
  CMyFilter filter;
  struct Case {
    UINT message;
    WPARAM key;
    BOOL swallowed;
    const wchar_t* box;  // the box the key brings up, if any
  } cases[] = {
      {WM_KEYDOWN, VK_F2, FALSE, nullptr},  // no song loaded: the key goes on
      {WM_KEYDOWN, VK_F3, FALSE, nullptr},
      {WM_KEYDOWN, VK_F4, FALSE, nullptr},
      {WM_KEYDOWN, VK_F5, TRUE, L"光标不在歌词编辑框内！"},  // the editor refuses it outside its box
      {WM_KEYDOWN, VK_RETURN, FALSE, nullptr},
      {WM_CHAR, VK_F5, FALSE, nullptr},      // only key-down messages are looked at
      {WM_SYSKEYDOWN, VK_F5, FALSE, nullptr},
  };
  for (const Case& c : cases) {
    testsupport::MessageBoxRecorder boxes(IDOK);
    MSG msg = {*frame, c.message, c.key, 0, 0, {0, 0}};
    EXPECT_EQ(c.swallowed, filter.PreTranslateMessage(&msg)) << c.message << " " << c.key;
    EXPECT_EQ(c.box ? 1u : 0u, boxes.count()) << c.key;
    if (c.box) {
      EXPECT_EQ(c.box, boxes.last().text);
    }
  }
}

TEST_F(FrameWindowTest, SystemMenuTopmostAndTrayClicks) {
  HMENU system = frame->GetSystemMenu(FALSE);
  wchar_t text[64] = {};
  GetMenuStringW(system, 0x10, text, 64, MF_BYCOMMAND);
  EXPECT_STREQ(L"关于歌词编辑器", text);
  GetMenuStringW(system, 0x8031, text, 64, MF_BYCOMMAND);
  EXPECT_STREQ(L"退出", text);

  frame->SendMessage(WM_COMMAND, ID_TOPMOST);
  EXPECT_TRUE(frame->GetExStyle() & WS_EX_TOPMOST);
  frame->SendMessage(WM_COMMAND, ID_TOPMOST);
  EXPECT_FALSE(frame->GetExStyle() & WS_EX_TOPMOST);

  // There is no tray host under Xvfb: the icon's messages are posted as the shell would.
  frame->SendMessage(WM_TRAY_NOTIFY, 296, WM_LBUTTONDOWN);
  EXPECT_FALSE(frame->IsWindowVisible());
  frame->SendMessage(WM_TRAY_NOTIFY, 296, WM_LBUTTONDOWN);
  EXPECT_TRUE(frame->IsWindowVisible());
  // The system's close command hides the window into the tray without asking.
  testsupport::MessageBoxRecorder boxes(IDNO);
  frame->SendMessage(WM_SYSCOMMAND, SC_CLOSE);
  EXPECT_FALSE(frame->IsWindowVisible());
  EXPECT_EQ(0u, boxes.count());
  frame->SendMessage(WM_TRAY_NOTIFY, 296, WM_LBUTTONDOWN);
  EXPECT_TRUE(frame->IsWindowVisible());
}

TEST_F(FrameWindowTest, MediaNoticesAreLoggedInTheLogsCodePage) {
  struct Case {
    LPARAM event;
    const wchar_t* line;
  } cases[] = {{SHCNE_MEDIAINSERTED, L"插入存储卡："},
               {SHCNE_MEDIAREMOVED, L"拔出存储卡：, bInProcess = 0, m_bUDiskOff = 1"}};
  for (const Case& c : cases) {
    const size_t logged = g_folder->MainLogText().size();
    frame->SendMessage(WM_SHELL_NOTIFY, 0, c.event);
    EXPECT_NE(std::string::npos,
              g_folder->MainLogText().find(em_utility::wide_to_ansi(c.line), logged))
        << c.event;
  }
}

}  // namespace
