#include "lyric/play_list_view.h"

#include <algorithm>

#include "app/main_frame.h"
#include "controls/skin_font.h"
#include "foundation/logger.h"
#include "winlayer/gdi_dc.h"

namespace {

constexpr COLORREF kEvenText = 0x6E6E6E;
constexpr COLORREF kEvenRow = 0x251F25;
constexpr COLORREF kOddText = 0xC8C8C8;
constexpr COLORREF kOddRow = 0x2C282E;
constexpr COLORREF kBufferedBar = 0x565656;
constexpr COLORREF kBufferingBar = 0xFDB997;
// On the orange selection and on the bar of a buffered song the text is white.
constexpr COLORREF kLightText = RGB(255, 255, 255);
constexpr int kProgressColumn = 5;

// The cells' font, made once for the process.
HFONT CellFont() {
  static CFont font;
  static const HFONT made = CreateSkinFont(font, 13, FW_NORMAL, DEFAULT_CHARSET, FF_SWISS);
  return made;
}

SongPtr FindSong(int songId) {
  bool found = false;
  SongPtr song = CMainFrame::GetInstance()->GetSongMap().Find(songId, &found);
  return found ? song : SongPtr();
}

}  // namespace

ProgressCell MeasureProgressCell(const Song& song, int cellWidth) {
  const float progress = song.GetProgress();
  const float part = std::min(progress / 100.0f, 1.0f);
  ProgressCell cell{static_cast<int>(part > 0 ? part * cellWidth : 0), song.IsBuffered(), L"100%"};
  if (!cell.buffered) cell.text.Format(L"%.1f%%", progress);
  return cell;
}

void CPlayListViewCtrl::InitColumns() {
  // "艺人" goes in before "专辑", at an index that pushes it behind.
  InsertColumn(0, L"", LVCFMT_RIGHT, 30);
  InsertColumn(1, L"歌曲名", LVCFMT_CENTER, 150);
  InsertColumn(3, L"艺人", LVCFMT_CENTER, 100);
  InsertColumn(2, L"专辑", LVCFMT_CENTER, 180);
  InsertColumn(4, L"锁定", LVCFMT_CENTER, 70);
  InsertColumn(5, L"进度", LVCFMT_CENTER, 60);
}

bool CPlayListViewCtrl::ListId(int songId) {
  CLockGuard guard(m_lock);
  bool listed = std::find(m_listIds.begin(), m_listIds.end(), songId) != m_listIds.end();
  GetLogger()->log(em_utility::log_level::important, L"Add song, songid = %d, bInList = %d", songId,
                   listed ? 1 : 0);
  if (!listed) m_listIds.push_back(songId);
  return !listed;
}

void CPlayListViewCtrl::AppendRow(int songId, const wchar_t* texts[5]) {
  int row = InsertItem(GetItemCount(), L"");
  for (int column = 1; column <= 5; ++column) SetItemText(row, column, texts[column - 1]);
  SetItemData(row, static_cast<DWORD_PTR>(songId));
}

void CPlayListViewCtrl::AddSongItem(const CSongItem* item) {
  if (!item || !ListId(item->song_id)) return;
  CString locked;
  locked.Format(L"%d", item->lyric_locked);
  CString progress;
  progress.Format(L"%.2f%%", item->extra_real);
  const wchar_t* texts[5] = {item->song_name, item->album_name, item->artist_name, locked,
                             progress};
  AppendRow(item->song_id, texts);
}

void CPlayListViewCtrl::AddSong(const SongPtr& song) {
  if (!song || !ListId(song->GetSongId())) return;
  CMainFrame::GetInstance()->GetSongMap().Insert(song);
  CString progress;
  progress.Format(L"%.2f%%", song->GetProgress());
  const std::wstring name = song->GetSongName();
  const std::wstring album = song->GetAlbumName();
  const std::wstring singers = song->GetSingers();
  const std::wstring lyric = song->GetLyric();
  const wchar_t* texts[5] = {name.c_str(), album.c_str(), singers.c_str(), lyric.c_str(), progress};
  AppendRow(song->GetSongId(), texts);
}

void CPlayListViewCtrl::AddSongItems(const std::vector<CSongItem>& items) {
  for (const CSongItem& item : items) {
    if (item.song_id < 1) break;
    AddSongItem(&item);
  }
}

void CPlayListViewCtrl::RemoveItem(int row, int) {
  int songId = static_cast<int>(GetItemData(row));
  SetItemData(row, 0);
  DeleteItem(row);
  CLockGuard guard(m_lock);
  auto listed = std::find(m_listIds.begin(), m_listIds.end(), songId);
  if (listed != m_listIds.end()) m_listIds.erase(listed);
}

void CPlayListViewCtrl::SelectSong(int songId) {
  const UINT mask = LVIS_SELECTED | LVIS_FOCUSED;
  for (int row = GetItemCount() - 1; row >= 0; --row) {
    SetItemState(row, static_cast<int>(GetItemData(row)) == songId ? mask : 0, mask);
  }
}

bool CPlayListViewCtrl::IsListed(int songId) {
  CLockGuard guard(m_lock);
  return std::find(m_listIds.begin(), m_listIds.end(), songId) != m_listIds.end();
}

SongPtr CPlayListViewCtrl::GetNextBufferedSong(int songId) {
  int count = GetItemCount();
  int row = 0;
  while (row < count && static_cast<int>(GetItemData(row)) != songId) ++row;
  for (++row; row < count; ++row) {
    SongPtr song = FindSong(static_cast<int>(GetItemData(row)));
    if (song && song->IsBuffered()) return song;
  }
  return SongPtr();
}

LRESULT CPlayListViewCtrl::OnSongProgress(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  int songId = static_cast<int>(wParam);
  if (songId == 0) return 1;
  SongPtr song = FindSong(songId);
  if (song) {
    CLockedMap<Song>& songs = CMainFrame::GetInstance()->GetSongMap();
    {
      auto lock = songs.GetLock();
      song->SetProgress(static_cast<float>(lParam));
    }
    songs.Update(song);
    InvalidateRect(nullptr, TRUE);
  }
  return 0;
}

void CPlayListViewCtrl::DrawSubItem(HDC hdc, int item, int subItem, RECT* cell, bool selected,
                                    bool focused) {
  CDCHandle dc(hdc);
  int saved = dc.SaveDC();
  dc.SelectFont(CellFont());
  dc.SetBkMode(TRANSPARENT);
  const bool even = item % 2 == 0;
  dc.SetTextColor(selected ? kLightText : even ? kEvenText : kOddText);
  FillItemBackground(hdc, *cell, selected, focused, item, kSelectedColour,
                     even ? kEvenRow : kOddRow);
  SongPtr song = FindSong(static_cast<int>(GetItemData(item)));
  if (song) {
    CRect text(*cell);
    text.left += 10;
    const UINT format = DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    CString cellText;
    switch (subItem) {
      case 0:
        cellText.Format(L"%d", item + 1);
        break;
      case 1:
        cellText = song->GetSongName().c_str();
        break;
      case 2:
        cellText = song->GetAlbumName().c_str();
        break;
      case 3:
        cellText = song->GetSingers().c_str();
        break;
      default:
        break;
    }
    if (subItem == 0) {
      // A number cut to "1..." names no row: one too wide for the indented cell takes the
      // whole cell.
      CSize size;
      dc.GetTextExtent(cellText, cellText.GetLength(), &size);
      if (size.cx > text.Width()) text.left = cell->left;
      dc.DrawText(cellText, cellText.GetLength(), &text, format & ~DT_END_ELLIPSIS);
    } else if (subItem <= 3) {
      dc.DrawText(cellText, cellText.GetLength(), &text, format);
    }
    if (subItem == kProgressColumn) {
      ProgressCell progress = MeasureProgressCell(*song, cell->right - cell->left);
      CRect bar(*cell);
      bar.right = bar.left + progress.barWidth;
      dc.FillSolidRect(&bar, progress.buffered ? kBufferedBar : kBufferingBar);
      if (progress.buffered) dc.SetTextColor(kLightText);
      dc.DrawText(progress.text, progress.text.GetLength(), &text, format);
    }
  }
  dc.RestoreDC(saved);
}
