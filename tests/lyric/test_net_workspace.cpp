// The lyric workspace against the stand-in, with real windows, the real player and the request
// queue: a pasted address becomes a row, the song buffers and plays, its lyric opens in the
// editor, a tag goes in at the play time, the display follows the position, and the lyric is
// saved and uploaded. Then the song list's menu and commands. The main frame's result dispatch
// is played here by a data observer, as the frame's own handlers do it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <boost/property_tree/ptree.hpp>

#include "app/main_frame.h"
#include "controls/skin_font.h"
#include "foundation/common_helpers.h"
#include "foundation/config.h"
#include "foundation/md5.h"
#include "foundation/text_convert.h"
#include "lyric/edit_impl.h"
#include "lyric/lrcedit_dlg.h"
#include "support/canvas.h"
#include "support/gtest_cstring.h"
#include "support/message_box_recorder.h"
#include "support/message_pump.h"
#include "support/program_folder.h"
#include "support/screenshot.h"
#include "support/standin_client.h"
#include "support/standin_site.h"
#include "support/temp_dir.h"
#include "webdata/proto_replies.h"
#include "webdata/web_request_kind.h"
#include "webdata/web_service.h"
#include "workspace_host.h"

namespace {

auto* const g_folder = ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder);
auto* const g_site = ::testing::AddGlobalTestEnvironment(new testsupport::StandinSite);

// Songs and lyrics go to the system's temporary folder: a fresh one for this run.
testsupport::ProcessTempFolder g_temp;

// Songs buffer and play in real time: waits are long enough for a whole transfer.
bool WaitFor(const std::function<bool()>& done) {
  return testsupport::PumpMessagesUntil(done, 15000);
}

// The workspace in a shown host window, as the frame's pane, the address box above it, the frame
// "window" that lets results be dispatched, and the request queue.
class WorkspaceSite : public ::testing::Environment {
 public:
  void SetUp() override {
    host.Open(SIZE{1000, 560}, 40);
    testsupport::StandinClient standin;
    GetConfig()->ApiURL =
        CString(std::wstring(standin.Host().begin(), standin.Host().end()).c_str());
    std::string digest = em_utility::md5_string("lyrics123", 9);
    CMainFrame* frame = CMainFrame::GetInstance();
    frame->SetLoginAccount(L"editor@example.com",
                           CString(std::wstring(digest.begin(), digest.end()).c_str()));

    CWindow edit;
    edit.Create(L"EDIT", host, CRect(8, 8, 400, 30), nullptr,
                WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL);
    ASSERT_TRUE(address.Init(edit));

    // A window for the frame, so that its dispatch hands the results to the workspace.
    frameWindow = CreateWindowExW(0, L"STATIC", L"frame", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  nullptr, nullptr);
    frame->Attach(frameWindow);
    ASSERT_TRUE(CWebService::Instance()->Start());
  }
  void TearDown() override { CWebService::Instance()->Stop(); }

  WorkspaceHost host;
  CEditImpl address;
  HWND frameWindow = nullptr;
};
WorkspaceSite* const g_site2 =
    static_cast<WorkspaceSite*>(::testing::AddGlobalTestEnvironment(new WorkspaceSite));

class Workspace : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(standin.ok()) << standin.error();
    ASSERT_TRUE(standin.Reset());
  }
  void Paste(const wchar_t* address) {
    g_site2->address.SetFocus();
    g_site2->address.SetWindowText(address);
    g_site2->address.SendMessage(WM_KEYDOWN, VK_RETURN, 0);
  }
  SongPtr Find(int songId) {
    bool found = false;
    SongPtr song = CMainFrame::GetInstance()->GetSongMap().Find(songId, &found);
    return song;
  }
  int RowOf(int songId) { return RowOfSong(workspace, songId); }
  void SelectRows(std::initializer_list<int> songIds) { SelectSongRows(workspace, songIds); }
  void Command(int id) { workspace->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0); }
  void Notify(UINT code, int item = -1) { SendSongListNotice(workspace, code, item); }
  CString EditorText() {
    CString text;
    editor->GetLrcEdit().GetWindowText(text);
    return text;
  }
  void Picture(const wchar_t* name) {
    testsupport::PumpMessages();
    g_site2->host.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_TRUE(testsupport::SaveWindowPng(g_site2->host, std::wstring(L"screenshots\\") + name));
  }

  testsupport::StandinClient standin;
  CLrceditDlg* workspace = CMainFrame::GetInstance()->GetLrceditDlg();
  CPlayListViewCtrl* list = workspace->GetSongList();
  CEditDlg* editor = workspace->GetEditDlg();
  IMediaPlayer* player = workspace->GetPlayer();
};

std::string Header(const std::string& head, const std::string& name) {
  size_t at = head.find("\r\n" + name + ": ");
  if (at == std::string::npos) return std::string();
  at += name.size() + 4;
  return head.substr(at, head.find("\r\n", at) - at);
}

// Runs inside the tracked menu's loop: reads the menu's item states, takes its picture, ends it.
UINT g_menuGrey = 0;
UINT g_menuOwnerDraw = 0;
void CALLBACK InspectTrackedMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  HWND window = FindWindowW(L"#32768", nullptr);
  HMENU menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
  g_menuGrey = GetMenuState(menu, ID_PLAY_SONG, MF_BYCOMMAND) & MF_GRAYED;
  g_menuOwnerDraw = GetMenuState(menu, ID_DELETE_SONGS, MF_BYCOMMAND) & (MF_OWNERDRAW | MF_GRAYED);
  testsupport::SaveWindowPng(window, L"screenshots\\workspace_menu.png");
  EndMenu();
}

}  // namespace

TEST_F(Workspace, APastedSongIsBufferedPlayedTaggedSavedAndUploaded) {
  testsupport::MessageBoxRecorder boxes(IDYES);
  Paste(L"http://www.daruruvi.com/song/123?from=home");
  ASSERT_TRUE(WaitFor([&] { return list->IsListed(123); }));
  SongPtr song = Find(123);
  ASSERT_TRUE(song);

  // The progress column rises to 100; once buffered, timer 1 plays the song and opens its lyric.
  std::vector<float> progress;
  ASSERT_TRUE(WaitFor([&] {
    progress.push_back(song->GetProgress());
    return workspace->GetPlayingSongId() == 123;
  }));
  for (size_t i = 1; i < progress.size(); ++i) EXPECT_LE(progress[i - 1], progress[i]);
  EXPECT_GE(song->GetProgress(), 100.0f);
  EXPECT_TRUE(editor->IsWindowVisible());
  EXPECT_GE(EditorText().Find(L"[00:05.50]阳光照进窗台"), 0);
  ASSERT_TRUE(WaitFor([&] { return player->GetPosition() > 1.0; }));
  EXPECT_EQ(kPlayStatePlaying, player->GetPlayState());
  ASSERT_TRUE(WaitFor([&] { return workspace->GetFastDlg()->GetTitle().Find(L" -- 00:30") == 6; }));

  // F5 on the line "阳光照进窗台" puts the play time in front of it.
  CEdit box = editor->GetLrcEdit();
  box.SetFocus();
  int line = EditorText().Find(L"[00:05.50]");
  box.SetSel(line, line);
  double before = player->GetPosition();
  editor->OnKeyDown(VK_F5);
  double after = player->GetPosition();
  CString tag = EditorText().Mid(line, 10);
  int tagMs = _wtoi(tag.Mid(1, 2)) * 60000 + static_cast<int>(_wtof(tag.Mid(4, 5)) * 1000 + 0.5);
  EXPECT_GE(tagMs, static_cast<int>(before * 100) * 10) << tag;
  EXPECT_LE(tagMs, static_cast<int>(after * 1000) + 10) << tag;
  Picture(L"workspace_editor.png");

  // Upload (F11): the file is saved and sent whole as the form's "lyric" part.
  editor->OnKeyDown(VK_F11);
  EXPECT_EQ(L"上传完成！", boxes.last().text);
  std::string saved = testsupport::ReadFileBytes(song->GetLyricPath());
  ASSERT_NE(std::string::npos, saved.find("[00:05.50]"));
  int uploadSeq = 0;
  boost::property_tree::ptree log = standin.Log("/sdk");
  for (const auto& entry : log.get_child("requests")) {
    if (entry.second.get<std::string>("method") == "POST") uploadSeq = entry.second.get<int>("seq");
  }
  ASSERT_GT(uploadSeq, 0);
  std::string raw = standin.RawRequest(uploadSeq);
  size_t bodyAt = raw.find("\r\n\r\n");
  ASSERT_NE(std::string::npos, bodyAt);
  std::string type = Header(raw.substr(0, bodyAt + 2), "Content-Type");
  std::string boundary = type.substr(type.find("boundary=") + 9);
  EXPECT_EQ("--" + boundary +
                "\r\nContent-Disposition: form-data; name=\"lyric\"; filename=\"123.lrc\"\r\n"
                "Content-Type: application/octet-stream\r\n\r\n" +
                saved + "\r\n--" + boundary + "--\r\n",
            raw.substr(bodyAt + 4));
  EXPECT_NE(std::wstring::npos, Find(123)->GetLyric().find(L"/lyric/upload/"));

  // Back to the display ("预览"), moved on by ten seconds: it follows the player.
  workspace->GetFastDlg()->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FAST_PREVIEW, BN_CLICKED), 0);
  CLrcDisplayer* display = workspace->GetDisplayer();
  EXPECT_TRUE(display->IsWindowVisible());
  workspace->SeekBy(true, 10.0);
  ASSERT_TRUE(WaitFor([&] {
    double position = player->GetPosition() * 1000;
    const auto& lines = display->m_doc.m_vecLines;
    int current = display->GetCurrentLine();
    return current >= 0 && current + 1 < static_cast<int>(lines.size()) &&
           lines[current].nTime <= position && position < lines[current + 1].nTime + 600;
  }));
  ASSERT_TRUE(WaitFor([&] { return workspace->GetFastDlg()->GetTitle().Find(L" 00:1") == 0; }));
  Picture(L"workspace_display.png");

  // F2: the first press pauses, the next plays on.
  workspace->TogglePlayPause();
  ASSERT_TRUE(WaitFor([&] { return player->GetPlayState() == kPlayStatePaused; }));
  workspace->TogglePlayPause();
  ASSERT_TRUE(WaitFor([&] { return player->GetPlayState() == kPlayStatePlaying; }));
}

// F2 paused the song; once the song is started again, the next F2 pauses it (it does not send
// "play" to a song that plays).
TEST_F(Workspace, F2PausesASongJustStarted) {
  ASSERT_EQ(123, workspace->GetPlayingSongId());
  testsupport::MessageBoxRecorder boxes(IDNO);
  workspace->TogglePlayPause();
  ASSERT_TRUE(WaitFor([&] { return player->GetPlayState() == kPlayStatePaused; }));
  SelectRows({123});
  Command(ID_PLAY_SONG);
  ASSERT_TRUE(WaitFor([&] { return player->GetPlayState() == kPlayStatePlaying; }));
  workspace->TogglePlayPause();
  EXPECT_TRUE(WaitFor([&] { return player->GetPlayState() == kPlayStatePaused; }));
}

// Where the control cannot play, the player's own bar seeks: a click on it, or a drag along it
// (past its ends too), moves the song there, and the lyric display follows at once, as for F3
// and F4. Clicks above the bar, and moves without the button, leave the song where it is.
TEST_F(Workspace, ThePlayersBarSeeksAndTheDisplayFollows) {
  ASSERT_EQ(123, workspace->GetPlayingSongId());
  CPlayerPanel* panel = workspace->GetPlayerPanel();
  ASSERT_TRUE(panel->IsWindow());
  player->Pause();  // positions stay where the bar puts them
  ASSERT_TRUE(WaitFor([&] { return player->GetPlayState() == kPlayStatePaused; }));
  CRect client;
  panel->GetClientRect(&client);
  const CRect bar = CPlayerPanel::BarRect(client);
  const double duration = 30.0;  // the stand-in's songs
  struct {
    UINT message;
    double part;  // of the bar, left to right
    int y;        // from the panel's foot
    double seconds;
  } steps[] = {
      {WM_LBUTTONDOWN, 0.5, 8, 15.0},  {WM_LBUTTONUP, 0.5, 8, 15.0},  {WM_MOUSEMOVE, 0.9, 8, 15.0},
      {WM_LBUTTONDOWN, 0.9, 36, 15.0}, {WM_LBUTTONUP, 0.9, 36, 15.0}, {WM_LBUTTONDOWN, 0.2, 4, 6.0},
      {WM_MOUSEMOVE, 0.8, 20, 24.0},   {WM_MOUSEMOVE, -0.5, 8, 0.0},  {WM_LBUTTONUP, 0.6, 30, 18.0},
      {WM_MOUSEMOVE, 0.1, 8, 18.0},
  };
  for (const auto& step : steps) {
    const int x = bar.left + static_cast<int>(bar.Width() * step.part);
    panel->SendMessage(step.message, step.message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                       MAKELPARAM(x, client.bottom - step.y));
    EXPECT_NEAR(step.seconds, player->GetPosition(), duration / bar.Width() + 0.01)
        << step.message << " at " << step.part;
  }
  EXPECT_NE(panel->m_hWnd, GetCapture());

  // The display stands on the line sung at 18 s before its own timer could have told it.
  CLrcDisplayer* display = workspace->GetDisplayer();
  CRect area;
  display->GetClientRect(&area);
  testsupport::Canvas canvas(area.Width(), area.Height());
  display->Paint(canvas.hdc(), area, GetTickCount());
  const auto& lines = display->m_doc.m_vecLines;
  const int current = display->GetCurrentLine();
  ASSERT_TRUE(current >= 0 && current + 1 < static_cast<int>(lines.size())) << current;
  EXPECT_LE(lines[current].nTime, 18000 + 100);
  EXPECT_GT(lines[current + 1].nTime, 18000 - 100);
}

TEST_F(Workspace, TheSongMenuGreysTheOneRowCommandsForSeveralRows) {
  ASSERT_GE(RowOf(123), 0);
  Paste(L"http://www.daruruvi.com/album/456");  // adds 124 and 125 behind 123
  ASSERT_TRUE(WaitFor([&] { return list->GetItemCount() == 3; }));
  {
    testsupport::MessageBoxRecorder boxes;
    SelectRows({});
    Notify(NM_RCLICK);
    EXPECT_EQ(L"未选中列表歌曲！！", boxes.last().text);
  }
  SelectRows({123, 124});
  g_menuGrey = g_menuOwnerDraw = 0;
  SetTimer(nullptr, 0, 100, InspectTrackedMenu);
  Notify(NM_RCLICK);
  EXPECT_EQ(static_cast<UINT>(MF_GRAYED), g_menuGrey);
  EXPECT_EQ(static_cast<UINT>(MF_OWNERDRAW), g_menuOwnerDraw);
}

// The row just opened by a double-click is not opened a second time: a song still buffering is
// announced once.
TEST_F(Workspace, ADoubleClickOpensTheRowOnce) {
  ASSERT_TRUE(
      standin.SetScenario(R"({"http": {"match": "/audio/124", "pieces": 8, "pause_ms": 300}})"));
  ASSERT_GE(RowOf(124), 0);
  ASSERT_FALSE(Find(124)->IsBufferingStarted());
  testsupport::MessageBoxRecorder boxes(IDNO);
  Paste(L"http://www.daruruvi.com/song/124");
  ASSERT_TRUE(WaitFor([&] {
    SongPtr song = Find(124);
    return RowOf(124) >= 0 && song && song->IsBufferingStarted();
  }));
  ASSERT_FALSE(Find(124)->IsBuffered());
  SelectRows({124});
  Notify(NM_DBLCLK, RowOf(124));
  std::vector<std::wstring> texts = boxes.texts();
  EXPECT_EQ(1, std::count(texts.begin(), texts.end(), L"等等嘛~缓冲完成就会自动播放啦！"));
  // Once buffered it starts by itself.
  ASSERT_TRUE(WaitFor([&] { return workspace->GetPlayingSongId() == 124; }));
}

// Answered No, "download the lyric again" keeps the user's file and fetches nothing.
TEST_F(Workspace, DownloadingTheLyricAgainAnsweredNoKeepsTheFile) {
  SongPtr song = Find(123);
  ASSERT_TRUE(song && RowOf(123) >= 0);
  ASSERT_TRUE(testsupport::WriteFileBytes(song->GetLyricPath(), "[00:01.00]mine\r\n"));
  testsupport::MessageBoxRecorder boxes(IDNO);
  SelectRows({123});
  Command(ID_DOWNLOAD_LYRIC_AGAIN);
  EXPECT_EQ(L"已有歌词文件存在，是否替换？", boxes.last().text);
  EXPECT_EQ("[00:01.00]mine\r\n", testsupport::ReadFileBytes(song->GetLyricPath()));
  EXPECT_EQ(CString(L"[00:01.00]mine\r\n"), EditorText());
  EXPECT_EQ(0u, standin.Log("/lyric/").get_child("requests").size());
}

// Answered Yes, "download the lyric again" puts only a whole new file in place of the user's:
// a download that fails leaves the file as it was, and says so.
TEST_F(Workspace, ALyricDownloadThatFailsKeepsTheFile) {
  SongPtr song = Find(123);
  ASSERT_TRUE(song && RowOf(123) >= 0);
  song->SetLyric(em_utility::utf8_to_wide(standin.Url("/lyric/123.lrc")).GetString());
  ASSERT_TRUE(standin.SetScenario(R"({"http": {"match": "/lyric/", "status": 500}})"));
  ASSERT_TRUE(testsupport::WriteFileBytes(song->GetLyricPath(), "[00:01.00]mine\r\n"));
  editor->SetModified(false);  // nothing of earlier tests to save
  testsupport::MessageBoxRecorder boxes(IDYES);
  SelectRows({123});
  Command(ID_DOWNLOAD_LYRIC_AGAIN);
  EXPECT_EQ("[00:01.00]mine\r\n", testsupport::ReadFileBytes(song->GetLyricPath()));
  EXPECT_EQ(CString(L"[00:01.00]mine\r\n"), EditorText());
  EXPECT_EQ(L"歌词下载失败，原有的歌词文件没有改动！", boxes.last().text);

  ASSERT_TRUE(standin.SetScenario(R"({"http": {"match": "/nothing/"}})"));
  Command(ID_DOWNLOAD_LYRIC_AGAIN);
  std::string fetched = testsupport::ReadFileBytes(song->GetLyricPath());
  EXPECT_NE(std::string::npos, fetched.find("[00:05.50]")) << fetched;
  EXPECT_FALSE(FileExists((song->GetLyricPath() + L".download").c_str()));
}

TEST_F(Workspace, ResettingAndDeletingRows) {
  SongPtr song = Find(123);
  ASSERT_TRUE(song && RowOf(123) >= 0 && song->IsBuffered());
  testsupport::MessageBoxRecorder boxes(IDYES);
  SelectRows({123});
  Command(ID_RESET_SONG_BUFFER);
  EXPECT_EQ(0.0f, song->GetProgress());
  EXPECT_FALSE(FileExists(song->GetMp3Path().c_str()));

  const int rows = list->GetItemCount();
  Command(ID_DELETE_SONGS);
  EXPECT_EQ(L"确定要删除选中的歌曲？", boxes.last().text);
  EXPECT_EQ(rows - 1, list->GetItemCount());
  EXPECT_FALSE(list->IsListed(123));
  ASSERT_TRUE(Find(123));  // the song stays known
  workspace->AddSong(Find(123), true);
  EXPECT_EQ(rows, list->GetItemCount());
}

// On the orange selection a row's grey text could hardly be read: a selected row is white.
TEST_F(Workspace, TheSelectedRowIsWrittenInWhite) {
  SongPtr song = MakeSongPtr();
  ASSERT_TRUE(song->FromJsonString(R"({"song_id": 9100, "song_name": "选中的歌"})"));
  workspace->AddSong(song, true);
  const int row = RowOf(9100);
  ASSERT_GE(row, 0);
  const COLORREF rowText = row % 2 == 0 ? 0x6E6E6E : 0xC8C8C8;
  CRect cell(0, 0, 150, 24);
  for (bool selected : {false, true}) {
    testsupport::Canvas canvas(cell.Width(), cell.Height());
    list->DrawSubItem(canvas.hdc(), row, 1, &cell, selected, false);
    EXPECT_EQ(selected, canvas.Count(RGB(255, 255, 255)) > 0) << selected;
    EXPECT_EQ(!selected, canvas.Count(rowText) > 0) << selected;
  }
}

// Ink per pixel column of what differs from the background, without the blank columns around.
std::vector<int> InkColumns(const testsupport::Canvas& canvas, COLORREF background) {
  std::vector<int> columns;
  for (int x = 0; x < canvas.width(); ++x) {
    columns.push_back(canvas.height() - canvas.Count(background, CRect(x, 0, x + 1, canvas.height())));
  }
  while (!columns.empty() && columns.back() == 0) columns.pop_back();
  columns.erase(columns.begin(), std::find_if(columns.begin(), columns.end(), [](int n) { return n; }));
  return columns;
}

TEST_F(Workspace, RowNumbersAreWrittenWholePastNinetyNine) {
  SongPtr song = MakeSongPtr();
  ASSERT_TRUE(song->FromJsonString(R"({"song_id": 9200, "song_name": "第一百首"})"));
  CMainFrame::GetInstance()->GetSongMap().Insert(song);
  CPlayListViewCtrl numbers;
  ASSERT_TRUE(numbers.Create(g_site2->host, CRect(0, 0, 400, 200), nullptr, WS_CHILD | LVS_REPORT));
  for (int row = 0; row < 999; ++row) {
    numbers.SetItemData(numbers.InsertItem(row, L""), 9200);
  }
  CFont font;
  CreateSkinFont(font, 13, FW_NORMAL, DEFAULT_CHARSET, FF_SWISS);
  const CRect cell(0, 0, 30, 75);  // the number column's width
  for (int row : {8, 98, 99, 998}) {
    const COLORREF background = row % 2 == 0 ? 0x251F25 : 0x2C282E;
    testsupport::Canvas drawn(cell.Width(), cell.Height());
    numbers.DrawSubItem(drawn.hdc(), row, 0, const_cast<CRect*>(&cell), false, false);
    // The same number drawn with room to spare.
    testsupport::Canvas whole(200, cell.Height(), background);
    whole.dc().SelectFont(font);
    whole.dc().SetBkMode(TRANSPARENT);
    whole.dc().SetTextColor(row % 2 == 0 ? 0x6E6E6E : 0xC8C8C8);
    CString text;
    text.Format(L"%d", row + 1);
    CRect room(0, 0, 200, cell.Height());
    whole.dc().DrawText(text, -1, &room, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    EXPECT_EQ(InkColumns(whole, background), InkColumns(drawn, background)) << row + 1;
  }
  numbers.DestroyWindow();
}

TEST_F(Workspace, ClearingTheListAsksAndEndsOnTheDisplay) {
  ASSERT_GT(list->GetItemCount(), 0);
  testsupport::MessageBoxRecorder boxes({IDNO, IDYES});
  Command(ID_CLEAR_SONG_LIST);
  EXPECT_GT(list->GetItemCount(), 0);
  EXPECT_TRUE(workspace->GetDisplayer()->IsWindowVisible());
  Command(ID_CLEAR_SONG_LIST);
  EXPECT_EQ(L"确定要清空所有歌曲？", boxes.last().text);
  EXPECT_EQ(0, list->GetItemCount());
}

TEST_F(Workspace, AnAlbumAddressListsItsSongsInOrderAndBuffersTheFirst) {
  ASSERT_TRUE(
      standin.SetScenario(R"({"http": {"match": "/audio/200", "pieces": 20, "pause_ms": 300}})"));
  testsupport::MessageBoxRecorder boxes(IDNO);
  Paste(L"http://www.daruruvi.com/album/456");
  ASSERT_TRUE(WaitFor([&] { return list->GetItemCount() == 3; }));
  Paste(L"http://www.daruruvi.com/album/457");
  ASSERT_TRUE(WaitFor([&] {
    SongPtr first = Find(200);
    return list->GetItemCount() == 6 && first && first->GetProgress() > 10;
  }));
  std::vector<int> ids;
  for (int row = 0; row < list->GetItemCount(); ++row) {
    ids.push_back(static_cast<int>(list->GetItemData(row)));
  }
  EXPECT_EQ((std::vector<int>{123, 124, 125, 200, 201, 202}), ids);
  EXPECT_EQ(200, workspace->GetCurrentSongId());
  EXPECT_EQ(0.0f, Find(201)->GetProgress());
  Picture(L"workspace_list.png");
}
