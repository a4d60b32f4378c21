#include "lyric/lrcedit_dlg.h"

#include <algorithm>

#include "app/main_frame.h"
#include "controls/skin_font.h"
#include "controls/skin_scrollbar.h"
#include "foundation/common_helpers.h"
#include "foundation/logger.h"
#include "foundation/message_box.h"
#include "resources/scrollbar_skin.h"
#include "lyric/song_download.h"
#include "webdata/album.h"
#include "webdata/proto_replies.h"

namespace {

constexpr int kTimerMs = 500;
constexpr int kIdleTimerMs = 240000;
constexpr int kPlayerHeight = 44;
constexpr int kStripHeight = 30;
constexpr int kSplitterWidth = 3;
const wchar_t kNoticeCaption[] = L"温馨提示";

// "mm:ss" of whole seconds, as the strip shows the play time.
CString PlayTimeText(double seconds) {
  int whole = seconds > 0 ? static_cast<int>(seconds) : 0;
  CString text;
  text.Format(L"%2d:%2d", whole / 60, whole % 60);
  text.Replace(L' ', L'0');
  return text;
}

}  // namespace

CLrceditDlg::CLrceditDlg() = default;

HBITMAP CLrceditDlg::GetScrollBarSkin() {
  static const HBITMAP skin = static_cast<HBITMAP>(
      ::LoadImageW(_Module.GetResourceInstance(), MAKEINTRESOURCEW(IDB_SCROLLBAR_SKIN),
                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  return skin;
}

CLrceditDlg::~CLrceditDlg() {
  if (m_hMenu) ::DestroyMenu(m_hMenu);
}

// ---- creation and layout

BOOL CLrceditDlg::OnInitDialog(HWND, LPARAM) {
  ModifyStyle(0, WS_CLIPCHILDREN);
  CenterWindow(GetParent());

  m_hPlayerWnd = GetDlgItem(IDC_PLAYER);
  if (m_hPlayerWnd) {
    ::SetParent(m_hPlayerWnd, m_hWnd);
    IWMPPlayer* control = nullptr;
    if (SUCCEEDED(CAxWindow(m_hPlayerWnd).QueryControl(&control))) {
      m_player.Attach(control);
      control->Release();
    }
    CWindow(m_hPlayerWnd).ModifyStyle(0, WS_CLIPCHILDREN);
  }
  if (m_player.UsesSubstitute()) {
    ::ShowWindow(m_hPlayerWnd, SW_HIDE);
    m_wndPlayerPanel.Create(m_hWnd, CRect(0, 0, 0, 0), nullptr, WS_CHILD | WS_VISIBLE);
    m_wndPlayerPanel.SetSeekHandler([this](double seconds) { SeekTo(seconds); });
  }

  m_wndDisplayer.Init();
  m_wndDisplayer.Create(m_hWnd, CRect(0, 0, 0, 0));
  m_wndDisplayer.ShowWindow(SW_SHOW);
  m_wndDisplayer.SetStyle(5, true, 0x7D7D7D, 0x00FF00, 0x320000);

  m_wndSongList.Create(m_hWnd, CRect(0, 0, 0, 0), nullptr,
                       WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS);
  m_wndSongList.SetExtendedListViewStyle(LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  m_wndSongList.ModifyStyle(WS_CLIPSIBLINGS | LVS_NOSCROLL | LVS_NOCOLUMNHEADER | LVS_NOSORTHEADER,
                            0);
  m_wndSongList.ModifyStyleEx(WS_EX_CLIENTEDGE, 0);
  m_wndSongList.InitColumns();
  CreateSkinFont(m_listFont, 12, FW_NORMAL, DEFAULT_CHARSET, FF_SWISS);
  m_wndSongList.SetFont(m_listFont);

  m_wndEdit.Create(m_hWnd);
  m_wndEdit.ShowWindow(SW_HIDE);
  m_wndFast.Create(m_hWnd);
  m_wndFast.ShowWindow(SW_SHOW);

  m_hMenu = ::LoadMenuW(_Module.GetResourceInstance(), MAKEINTRESOURCEW(IDR_SONG_LIST_MENU));

  SkinSB_DetachWindow(m_wndSongList);
  SkinSB_AttachWindow(m_wndSongList, GetScrollBarSkin());

  SetTimer(kPositionTimer, kTimerMs);
  SetTimer(kStartTimer, kTimerMs);
  SetTimer(kIdleTimer, kIdleTimerMs);

  CRect client;
  GetClientRect(&client);
  m_wndSplitter.Create(m_hWnd, CRect(client.right - kColumnWidth - 4, 52,
                                     client.right - kColumnWidth, client.bottom - 30));
  m_wndSplitter.SetLimits(true, 100, 200);
  m_wndSplitter.SetCallback(OnSplitterMoved, this);
  m_wndSplitter.ShowWindow(SW_SHOW);
  return TRUE;
}

void CLrceditDlg::OnDestroy() {
  CloseMedia();
}

void CLrceditDlg::OnSize(UINT, CSize size) {
  Layout(size.cx, size.cy, 0);
}

void CLrceditDlg::Layout(int width, int height, int offset) {
  RECT work = {0, 0, width, height};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  width = std::min(width, static_cast<int>(work.right - work.left));
  height = std::min(height, static_cast<int>(work.bottom - work.top));
  const int column = kColumnWidth + offset;
  const int x = width - column;
  auto place = [](HWND window, int left, int top, int w, int h) {
    if (::IsWindow(window)) ::MoveWindow(window, left, top, w, h, TRUE);
  };
  place(m_wndSplitter, x - kSplitterWidth, 0, kSplitterWidth, height);
  if (::IsWindow(m_wndSongList)) {
    place(m_wndSongList, 0, 0, x - kSplitterWidth, height);
    m_wndSongList.FitColumnWidth(1, x - kSplitterWidth);
  }
  place(m_hPlayerWnd, x, 0, column, kPlayerHeight);
  place(m_wndPlayerPanel, x, 0, column, kPlayerHeight);
  place(m_wndFast, x, kPlayerHeight, column, kStripHeight);
  place(m_wndDisplayer, x, kPlayerHeight + kStripHeight, column,
        height - kPlayerHeight - kStripHeight);
  place(m_wndEdit, x, kPlayerHeight + kStripHeight, column, height - kPlayerHeight - kStripHeight);
  if (IsWindowVisible()) RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CLrceditDlg::ShowEditor(bool editor) {
  m_wndDisplayer.ShowWindow(editor ? SW_HIDE : SW_SHOW);
  m_wndEdit.ShowWindow(editor ? SW_SHOW : SW_HIDE);
}

// ---- the player

double CLrceditDlg::GetCurrentPosition() {
  return m_player.IsAttached() ? m_player.GetPosition() : 0.0;
}

void CLrceditDlg::SeekBy(bool forward, double seconds) {
  SeekTo(GetCurrentPosition() + (forward ? seconds : -seconds));
}

void CLrceditDlg::SeekTo(double seconds) {
  m_wndDisplayer.SetTime(static_cast<int>(seconds * 1000));
  m_player.SetPosition(seconds);
}

void CLrceditDlg::TogglePlayPause() {
  if (!FindSong(m_nPlayingId)) return;
  if (m_bPlayToggle) {
    m_player.Pause();
  } else {
    m_player.Play();
  }
  m_bPlayToggle = !m_bPlayToggle;
}

void CLrceditDlg::CloseMedia() {
  m_player.Detach();
  m_hPlayerWnd = nullptr;
}

void CLrceditDlg::OnTimer(UINT_PTR id) {
  if (id == kPositionTimer) {
    OnPositionTimer();
  } else if (id == kStartTimer) {
    OnStartTimer();
  }
}

void CLrceditDlg::OnPositionTimer() {
  if (!m_player.IsAttached()) return;
  if (m_wndPlayerPanel.m_hWnd) m_wndPlayerPanel.Invalidate(FALSE);
  MediaPlayState state = m_player.GetPlayState();
  if (state != kPlayStatePlaying && state != kPlayStatePaused) {
    m_wndDisplayer.SetTime(0);
    m_wndDisplayer.Pause();
    m_wndFast.SetTitle(CString());
    return;
  }
  double position = m_player.GetPosition();
  m_wndDisplayer.SetTime(static_cast<int>(position * 1000));
  if (FindSong(m_nPlayingId)) {
    CString duration = m_player.GetDurationText();
    if (!duration.IsEmpty()) {
      CString title;
      title.Format(L" %s -- %s", PlayTimeText(position).GetString(), duration.GetString());
      m_wndFast.SetTitle(title);
    }
  }
  if (state == kPlayStatePaused) m_wndDisplayer.Pause();
}

void CLrceditDlg::OnStartTimer() {
  if (m_nCurrentId <= 0 || m_nCurrentId == m_nPlayingId) return;
  SongPtr song = FindSong(m_nCurrentId);
  if (!song || !song->IsBuffered()) return;
  m_nCurrentId = -1;
  PlayBufferedSong(song);
}

// ---- songs

SongPtr CLrceditDlg::FindSong(int songId) {
  bool found = false;
  SongPtr song = CMainFrame::GetInstance()->GetSongMap().Find(songId, &found);
  return found ? song : SongPtr();
}

void CLrceditDlg::CreateEmptyLyricFile(const CString& path) {
  // The editor always opens a file: an empty one when the lyric could not be fetched.
  HANDLE file = ::CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
}

void CLrceditDlg::FetchMissingLyric(const SongPtr& song) {
  CString path = song->GetLyricPath().c_str();
  if (!FileExists(path) &&
      DownloadWithProgress(song->GetLyric().c_str(), path, nullptr, 0) != kSongDownloadDone) {
    CreateEmptyLyricFile(path);
  }
}

void CLrceditDlg::LoadSongLyric(const SongPtr& song) {
  // The question about the editor's unsaved work comes before the download, which blocks.
  if (!song || !m_wndEdit.ConfirmDiscard()) return;
  FetchMissingLyric(song);
  CMainFrame::GetInstance()->SetCursorState(1);
  if (m_wndEdit.OpenSong(song)) {
    ShowEditor(true);
    m_wndDisplayer.SetTime(0);
  }
}

void CLrceditDlg::PlaySong(const SongPtr& chosen) {
  SongPtr song = chosen ? FindSong(chosen->GetSongId()) : SongPtr();
  if (!song) return;
  const int id = song->GetSongId();
  if (song->IsBuffered()) {
    m_player.Stop();
    StartPlayer(song);
    m_nCurrentId = id;
  } else if (song->IsBufferingStarted()) {
    ShowMessageBox(m_hWnd, L"等等嘛~缓冲完成就会自动播放啦！", kNoticeCaption, MB_ICONWARNING);
    m_nCurrentId = id;
  } else {
    BufferSong(song);
    m_nCurrentId = id;
  }
}

void CLrceditDlg::PlayBufferedSong(const SongPtr& song) {
  // The editor's unsaved work is asked about before anything changes; a save that fails keeps
  // the song from starting.
  if (!song || !m_wndEdit.ConfirmDiscard()) return;
  m_wndSongList.SelectSong(song->GetSongId());
  LoadSongLyric(song);
  StartPlayer(song);
}

void CLrceditDlg::StartPlayer(const SongPtr& song) {
  m_player.Open(song->GetMp3Path().c_str());
  m_player.Play();
  m_bMediaLoaded = true;
  m_nPlayingId = song->GetSongId();
  // The song plays: the next F2 pauses it, whatever F2 did to the song before.
  m_bPlayToggle = true;
}

void CLrceditDlg::BufferSong(const SongPtr& chosen) {
  SongPtr song = chosen ? FindSong(chosen->GetSongId()) : SongPtr();
  if (!song) return;
  bool idle;
  {
    auto lock = CMainFrame::GetInstance()->GetSongMap().GetLock();
    idle = !song->IsBufferingStarted() && !song->GetDownloadThread();
  }
  if (idle) {
    StartDownloadTask(song->GetTrackUrl().c_str(), song->GetMp3Path().c_str(), m_wndSongList, song);
  }
}

void CLrceditDlg::StartDownloadTask(const CString& url, const CString& path, HWND notify,
                                    const SongPtr& song) {
  StartSongDownload(url, path, notify, song);
}

void CLrceditDlg::AddSongItem(const CSongItem* item, bool keepCurrent) {
  if (!item || item->song_id <= 0) return;
  RunOnUiThread([&] {
    m_wndSongList.AddSongItem(item);
    if (!keepCurrent) m_nCurrentId = item->song_id;
  });
}

void CLrceditDlg::AddSongItems(const std::vector<CSongItem>& items) {
  for (size_t i = 0; i < items.size(); ++i) AddSongItem(&items[i], i != 0);
}

void CLrceditDlg::AddSong(SongPtr song, bool keepCurrent) {
  if (!song || song->GetSongId() <= 0) return;
  RunOnUiThread([&] {
    m_wndSongList.AddSong(song);
    if (keepCurrent) return;
    BufferSong(song);
    m_nCurrentId = song->GetSongId();
  });
}

void CLrceditDlg::AddAlbumSongs(const proto::albumdetail& album) {
  boost::shared_ptr<Album> record = album.GetAlbum();
  if (!record) return;
  bool first = true;
  for (const SongPtr& song : record->GetSongs()) {
    AddSong(song, !first);
    first = false;
  }
}

void CLrceditDlg::RunOnUiThread(const std::function<void()>& work) {
  RunOnWindowThread(m_hWnd, work);
}

void CLrceditDlg::OnDrawItem(int, LPDRAWITEMSTRUCT item) {
  if (item->CtlType == ODT_MENU) {
    m_skinMenu.DrawItem(*item);
  } else {
    SetMsgHandled(FALSE);
  }
}

void CLrceditDlg::OnMeasureItem(int, LPMEASUREITEMSTRUCT item) {
  if (item->CtlType == ODT_MENU) {
    m_skinMenu.MeasureItem(*item);
  } else {
    SetMsgHandled(FALSE);
  }
}

LRESULT CLrceditDlg::OnRunOnUiThread(UINT, WPARAM wParam, LPARAM) {
  return RunSentWork(wParam);
}

// ---- commands

void CLrceditDlg::BackToDisplay() {
  ShowEditor(false);
  double position = GetCurrentPosition();
  m_wndDisplayer.OpenLyricFile(m_wndEdit.GetFilePath());
  m_wndDisplayer.SetTime(static_cast<int>(position * 1000));
}

void CLrceditDlg::OnCommand(UINT, int id, HWND) {
  switch (id) {
    case IDOK:
    case IDCANCEL:
      EndDialog(0);
      break;
    case ID_BACK_TO_DISPLAY:
      BackToDisplay();
      break;
    case ID_EDIT_SONG_LYRIC:
    case ID_PLAY_SONG:
    case ID_DOWNLOAD_LYRIC_AGAIN:
    case ID_DELETE_SONGS:
    case ID_CLEAR_SONG_LIST:
    case ID_OPEN_SONG_PAGE:
    case ID_RESET_SONG_BUFFER:
      OnSongCommand(id);
      break;
    default:
      SetMsgHandled(FALSE);
      break;
  }
}
