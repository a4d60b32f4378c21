// The lyric editor in the workspace, with real windows: its keys and buttons, saving and
// loading, save-as, the question before its text is replaced, and the refusals before an
// upload. The player has no media here, so inserted tags read [00:00.00].
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/main_frame.h"
#include "lyric/edit_dlg.h"
#include "lyric/lrcedit_dlg.h"
#include "lyric/upload_result.h"
#include "support/file_dialog_answer.h"
#include "support/gtest_cstring.h"
#include "support/message_box_recorder.h"
#include "support/program_folder.h"
#include "support/temp_dir.h"
#include "workspace_host.h"

namespace {

auto* const g_folder = ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder);

// One shown host window with the frame's workspace in it, for the whole executable.
class WorkspaceWindow : public ::testing::Environment {
 public:
  void SetUp() override { host.Open(SIZE{900, 600}, 0); }
  WorkspaceHost host;
};
WorkspaceWindow* const g_window = static_cast<WorkspaceWindow*>(
    ::testing::AddGlobalTestEnvironment(new WorkspaceWindow));

class Editor : public ::testing::Test {
 protected:
  void SetUp() override {
    editor = CMainFrame::GetInstance()->GetEditDlg();
    ASSERT_NE(nullptr, editor->m_hWnd);
    editor->ShowWindow(SW_SHOW);
    box = editor->GetLrcEdit();
    testsupport::MessageBoxRecorder quiet(IDNO);
    ASSERT_TRUE(Load("[00:01.00]a\r\n"));
  }
  bool Load(const std::string& bytes, const wchar_t* name = L"song.lrc") {
    std::wstring path = dir.file(name);
    EXPECT_TRUE(testsupport::WriteFileBytes(path, bytes));
    return editor->LoadLyric(path.c_str());
  }
  CString Text() {
    CString text;
    box.GetWindowText(text);
    return text;
  }
  void Type(const wchar_t* text) {
    box.SetWindowText(text);
    box.SetModify(TRUE);  // as typing would
  }
  void Press(int id) { editor->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
  // A song of the list whose own lyric file "[00:01.00]a" is open in the editor.
  SongPtr OpenOwnSong(int songId) {
    SongPtr song = MakeSongPtr();
    EXPECT_TRUE(song->FromJsonString("{\"song_id\": " + std::to_string(songId) + "}"));
    EXPECT_TRUE(testsupport::WriteFileBytes(song->GetLyricPath(), "[00:01.00]a\r\n"));
    EXPECT_TRUE(editor->OpenSong(song));
    return song;
  }
  int Caret() {
    int start = 0;
    int end = 0;
    box.GetSel(start, end);
    return end;
  }

  testsupport::TempDir dir;
  CEditDlg* editor = nullptr;
  CEdit box;
};

}  // namespace

TEST_F(Editor, KeysWorkOnlyWithTheFocusInTheLyricBox) {
  Type(L"[00:01.00]a\r\nabc\r\nlast");
  editor->SetModified(false);
  {
    testsupport::MessageBoxRecorder boxes;
    SetFocus(g_window->host);
    editor->OnKeyDown(VK_F5);
    EXPECT_EQ(L"光标不在歌词编辑框内！", boxes.last().text);
    EXPECT_EQ(CString(L"[00:01.00]a\r\nabc\r\nlast"), Text());
    EXPECT_FALSE(editor->IsModified());
  }
  box.SetFocus();
  ASSERT_EQ(box.m_hWnd, GetFocus());
  box.SetSel(13, 13);  // on "abc"
  editor->OnKeyDown(VK_F5);
  EXPECT_EQ(CString(L"[00:01.00]a\r\n[00:00.00]abc\r\nlast"), Text());
  EXPECT_EQ(28, Caret());  // moved to the start of the next line
  EXPECT_TRUE(editor->IsModified());
}

// F6 replaces the line's tag and nothing after it, even when the tag is shorter than ten.
TEST_F(Editor, F6OnAShortTagKeepsTheLyric) {
  Type(L"[01:00]abcdef\r\nx");
  box.SetFocus();
  box.SetSel(0, 0);
  editor->OnKeyDown(VK_F6);
  EXPECT_EQ(CString(L"[00:00.00]abcdef\r\nx"), Text());
  EXPECT_EQ(10, Caret());  // stays after the new tag
}

TEST_F(Editor, ShiftButtonsMoveEveryTagAndKeepTheCaret) {
  Type(L"[00:01.00]a\r\n[00:01.00]b\r\n[00:00.20]c");
  box.SetSel(14, 14);
  Press(IDC_SHIFT_BACK);
  EXPECT_EQ(CString(L"[00:00.50]a\r\n[00:00.50]b\r\n[00:00.00]c"), Text());
  EXPECT_EQ(14, Caret());
  Press(IDC_SHIFT_FORWARD);
  EXPECT_EQ(CString(L"[00:01.00]a\r\n[00:01.00]b\r\n[00:00.50]c"), Text());
  EXPECT_TRUE(editor->HasUnsavedWork());
}

TEST_F(Editor, SaveWritesCrCrLfDropsAdvertsAndLoadsBackTheSame) {
  Type(L"[00:01.00]晴天\r\n\r\nQQ 123456\r\nlast");
  ASSERT_TRUE(editor->SaveLyric());
  EXPECT_FALSE(editor->HasUnsavedWork());
  std::string saved = testsupport::ReadFileBytes(editor->GetFilePath().GetString());
  EXPECT_EQ(std::string("[00:01.00]\xE6\x99\xB4\xE5\xA4\xA9\r\r\n\r\r\nlast\r\n"), saved);

  // Read back in text mode, a stored CR CR LF shows as CR CR LF again and saves the same.
  ASSERT_TRUE(editor->LoadLyric(editor->GetFilePath()));
  EXPECT_EQ(CString(L"[00:01.00]晴天\r\r\n\r\r\nlast\r\n"), Text());
  ASSERT_TRUE(editor->SaveLyric());
  saved = testsupport::ReadFileBytes(editor->GetFilePath().GetString());
  ASSERT_TRUE(editor->LoadLyric(editor->GetFilePath()));
  ASSERT_TRUE(editor->SaveLyric());
  EXPECT_EQ(saved, testsupport::ReadFileBytes(editor->GetFilePath().GetString()));
}

// A file in a local code page would load garbled and then be saved over: it is refused, before
// the question about the box's changes, which stay unsaved.
TEST_F(Editor, ALyricThatIsNotUtf8IsRefused) {
  Type(L"edited");
  testsupport::MessageBoxRecorder boxes;
  EXPECT_FALSE(Load("[00:01.00]\xC7\xE7\xCC\xEC\r\n[00:02.00]\xD3\xEA\r\n", L"gbk.lrc"));
  EXPECT_FALSE(Load("\xFF\xFE[\0", L"utf16.lrc"));
  EXPECT_EQ(2u, boxes.count());
  EXPECT_EQ(L"加载失败", boxes.last().caption);
  EXPECT_EQ(CString(L"edited"), Text());
  EXPECT_TRUE(editor->HasUnsavedWork());
  EXPECT_EQ(CString(dir.file(L"song.lrc").c_str()), editor->GetFilePath());
}

// Unsaved text is never replaced without the question; a save that fails keeps it.
TEST_F(Editor, ReplacingUnsavedTextAsksFirst) {
  std::wstring first = dir.file(L"song.lrc");
  Type(L"edited");
  {
    testsupport::MessageBoxRecorder boxes(IDYES);
    ASSERT_TRUE(Load("[00:02.00]other\r\n", L"other.lrc"));
    EXPECT_EQ(L"歌词文件已经修改，是否保存？", boxes.last().text);
    EXPECT_EQ("edited\r\n", testsupport::ReadFileBytes(first));
  }
  Type(L"dropped");
  {
    testsupport::MessageBoxRecorder boxes(IDNO);
    ASSERT_TRUE(Load("[00:03.00]third\r\n", L"third.lrc"));
    EXPECT_EQ(1u, boxes.count());
    EXPECT_EQ(CString(L"[00:03.00]third\r\n"), Text());
  }
  // A folder where the file was: nothing can be written there.
  Type(L"kept");
  ASSERT_TRUE(DeleteFileW(dir.file(L"third.lrc").c_str()));
  ASSERT_TRUE(CreateDirectoryW(dir.file(L"third.lrc").c_str(), nullptr));
  {
    testsupport::MessageBoxRecorder boxes(IDYES);
    EXPECT_FALSE(Load("[00:04.00]fourth\r\n", L"fourth.lrc"));
    EXPECT_EQ(L"保存失败", boxes.last().caption);
    EXPECT_EQ(CString(L"kept"), Text());
    EXPECT_TRUE(editor->HasUnsavedWork());
  }
  RemoveDirectoryW(dir.file(L"third.lrc").c_str());
}

// Save-as writes what the box shows; the changes count as saved only when it was written.
TEST_F(Editor, SaveAsWritesTheBoxToTheChosenFile) {
  std::wstring chosen = dir.file(L"copy.lrc");
  Type(L"[00:05.00]typed");
  {
    testsupport::FileDialogAnswer cancel(L"");
    Press(IDC_SAVE_LYRIC);
    EXPECT_EQ(L"LRC Files (*.lrc)|*.lrc", cancel.lastFilter());
    EXPECT_EQ(L"lrc", cancel.lastExtension());
    EXPECT_TRUE(editor->HasUnsavedWork());
  }
  testsupport::FileDialogAnswer dialog(chosen);
  Press(IDC_SAVE_LYRIC);
  EXPECT_EQ("[00:05.00]typed\r\n", testsupport::ReadFileBytes(chosen));
  EXPECT_FALSE(editor->HasUnsavedWork());

  Type(L"[00:06.00]again");
  {
    testsupport::MessageBoxRecorder boxes(IDNO);
    Press(IDC_SAVE_LYRIC);
    EXPECT_EQ(L"保存目录已有歌词文件存在，是否替换？", boxes.last().text);
    EXPECT_EQ("[00:05.00]typed\r\n", testsupport::ReadFileBytes(chosen));
    EXPECT_TRUE(editor->HasUnsavedWork());
  }
  testsupport::MessageBoxRecorder boxes(IDYES);
  Press(IDC_SAVE_LYRIC);
  EXPECT_EQ("[00:06.00]again\r\n", testsupport::ReadFileBytes(chosen));
}

// Save-as of the song's own file saves it and writes the chosen file too: a chosen file that
// cannot be written is told, not passed over as if it had been.
TEST_F(Editor, SaveAsOfTheSongsOwnFileTellsAWriteThatFailed) {
  std::wstring own = OpenOwnSong(778)->GetLyricPath();
  Type(L"[00:02.00]b");
  std::wstring taken = dir.file(L"taken.lrc");
  ASSERT_TRUE(CreateDirectoryW(taken.c_str(), nullptr));  // nothing can be written there
  testsupport::FileDialogAnswer dialog(taken);
  testsupport::MessageBoxRecorder boxes(IDYES);
  Press(IDC_SAVE_LYRIC);
  RemoveDirectoryW(taken.c_str());
  EXPECT_EQ("[00:02.00]b\r\n", testsupport::ReadFileBytes(own));
  EXPECT_EQ(L"保存失败", boxes.last().caption);
  DeleteFileW(own.c_str());
}

// A file opened by path belongs to no song: nothing is uploaded under another song's id.
TEST_F(Editor, AFileWithoutASongIsNotUploaded) {
  testsupport::FileDialogAnswer dialog(dir.file(L"song.lrc"));
  Press(IDC_OPEN_LYRIC);
  ASSERT_EQ(nullptr, editor->GetSong().get());
  std::string errText;
  EXPECT_EQ(kUploadSongNotFound, editor->UploadLyric(errText));
  EXPECT_FALSE(errText.empty());
}

// An upload saves first; when that fails, the older file on disk is not sent.
TEST_F(Editor, AFailedSaveStopsTheUpload) {
  std::wstring own = OpenOwnSong(777)->GetLyricPath();
  Type(L"[00:01.00]changed");
  ASSERT_TRUE(DeleteFileW(own.c_str()));
  ASSERT_TRUE(CreateDirectoryW(own.c_str(), nullptr));  // nothing can be written there
  testsupport::MessageBoxRecorder boxes;
  Press(IDC_UPLOAD_LYRIC);
  RemoveDirectoryW(own.c_str());
  EXPECT_EQ(1u, boxes.count());
  EXPECT_EQ(L"保存失败", boxes.last().caption);
}

TEST_F(Editor, StripPreviewSavesOnYesAndGoesBackToTheDisplay) {
  CLrceditDlg* workspace = CMainFrame::GetInstance()->GetLrceditDlg();
  Type(L"[00:07.00]previewed");
  testsupport::MessageBoxRecorder boxes(IDYES);
  workspace->GetFastDlg()->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FAST_PREVIEW, BN_CLICKED), 0);
  EXPECT_EQ(L"歌词文件已经修改，是否保存？", boxes.last().text);
  EXPECT_EQ("[00:07.00]previewed\r\n",
            testsupport::ReadFileBytes(editor->GetFilePath().GetString()));
  EXPECT_FALSE(editor->IsWindowVisible());
  EXPECT_TRUE(workspace->GetDisplayer()->IsWindowVisible());
  // The display shows the editor's file.
  EXPECT_EQ(1u, workspace->GetDisplayer()->m_doc.m_vecLines.size());
}
