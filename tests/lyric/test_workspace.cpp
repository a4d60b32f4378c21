// The lyric workspace with real windows and no site: the question about the editor's unsaved
// work on each of the workspace's ways to another song. Lyric addresses lead nowhere, so a lyric
// that is not there yet is "downloaded" as an empty file, at once.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "foundation/common_helpers.h"
#include "lyric/lrcedit_dlg.h"
#include "support/gtest_cstring.h"
#include "support/message_box_recorder.h"
#include "support/message_pump.h"
#include "support/program_folder.h"
#include "support/temp_dir.h"
#include "workspace_host.h"

namespace {

auto* const g_folder = ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder);

// Songs' lyric files go to the system's temporary folder: a fresh one for this run.
struct FreshTempFolder {
  FreshTempFolder() {
    std::wstring temp = dir.path();
    SetEnvironmentVariableW(L"TMP", temp.c_str());
    SetEnvironmentVariableW(L"TEMP", temp.c_str());
  }
  testsupport::TempDir dir;
} g_temp;

class WorkspaceWindow : public ::testing::Environment {
 public:
  void SetUp() override { host.Open(SIZE{900, 600}, 0); }
  WorkspaceHost host;
};
WorkspaceWindow* const g_window =
    static_cast<WorkspaceWindow*>(::testing::AddGlobalTestEnvironment(new WorkspaceWindow));

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
