// Rounds of load on the program's threads, shared by the load test (small sizes, in CI) and the
// load benchmark (full sizes, by hand): a song list added through the request queue and cleared,
// buffering downloads started and cut off by the site, requests through the queue, and a thread
// that measures message round trips to the UI thread meanwhile.
//
// The caller's thread is the UI thread: it owns the workspace's windows and pumps while it waits.
// Every wait is bounded; a round reports what did not come.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "foundation/config.h"
#include "lyric/lrcedit_dlg.h"
#include "lyric/song_download.h"
#include "resources/lyric_ids.h"
#include "support/message_box_recorder.h"
#include "support/message_pump.h"
#include "support/standin_client.h"
#include "support/temp_dir.h"
#include "tests/lyric/workspace_host.h"
#include "webdata/api_signing.h"
#include "webdata/http_request.h"
#include "webdata/web_request_kind.h"
#include "webdata/web_service.h"

namespace load {

// Measures SendMessage round trips to a window of the UI thread from a thread of its own, every
// 10 ms, until stopped.
class RoundTripProbe {
 public:
  explicit RoundTripProbe(HWND target)
      : m_target(target), m_stop(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    m_thread = CreateThread(nullptr, 0, &RoundTripProbe::Run, this, 0, nullptr);
  }
  ~RoundTripProbe() {
    Stop();
    CloseHandle(m_stop);
  }
  RoundTripProbe(const RoundTripProbe&) = delete;
  RoundTripProbe& operator=(const RoundTripProbe&) = delete;

  void Stop() {
    if (!m_thread) return;
    SetEvent(m_stop);
    testsupport::PumpMessagesUntil(
        [&] { return WaitForSingleObject(m_thread, 0) == WAIT_OBJECT_0; }, 30000);
    CloseHandle(m_thread);
    m_thread = nullptr;
  }
  // Milliseconds of each round trip; a round trip that got no answer within 10 s counts as
  // missed, not here.
  const std::vector<double>& Times() const { return m_times; }
  int Missed() const { return m_missed; }

 private:
  static DWORD WINAPI Run(LPVOID self) {
    auto* probe = static_cast<RoundTripProbe*>(self);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    while (WaitForSingleObject(probe->m_stop, 10) == WAIT_TIMEOUT) {
      LARGE_INTEGER before, after;
      QueryPerformanceCounter(&before);
      DWORD_PTR answer = 0;
      if (!SendMessageTimeoutW(probe->m_target, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer)) {
        ++probe->m_missed;
        continue;
      }
      QueryPerformanceCounter(&after);
      probe->m_times.push_back(1000.0 * static_cast<double>(after.QuadPart - before.QuadPart) /
                               static_cast<double>(frequency.QuadPart));
    }
    return 0;
  }

  HWND m_target;
  HANDLE m_stop;
  HANDLE m_thread = nullptr;
  std::vector<double> m_times;
  int m_missed = 0;
};

inline std::string JsonStringBody(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
      out += escaped;
    } else {
      out += c;
    }
  }
  return out;
}

// The frame's workspace on the screen, the frame with a window so that its dispatch hands the
// results to the workspace, and the request queue.
class LoadSite {
 public:
  static constexpr int kFirstAlbumSong = 500000;
  static constexpr int kFirstBufferedSong = 600000;
  // The album the reply describes: the cache keeps it by that id.
  static constexpr int kAlbumId = 456;

  // What went wrong in the last step; empty when it worked.
  const std::string& error() const { return m_error; }

  bool Open() {
    if (!m_standin.ok()) return Fail("no stand-in: " + m_standin.error());
    if (!m_standin.Reset()) return Fail("the stand-in does not reset");
    GetConfig()->ApiURL =
        CString(std::wstring(m_standin.Host().begin(), m_standin.Host().end()).c_str());
    m_host.Open(SIZE{1000, 560}, 40);
    if (!m_workspace->IsWindow()) return Fail("no workspace window");
    m_frameWindow = CreateWindowExW(0, L"STATIC", L"frame", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                    nullptr, nullptr);
    CMainFrame::GetInstance()->Attach(m_frameWindow);
    CMainFrame::GetInstance()->SetDataObserverForTesting(
        [this](bool, int, int) { InterlockedIncrement(&m_delivered); });
    if (!CWebService::Instance()->Start()) return Fail("the queue's worker did not start");
    return MakeAlbumReply();
  }

  void Close() {
    CWebService::Instance()->Stop();
    CMainFrame::GetInstance()->SetDataObserverForTesting(nullptr);
    CMainFrame::GetInstance()->Detach();
    if (m_frameWindow) DestroyWindow(m_frameWindow);
  }

  // The window that the round-trip probe sends to: the workspace's, on the UI thread.
  HWND UiWindow() const { return *m_workspace; }

  // An album of songs comes through the queue into the song list.
  bool AddSongList() {
    if (!m_standin.SetScenario(m_albumScenario)) return Fail("album scenario refused");
    auto* param = new WebRequestParam{{0, 0, 0, kAlbumId, kAlbumId, 0}};
    CWebService::Instance()->DispatchRequest(WebRequestKind::AlbumDetail, RequestParamId(param), 0);
    CPlayListViewCtrl* list = m_workspace->GetSongList();
    if (!testsupport::PumpMessagesUntil([&] { return list->GetItemCount() == m_albumSongs; },
                                        120000)) {
      return Fail("the album's songs did not all reach the list: " +
                  std::to_string(list->GetItemCount()));
    }
    // The first song buffers; it ends before the list goes.
    if (!WaitForDownloads({kFirstAlbumSong})) return false;
    return m_standin.Reset() || Fail("the stand-in does not reset");
  }

  // The user empties the song list (answering yes).
  bool ClearSongList() {
    testsupport::MessageBoxRecorder boxes(IDYES);
    m_workspace->SendMessage(WM_COMMAND, MAKEWPARAM(ID_CLEAR_SONG_LIST, 0), 0);
    return m_workspace->GetSongList()->GetItemCount() == 0 || Fail("the list was not cleared");
  }

  // Songs buffer on threads of their own while the site cuts every transfer short.
  bool BufferAndCut(int count) {
    if (!m_standin.SetScenario(
            R"({"http": {"match": "/audio/", "pieces": 4, "pause_ms": 50, "truncate": 30000}})")) {
      return Fail("cut scenario refused");
    }
    CLockedMap<Song>& songs = CMainFrame::GetInstance()->GetSongMap();
    const std::wstring url = Wide(m_standin.Url("/audio/123.mp3"));
    std::vector<int> ids;
    for (int i = 0; i < count; ++i) {
      int id = kFirstBufferedSong + i;
      bool found = false;
      SongPtr song = songs.Find(id, &found);
      if (!found) {
        song = MakeSongPtr();
        song->SetSongId(id);
        songs.Insert(song);
      }
      std::wstring path = m_files.file(std::to_wstring(id) + L".mp3");
      if (!StartSongDownload(url.c_str(), path.c_str(), *m_workspace->GetSongList(), song)) {
        return Fail("a download thread did not start");
      }
      ids.push_back(id);
      // As between a user's choices: the UI thread takes its messages between the starts.
      testsupport::PumpMessages();
    }
    if (!WaitForDownloads(ids)) return false;
    for (int id : ids) DeleteFileW(m_files.file(std::to_wstring(id) + L".mp3").c_str());
    return m_standin.Reset() || Fail("the stand-in does not reset");
  }

  // Requests through the queue in batches of distinct ones (an equal request still waiting
  // would be dropped): song details, which the frame lists, and an artist. The list is cleared
  // after them.
  bool RequestThroughTheQueue(int count) {
    static const int kSongs[] = {123, 124, 125, 200, 201, 202};
    CWebService* queue = CWebService::Instance();
    for (int sent = 0; sent < count;) {
      const LONG before = m_delivered;
      int batch = 0;
      for (int song : kSongs) {
        if (sent + batch + 1 >= count) break;
        queue->DispatchRequest(WebRequestKind::SongDetail, song, 0);
        ++batch;
      }
      // Each batch ends with the artist, which lists nothing: the observer sees a result before
      // the frame's handler lists its song, so only a last result without a song means that every
      // song of the batch is in the list.
      queue->DispatchRequest(WebRequestKind::Artist, 10, 0);
      ++batch;
      if (!testsupport::PumpMessagesUntil([&] { return m_delivered - before >= batch; }, 60000)) {
        return Fail("requests were not delivered: " + std::to_string(m_delivered - before) +
                    " of " + std::to_string(batch));
      }
      sent += batch;
    }
    return ClearSongList();
  }

  void SetAlbumSongs(int count) { m_albumSongs = count; }

 private:
  static std::wstring Wide(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
  }

  bool Fail(const std::string& why) {
    m_error = why;
    return false;
  }

  // Pumps until none of the songs has a download thread (progress comes as sent messages).
  bool WaitForDownloads(const std::vector<int>& ids) {
    CLockedMap<Song>& songs = CMainFrame::GetInstance()->GetSongMap();
    bool done = testsupport::PumpMessagesUntil(
        [&] {
          auto lock = songs.GetLock();
          for (int id : ids) {
            bool found = false;
            SongPtr song = songs.Find(id, &found);
            if (found && song->GetDownloadThread()) return false;
          }
          return true;
        },
        20000);
    return done || Fail("download threads did not end");
  }

  // The site's album 456 with its first song repeated under new ids, as the stand-in's rule
  // for every web-API call while the album round runs.
  bool MakeAlbumReply() {
    testsupport::HttpReply reply;
    std::string path = std::string(web_api::kMethodPath) + "?" +
                       CRequest::BuildSignedQuery("Albums.detail", {{"id", "456"}});
    if (!m_standin.Get(path, &reply) || reply.status != 200) return Fail("no album 456");
    const std::string& text = reply.body;
    const std::string songsKey = "\"songs\": [";
    size_t begin = text.find(songsKey);
    if (begin == std::string::npos) return Fail("album without songs");
    begin += songsKey.size();
    size_t songEnd = text.find('}', begin);
    size_t listEnd = text.find(']', begin);
    if (songEnd == std::string::npos || listEnd == std::string::npos) return Fail("album shape");
    const std::string song = text.substr(begin, songEnd + 1 - begin);
    const std::string idKey = "\"song_id\": 123,";
    size_t idAt = song.find(idKey);
    if (idAt == std::string::npos) return Fail("album's first song is not 123");
    std::string body = text.substr(0, begin);
    for (int i = 0; i < m_albumSongs; ++i) {
      if (i) body += ", ";
      body += song.substr(0, idAt) + "\"song_id\": " + std::to_string(kFirstAlbumSong + i) + "," +
              song.substr(idAt + idKey.size());
    }
    body += text.substr(listEnd);
    m_albumScenario =
        R"({"http": {"match": "/sdk", "status": 200, "body": ")" + JsonStringBody(body) + R"("}})";
    return true;
  }

  testsupport::StandinClient m_standin;
  testsupport::TempDir m_files;
  WorkspaceHost m_host;
  CLrceditDlg* m_workspace = CMainFrame::GetInstance()->GetLrceditDlg();
  HWND m_frameWindow = nullptr;
  volatile LONG m_delivered = 0;
  int m_albumSongs = 1000;
  std::string m_albumScenario;
  std::string m_error;
};

// Milliseconds at a fraction of the sorted times (0.5: the median, 1: the longest).
inline double AtFraction(std::vector<double> times, double fraction) {
  if (times.empty()) return 0;
  std::sort(times.begin(), times.end());
  size_t at = static_cast<size_t>(fraction * static_cast<double>(times.size() - 1) + 0.5);
  return times[std::min(at, times.size() - 1)];
}

}  // namespace load
