// The lyric workspace with real windows and no site: the question about the editor's unsaved
// work on each of the workspace's ways to another song, Ctrl+A as the frame hands it over, the
// song list's progress column, and the splitter. Lyric addresses lead nowhere, so a lyric that
// is not there yet is "downloaded" as an empty file, at once.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "foundation/common_helpers.h"
#include "lyric/lrcedit_dlg.h"
#include "support/canvas.h"
#include "support/gtest_cstring.h"
#include "support/message_box_recorder.h"
#include "support/message_pump.h"
#include "support/program_folder.h"
#include "support/temp_dir.h"
#include "workspace_host.h"

namespace {

auto* const g_folder = ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder);

// Songs' lyric files go to the system's temporary folder: a fresh one for this run.
testsupport::ProcessTempFolder g_temp;

class WorkspaceWindow : public ::testing::Environment {
 public:
  void SetUp() override { host.Open(SIZE{900, 600}, 0); }
  WorkspaceHost host;
};
WorkspaceWindow* const g_window =
    static_cast<WorkspaceWindow*>(::testing::AddGlobalTestEnvironment(new WorkspaceWindow));

// Ctrl held down for the key handlers, while the object lives.
class CtrlHeld {
 public:
  CtrlHeld() { Set(0x80); }
  ~CtrlHeld() { Set(0); }

 private:
  static void Set(BYTE state) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = state;
    SetKeyboardState(keys);
  }
};

class WorkspaceTest : public ::testing::Test {
 protected:
  // A buffered song (so that choosing it starts no download of its audio) whose lyric address
  // leads nowhere; listed unless told otherwise.
  SongPtr NewSong(int songId, float progress = 100.0f, bool list = true) {
    SongPtr song = MakeSongPtr();
    std::string id = std::to_string(songId);
    EXPECT_TRUE(song->FromJsonString(R"({"song_id": )" + id + R"(, "song_name": "歌)" + id +
                                     R"(", "lyric": "http://127.0.0.1:1/lyric/)" + id +
                                     R"(.lrc", "track_url": "http://127.0.0.1:1/audio/)" + id +
                                     R"(.mp3"})"));
    song->SetProgress(progress);
    if (list) workspace->AddSong(song, true);
    return song;
  }
  CString EditorText() {
    CString text;
    editor->GetLrcEdit().GetWindowText(text);
    return text;
  }
  bool RowSelected(int songId) {
    int row = RowOfSong(workspace, songId);
    return row >= 0 && list->GetItemState(row, LVIS_SELECTED) != 0;
  }
  void Command(int id) { workspace->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0); }

  CLrceditDlg* workspace = CMainFrame::GetInstance()->GetLrceditDlg();
  CPlayListViewCtrl* list = workspace->GetSongList();
  CEditDlg* editor = workspace->GetEditDlg();
};

}  // namespace

// The editor holds unsaved work of one song. Each of the workspace's ways to another song asks
// the editor's question before anything changes: the other song's row is not selected for it yet
// and its lyric not downloaded yet (the file is made once the answer is in). Yes saves the work,
// No lets it go; then the other song's lyric is in the editor. (The double-click once replaced
// the text without asking.)
TEST_F(WorkspaceTest, EveryWayToAnotherSongAsksAboutUnsavedWorkBeforeAnythingChanges) {
  SongPtr own = NewSong(700);
  struct Way {
    const char* name;
    int answer;
    std::function<void(const SongPtr& next)> go;
    bool selectsTheRow;  // the way selects the row itself (timer 1); the others act on a selection
  } ways[] = {
      {"double-click", IDYES,
       [&](const SongPtr& next) {
         SelectSongRows(workspace, {next->GetSongId()});
         SendSongListNotice(workspace, NM_DBLCLK, RowOfSong(workspace, next->GetSongId()));
       },
       false},
      {"menu: edit", IDNO,
       [&](const SongPtr& next) {
         SelectSongRows(workspace, {next->GetSongId()});
         Command(ID_EDIT_SONG_LYRIC);
       },
       false},
      {"strip: edit", IDYES,
       [&](const SongPtr& next) {
         SelectSongRows(workspace, {next->GetSongId()});
         workspace->GetFastDlg()->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FAST_EDIT, BN_CLICKED), 0);
       },
       false},
      {"menu: play", IDNO,
       [&](const SongPtr& next) {
         SelectSongRows(workspace, {next->GetSongId()});
         Command(ID_PLAY_SONG);
       },
       false},
      {"timer 1", IDYES,
       [&](const SongPtr& next) {
         SelectSongRows(workspace, {});
         workspace->AddSong(next, false);  // buffered: timer 1 starts it
         testsupport::PumpMessagesUntil([&] { return FileExists(next->GetLyricPath().c_str()); });
       },
       true},
  };
  int nextId = 701;
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    ASSERT_TRUE(testsupport::WriteFileBytes(own->GetLyricPath(), "[00:01.00]own\r\n"));
    ASSERT_TRUE(editor->OpenSong(own));
    editor->GetLrcEdit().SetWindowText(L"[00:02.00]typed");
    editor->GetLrcEdit().SetModify(TRUE);
    SongPtr next = NewSong(nextId++, 100.0f, !way.selectsTheRow);
    const std::wstring nextLyric = next->GetLyricPath();

    bool fetchedBeforeTheQuestion = true;
    bool selectedBeforeTheQuestion = true;
    CString textAtTheQuestion;
    testsupport::MessageBoxRecorder boxes(way.answer);
    boxes.SetObserver([&](const testsupport::RecordedBox&) {
      fetchedBeforeTheQuestion = FileExists(nextLyric.c_str());
      selectedBeforeTheQuestion = RowSelected(next->GetSongId());
      textAtTheQuestion = EditorText();
    });
    way.go(next);
    ASSERT_EQ(1u, boxes.count());
    EXPECT_EQ(L"歌词文件已经修改，是否保存？", boxes.last().text);
    EXPECT_FALSE(fetchedBeforeTheQuestion);
    if (way.selectsTheRow) {
      EXPECT_FALSE(selectedBeforeTheQuestion);
    }
    EXPECT_EQ(CString(L"[00:02.00]typed"), textAtTheQuestion);

    EXPECT_EQ(way.answer == IDYES ? "[00:02.00]typed\r\n" : "[00:01.00]own\r\n",
              testsupport::ReadFileBytes(own->GetLyricPath()));
    EXPECT_TRUE(FileExists(nextLyric.c_str()));
    EXPECT_EQ(CString(nextLyric.c_str()), editor->GetFilePath());
    EXPECT_EQ(CString(), EditorText());
    EXPECT_TRUE(RowSelected(next->GetSongId()));
  }
}

// A save that fails keeps the work and the song it belongs to: the other song does not open.
TEST_F(WorkspaceTest, ASaveThatFailsKeepsTheWorkInsteadOfTheOtherSong) {
  SongPtr own = NewSong(720);
  ASSERT_TRUE(testsupport::WriteFileBytes(own->GetLyricPath(), "[00:01.00]own\r\n"));
  ASSERT_TRUE(editor->OpenSong(own));
  editor->GetLrcEdit().SetWindowText(L"[00:02.00]typed");
  editor->GetLrcEdit().SetModify(TRUE);
  SongPtr next = NewSong(721);
  const std::wstring ownPath = own->GetLyricPath();
  ASSERT_TRUE(DeleteFileW(ownPath.c_str()));
  ASSERT_TRUE(CreateDirectoryW(ownPath.c_str(), nullptr));  // nothing can be written there
  {
    testsupport::MessageBoxRecorder boxes(IDYES);
    SelectSongRows(workspace, {721});
    SendSongListNotice(workspace, NM_DBLCLK, RowOfSong(workspace, 721));
    EXPECT_EQ(L"保存失败", boxes.last().caption);
  }
  RemoveDirectoryW(ownPath.c_str());
  EXPECT_FALSE(FileExists(next->GetLyricPath().c_str()));
  EXPECT_EQ(CString(ownPath.c_str()), editor->GetFilePath());
  EXPECT_EQ(CString(L"[00:02.00]typed"), EditorText());
  EXPECT_TRUE(editor->HasUnsavedWork());
  editor->SetModified(false);
}

// Ctrl+A as the frame's key handler takes it: all of the lyric box's text when the box has the
// focus, every song row when the song list has it, nothing anywhere else. The key goes on to the
// focused window either way.
TEST_F(WorkspaceTest, CtrlASelectsTheWholeLyricOrEverySong) {
  for (int id : {740, 741, 742}) NewSong(id, 0.0f);
  testsupport::MessageBoxRecorder quiet(IDNO);
  editor->ShowWindow(SW_SHOW);
  CEdit box = editor->GetLrcEdit();
  box.SetWindowText(L"[00:01.00]one\r\n[00:02.00]two");
  const int length = box.GetWindowTextLength();
  struct {
    HWND focus;
    bool wholeText;
    bool everyRow;
  } cases[] = {{box, true, false}, {*list, false, true}, {g_window->host, false, false}};
  CtrlHeld ctrl;
  for (const auto& c : cases) {
    box.SetSel(2, 2);
    SelectSongRows(workspace, {});
    SetFocus(c.focus);
    ASSERT_EQ(c.focus, GetFocus());
    BOOL handled = TRUE;
    EXPECT_EQ(1, CMainFrame::GetInstance()->OnKeyDown(WM_KEYDOWN, 'A', 0, handled));
    int start = -1;
    int end = -1;
    box.GetSel(start, end);
    EXPECT_EQ(c.wholeText ? 0 : 2, start) << c.focus;
    EXPECT_EQ(c.wholeText ? length : 2, end) << c.focus;
    EXPECT_EQ(c.everyRow ? list->GetItemCount() : 0, static_cast<int>(list->GetSelectedCount()))
        << c.focus;
    if (c.everyRow) {
      EXPECT_EQ(0, list->GetNextItem(-1, LVNI_FOCUSED));  // from the last row to the first
    }
  }
  EXPECT_EQ(0u, quiet.count());
}

// The progress column: a bar as wide as the progress and never wider than the cell, with
// "%.1f%%" over it; a buffered song (from 99.99999 on; 101 when its file was found whole) has a
// full bar of its own colour and "100%" in white.
TEST_F(WorkspaceTest, TheProgressColumnDrawsTheBarAndThePercentage) {
  struct {
    float progress;
    int barWidth;
    bool buffered;
    const wchar_t* text;
  } cases[] = {{0.0f, 0, false, L"0.0%"},    {42.46f, 25, false, L"42.5%"},
               {99.9f, 59, false, L"99.9%"}, {99.99999f, 59, true, L"100%"},
               {100.0f, 60, true, L"100%"},  {101.0f, 60, true, L"100%"},
               {250.0f, 60, true, L"100%"}};
  for (const auto& c : cases) {
    Song song;
    song.SetProgress(c.progress);
    ProgressCell cell = MeasureProgressCell(song, 60);
    EXPECT_EQ(c.barWidth, cell.barWidth) << c.progress;
    EXPECT_EQ(c.buffered, cell.buffered) << c.progress;
    EXPECT_EQ(CString(c.text), cell.text) << c.progress;
  }

  // Drawn: the bar in its colour from the cell's left edge, the rest of the cell in the row's.
  struct {
    float progress;
    COLORREF bar;
    bool fullBar;
    bool whiteText;
  } drawn[] = {{50.0f, 0xFDB997, false, false}, {101.0f, 0x565656, true, true}};
  int songId = 760;
  for (const auto& d : drawn) {
    NewSong(songId, d.progress);
    const int row = RowOfSong(workspace, songId++);
    ASSERT_GE(row, 0);
    const COLORREF rowColour = row % 2 == 0 ? 0x251F25 : 0x2C282E;
    CRect cellRect(0, 0, 60, 30);
    testsupport::Canvas canvas(cellRect.Width(), cellRect.Height());
    list->DrawSubItem(canvas.hdc(), row, 5, &cellRect, false, false);
    EXPECT_EQ(d.bar, canvas.at(1, 1)) << d.progress;
    EXPECT_EQ(d.fullBar ? d.bar : rowColour, canvas.at(58, 1)) << d.progress;
    EXPECT_EQ(d.whiteText, canvas.Count(RGB(255, 255, 255)) > 0) << d.progress;
  }
}

TEST(WorkspaceSplitter, TheColumnGrowsByTheBarsWayLeftAndShrinksByItsWayRight) {
  // In a client area 900 wide the bar lies at 544..547 before any drag.
  struct {
    int left, right, offset;
  } cases[] = {{544, 547, 0},  {543, 546, 0},  {542, 545, 1},
               {444, 447, 99}, {545, 548, -1}, {700, 703, -156}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.offset, CLrceditDlg::SplitterOffset(900, c.left, c.right)) << c.left;
  }
}

// A drag of the bar lays the right-hand column out wider; the next resize of the workspace
// brings it back to 353 px.
TEST_F(WorkspaceTest, DraggingTheSplitterWidensTheColumnUntilTheNextResize) {
  HWND bar = FindWindowExW(*workspace, nullptr, L"RevRCSplitter", nullptr);
  ASSERT_NE(nullptr, bar);
  CRect client;
  workspace->GetClientRect(&client);
  auto columnWidth = [&] {
    CRect display;
    workspace->GetDisplayer()->GetWindowRect(&display);
    CRect edit;
    editor->GetWindowRect(&edit);
    EXPECT_EQ(display.Width(), edit.Width());
    return display.Width();
  };
  ASSERT_EQ(353, columnWidth());
  // The mouse at x of the workspace, as the bar (which moves meanwhile) sees it.
  auto mouse = [&](UINT message, WPARAM keys, int x) {
    POINT point = {x, 10};
    MapWindowPoints(*workspace, bar, &point, 1);
    SendMessageW(bar, message, keys, MAKELPARAM(point.x, point.y));
  };
  CRect start;
  GetWindowRect(bar, &start);
  MapWindowPoints(nullptr, *workspace, reinterpret_cast<POINT*>(&start), 2);
  ASSERT_EQ(client.right - 353 - 3, start.left);
  mouse(WM_LBUTTONDOWN, MK_LBUTTON, start.left + 1);
  mouse(WM_MOUSEMOVE, MK_LBUTTON, start.left - 99);
  mouse(WM_LBUTTONUP, 0, start.left - 99);
  EXPECT_EQ(353 + 99, columnWidth());
  workspace->MoveWindow(0, 0, client.Width() - 1, client.Height());
  workspace->MoveWindow(0, 0, client.Width(), client.Height());
  EXPECT_EQ(353, columnWidth());
}
