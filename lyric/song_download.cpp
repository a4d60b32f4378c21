#include "lyric/song_download.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "app/main_frame.h"
#include "foundation/common_helpers.h"
#include "foundation/logger.h"
#include "foundation/scoped_handle.h"
#include "webdata/download_session.h"
#include "webdata/reply_limits.h"

namespace {

constexpr DWORD kChunkBytes = 51200;

void ReportProgress(HWND notify, int songId, int percent) {
  if (songId > 0 && notify) ::SendMessageW(notify, WM_SONG_PROGRESS, songId, percent);
}

// Size of the file at path; -1 when it cannot be opened.
long long LocalFileSize(const wchar_t* path) {
  UniqueFile file(_wfopen(path, L"rb"));
  if (!file || _fseeki64(file.get(), 0, SEEK_END) != 0) return -1;
  return _ftelli64(file.get());
}

}  // namespace

int DownloadWithProgress(const wchar_t* url, const wchar_t* localPath, HWND notify, int songId) {
  GetLogger()->log(em_utility::log_level::normal, L"线程，%d开始", songId);
  InternetHandle session = OpenDownloadSession();
  if (!session) return kSongDownloadNotAvailable;
  // Audio files are large and fetched once: no copy in the browser cache, none taken from it.
  DownloadRequest request =
      OpenDownloadUrl(session.get(), url, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE);
  if (!request) return kSongDownloadCannotOpen;
  if (QueryStatusCode(request.get()) != 200) return kSongDownloadNotAvailable;

  DWORD length = 0;
  DWORD size = sizeof length;
  // A chunked reply has no length: then no local file can be known to be complete.
  bool lengthKnown =
      HttpQueryInfoW(request.get(), HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length,
                     &size, nullptr) != FALSE;
  const double total = std::max<DWORD>(length, 1);
  // Songs and lyric files (id 0) have ceilings of their own; a file past it is dropped.
  const unsigned ceiling =
      songId > 0 ? reply_limits::kSongFileBytes : reply_limits::kLyricFileBytes;
  if (lengthKnown && ExceedsDownloadCeiling(url, length, ceiling)) return kSongDownloadReadFailed;

  if (FileExists(localPath)) {
    long long have = LocalFileSize(localPath);
    if (have < 0) return kSongDownloadFileFailed;
    if (lengthKnown && have >= total) {
      ReportProgress(notify, songId, kProgressFoundComplete);
      return kSongDownloadDone;
    }
    DeleteFileLogged(localPath);
  }

  UniqueFile file(_wfopen(localPath, L"wb"));
  if (!file) return kSongDownloadFileFailed;
  auto readBody = [&]() -> int {
    bool complete = false;
    std::vector<char> chunk(kChunkBytes);
    long long received = 0;
    for (;;) {
      DWORD got = 0;
      if (!InternetReadFile(request.get(), chunk.data(), kChunkBytes, &got)) {
        return kSongDownloadReadFailed;
      }
      if (got == 0) {
        complete = true;
        break;
      }
      received += got;
      if (ExceedsDownloadCeiling(url, received, ceiling)) break;
      if (fwrite(chunk.data(), 1, got, file.get()) != got) return kSongDownloadFileFailed;
      // The song counts as buffered at 100, so 100 waits until the file is whole and closed.
      int percent = lengthKnown ? static_cast<int>(received / total * 100) : 0;
      ReportProgress(notify, songId, std::clamp(percent, 0, 99));
    }
    if (fclose(file.release()) != 0) return kSongDownloadFileFailed;
    // Past the ceiling, or closed before the length it announced: a cut file is no song.
    if (!complete || (lengthKnown && received < length)) return kSongDownloadReadFailed;
    return kSongDownloadDone;
  };
  const int result = readBody();
  if (result != kSongDownloadDone) {
    file.reset();
    // A cut song stays (with its progress) until the user resets it. A lyric file is opened as
    // it lies whenever it exists, so a cut one would pass for the song's whole lyric.
    if (songId <= 0) DeleteFileLogged(localPath);
    return result;
  }
  ReportProgress(notify, songId, 100);
  return kSongDownloadDone;
}

DWORD WINAPI SongDownloadThreadProc(LPVOID param) {
  std::unique_ptr<SongDownloadTask> task(static_cast<SongDownloadTask*>(param));
  if (!task) return 1;
  try {
    DownloadWithProgress(task->strUrl, task->strPath, task->hNotify, task->nSongId);
    CLockedMap<Song>& songs = CMainFrame::GetInstance()->GetSongMap();
    bool found = false;
    SongPtr song = songs.Find(task->nSongId, &found);
    if (found) {
      HANDLE thread = nullptr;
      {
        auto lock = songs.GetLock();
        thread = song->GetDownloadThread();
        song->SetDownloadThread(nullptr);
      }
      if (thread) ::CloseHandle(thread);
      songs.Update(song);
    }
    GetLogger()->log(em_utility::log_level::normal, L"线程，%d退出", task->nSongId);
  } catch (...) {
    GetLogger()->log(em_utility::log_level::error, L"线程，%d异常退出", task->nSongId);
  }
  return 0;
}

bool StartSongDownload(const CString& url, const CString& path, HWND notify, const SongPtr& song) {
  if (!song) return false;
  auto* task = new SongDownloadTask{url, path, notify, song->GetSongId()};
  // Suspended until its handle is in the song: a thread that ended at once would otherwise
  // leave a stale handle behind, and the song could never be buffered again.
  HANDLE thread =
      ::CreateThread(nullptr, 0, SongDownloadThreadProc, task, CREATE_SUSPENDED, nullptr);
  if (!thread) {
    delete task;
    return false;
  }
  CLockedMap<Song>& songs = CMainFrame::GetInstance()->GetSongMap();
  {
    auto lock = songs.GetLock();
    song->SetDownloadThread(thread);
  }
  bool listed = songs.Update(song);
  ::ResumeThread(thread);
  if (!listed) {
    // The thread finds no song to clear its handle in: the handle is not kept.
    {
      auto lock = songs.GetLock();
      song->SetDownloadThread(nullptr);
    }
    ::CloseHandle(thread);
  }
  return true;
}
