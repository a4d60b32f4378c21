// Song buffering: each song's audio file is downloaded on a thread of its own, which reports its
// progress to the song list; the same download, without progress, fetches lyric files.
#pragma once

#include <windows.h>

#include "webdata/song.h"
#include "winlayer/cstring.h"

// Download thread -> song list, sent (SendMessage): wParam the song id, lParam the percentage
// 0..100, or 101 when the local file was found complete.
constexpr UINT WM_SONG_PROGRESS = WM_USER + 2011;
constexpr int kProgressFoundComplete = 101;

// One download for a thread; the starter allocates it and the thread deletes it.
struct SongDownloadTask {
  CString strUrl;
  CString strPath;
  HWND hNotify = nullptr;  // null: no progress messages
  int nSongId = -1;
};

// Results of DownloadWithProgress.
enum SongDownloadResult {
  kSongDownloadDone = 0,          // downloaded now, or found complete
  kSongDownloadCannotOpen = 1,    // the address could not be opened
  kSongDownloadFileFailed = 2,    // the local file could not be opened or written
  kSongDownloadReadFailed = 3,    // the transfer broke off
  kSongDownloadNotAvailable = 4,  // offline, no session, or an HTTP status other than 200
};

// Downloads url to localPath. A local file at least as long as the reply's Content-Length is
// taken as complete (101 reported); a shorter one, or any file when the reply gives no length,
// is replaced. With a song id above 0 and a notify window, each chunk reports its percentage,
// at most 99 until the file is complete and closed, then 100. A song's file that breaks off
// stays; a lyric file's (song id 0) is deleted.
int DownloadWithProgress(const wchar_t* url, const wchar_t* localPath, HWND notify, int songId);

// Thread procedure over a SongDownloadTask: the download, then the song's thread handle in the
// main frame's song map is closed and cleared.
DWORD WINAPI SongDownloadThreadProc(LPVOID param);

// Starts buffering song from url to path, reporting to notify: the thread's handle is in the
// song (and the song written back to the song map) before the thread runs. False when no thread
// could be started.
bool StartSongDownload(const CString& url, const CString& path, HWND notify, const SongPtr& song);
