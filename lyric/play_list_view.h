// CPlayListViewCtrl: the song list of the lyric workspace, a skinned report list with one row per
// song (number, name, album, artist, and the buffering progress as a bar). Each row keeps its
// song id as item data; the cells are drawn from the songs in the main frame's song map, not
// from the texts stored in the list. The list keeps the ids it shows, so a song is listed once,
// and turns the download threads' progress messages into the songs' progress.
//
// Rows are added on the UI thread (the workspace hands adds from other threads over to it), and
// progress arrives there too, sent by the download threads.
#pragma once

#include <windows.h>

#include <list>
#include <vector>

#include "controls/skin_list_ctrl.h"
#include "foundation/lock.h"
#include "lyric/song_download.h"
#include "webdata/song.h"
#include "webdata/song_item.h"

// The progress column of a song in a cell of cellWidth: a bar as wide as the progress, never
// wider than the cell, and the text over it ("%.1f%%", or "100%" once buffered, on the buffered
// bar's own colour in white).
struct ProgressCell {
  int barWidth;
  bool buffered;
  CString text;
};
ProgressCell MeasureProgressCell(const Song& song, int cellWidth);

class CPlayListViewCtrl : public CSkinListCtrlEx {
 public:
  BEGIN_MSG_MAP(CPlayListViewCtrl)
  MESSAGE_HANDLER(WM_SONG_PROGRESS, OnSongProgress)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
  CHAIN_MSG_MAP(CSkinListCtrlEx)
  END_MSG_MAP()

  void InitColumns() override;
  void DrawSubItem(HDC dc, int item, int subItem, RECT* cell, bool selected, bool focused) override;
  int HitTestItemButton(POINT*) override { return -1; }

  // A row for the record unless its id is listed.
  void AddSongItem(const CSongItem* item);
  // A row for the song unless its id is listed; the song goes into the song map.
  void AddSong(const SongPtr& song);
  // Adds in order, up to the first record without an id.
  void AddSongItems(const std::vector<CSongItem>& items);
  // Removes the row and its id; the song stays in the song map.
  void RemoveItem(int row, int unused = 0);
  // Selects and focuses the song's row, and only that.
  void SelectSong(int songId);
  bool IsListed(int songId);
  // The first buffered song after the row of songId; empty when there is none.
  SongPtr GetNextBufferedSong(int songId);

 private:
  LRESULT OnSongProgress(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&) { return 0; }
  LRESULT OnEraseBkgnd(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  // The shared steps of the two adds: false when the id is listed already.
  bool ListId(int songId);
  void AppendRow(int songId, const wchar_t* texts[5]);

  CLock m_lock;
  std::list<int> m_listIds;
};
