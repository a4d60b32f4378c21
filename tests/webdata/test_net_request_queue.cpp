// The request queue with its real worker thread against the stand-in: each kind through the
// queue into its cache and out of the main frame, cache hits that send nothing, duplicates,
// failures that still deliver, the artist wait, and stops: while a request hangs, while a
// handler waits for the stopping thread, and while the worker fails and logs request after
// request.
//
// The queue and the frame are process-wide: one worker runs for the whole executable, and every
// test uses ids of its own, since the caches only ever grow.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "foundation/config.h"
#include "foundation/logger.h"
#include "foundation/text_convert.h"
#include "support/gtest_cstring.h"
#include "support/program_folder.h"
#include "support/standin_client.h"
#include "support/standin_site.h"
#include "support/temp_dir.h"
#include "webdata/web_request_kind.h"
#include "webdata/web_service.h"

namespace {

auto* const g_folder = static_cast<testsupport::TempProgramFolder*>(
    ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder));
auto* const g_site = ::testing::AddGlobalTestEnvironment(new testsupport::StandinSite);

// One result as the frame's dispatch saw it, with a copy of its parameter record.
struct Delivery {
  bool api;
  int kind;
  int param;
  DWORD thread;
  WebRequestParam request;
  AlbumPromotionParam page;
};

// What reached the frame's dispatch, on whichever thread.
class Deliveries {
 public:
  // A kind whose dispatch throws, as a handler that runs out of memory would.
  std::atomic<int> m_throwForKind{-1};
  // When set, the dispatch sets m_handling and then sends to this window, as the frame's handlers
  // reach the windows of the UI thread.
  std::atomic<HWND> m_sendTo{nullptr};
  std::atomic<HANDLE> m_handling{nullptr};

  void Add(bool api, int kind, int param) {
    if (kind == m_throwForKind) throw std::bad_alloc();
    if (HWND window = m_sendTo) {
      SetEvent(m_handling);
      SendMessageW(window, WM_NULL, 0, 0);
    }
    Delivery d{api, kind, param, GetCurrentThreadId(), {}, {}};
    if (kind == WebRequestKind::AlbumPromotions) {
      d.page = *RequestParamRecord<AlbumPromotionParam>(param);
    } else if (WebRequestKind::CarriesRecord(kind)) {
      d.request = *RequestParamRecord<WebRequestParam>(param);
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_list.push_back(d);
    m_changed.notify_all();
  }
  // Waits at most 20 s until count results have arrived; all of them.
  std::vector<Delivery> WaitFor(size_t count) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait_for(lock, std::chrono::seconds(20), [&] { return m_list.size() >= count; });
    return m_list;
  }
  void Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_list.clear();
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::vector<Delivery> m_list;
};

Deliveries g_deliveries;

// The frame with a window (hidden), so that replies are dispatched, and the queue's worker.
class RunningQueue : public ::testing::Environment {
 public:
  void SetUp() override {
    CMainFrame* frame = CMainFrame::GetInstance();
    m_window = CreateWindowExW(0, L"STATIC", L"frame", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               nullptr, nullptr);
    ASSERT_TRUE(m_window);
    frame->Attach(m_window);
    frame->SetDataObserverForTesting(
        [](bool api, int kind, int param) { g_deliveries.Add(api, kind, param); });
    ASSERT_TRUE(CWebService::Instance()->Start());
  }
  void TearDown() override {
    CWebService::Instance()->Stop();
    CMainFrame::GetInstance()->SetDataObserverForTesting(nullptr);
    CMainFrame::GetInstance()->Detach();
    DestroyWindow(m_window);
  }

 private:
  HWND m_window = nullptr;
};

auto* const g_queue = ::testing::AddGlobalTestEnvironment(new RunningQueue);


class RequestQueueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(standin.ok()) << standin.error();
    ASSERT_TRUE(standin.Reset());
    GetConfig()->ApiURL = em_utility::utf8_to_wide(standin.Host());
    g_deliveries.Clear();
  }
  void TearDown() override { g_deliveries.m_throwForKind = -1; }

  // Path and query of every request the stand-in has had since the reset, oldest first; of a
  // web-API call only the path (its signed query changes with the clock).
  std::vector<std::string> Requests() {
    std::vector<std::string> targets;
    boost::property_tree::ptree log = standin.Log();
    if (auto requests = log.get_child_optional("requests")) {
      for (const auto& entry : *requests) {
        std::string path = entry.second.get<std::string>("path");
        std::string query = entry.second.get<std::string>("query", "");
        targets.push_back(query.empty() || path == "/sdk" ? path : path + "?" + query);
      }
    }
    return targets;
  }

  CWebDataManager& manager = CMainFrame::GetInstance()->GetWebDataManager();
  CWebService& queue = *CWebService::Instance();
  testsupport::StandinClient standin;
};

}  // namespace

TEST_F(RequestQueueTest, EveryKindComesBackThroughTheQueueIntoItsCache) {
  // An update older than this program: its dispatch shows no update dialog.
  ASSERT_TRUE(standin.SetScenario(
      R"({"http": {"match": "/daruruvidev/update.xml", "body": "<update><version>1.0.9.0</version></update>"}})"));
  manager.RequestRadioTypes();
  manager.RequestRadioSongs(0, 0, 1, 900, 900, 1);
  manager.RequestAlbumPromotions(10, 1, 1, 10);
  queue.DispatchRequest(WebRequestKind::UpdateFile, 0, 0);
  manager.RequestSongDetail(125);
  manager.RequestTrackDetail(124);
  manager.RequestAlbumDetail(0, 0, 0, 457, 457, 0);
  CArtist artist = manager.RequestArtist(10);  // waits for its reply, behind all the others

  std::vector<Delivery> got = g_deliveries.WaitFor(8);
  std::vector<int> kinds;  // web-API kinds negative
  for (const Delivery& d : got) kinds.push_back(d.kind * (d.api ? -1 : 1));
  EXPECT_EQ((std::vector<int>{0, 1, 3, 4, 5, -6, -7, 2}), kinds);
  EXPECT_EQ((std::vector<std::string>{
                "/app/ws/car-radios", "/app/ws/car-radiosongs?id=900&type=1",
                "/app/ws/album-promotions?sort_id=10&page=2", "/daruruvidev/update.xml",
                "/app/ws/song-detail?id=125", "/sdk", "/sdk", "/app/ws/car-artist?id=10"}),
            Requests());
  ASSERT_EQ(8u, got.size());
  EXPECT_EQ(10u, got[2].page.key2);  // the records reach the dispatch
  EXPECT_EQ(22u, manager.GetRadioLists().size());  // the first page of every sort
  EXPECT_EQ(L"山海", manager.GetRadioSongs(got[1].request).songs.at(2).song_name);
  EXPECT_EQ(456, manager.GetAlbumPromotions(10, 1, 1, 10).at(0).list_id);
  EXPECT_EQ(9u, manager.GetUpdateInfo().build);
  EXPECT_EQ(L"雨后彩虹 🌈", manager.GetSongDetail(125).song_name);
  bool found = false;
  auto track = manager.GetTrackDetail(124, found);
  ASSERT_TRUE(track);
  EXPECT_EQ(L"小雨", track->GetSong()->GetSongName());
  boost::shared_ptr<proto::albumdetail> album;
  ASSERT_TRUE(manager.GetAlbumDetail(457, album));
  EXPECT_EQ(3u, album->GetAlbum()->GetSongs().size());
  EXPECT_EQ(L"Salt & Light 🌊", artist.artist_name);
  EXPECT_EQ(2, CMainFrame::GetInstance()->GetCursorState());  // busy came and went
}

TEST_F(RequestQueueTest, ACacheHitAnswersAtOnceWithoutARequest) {
  manager.RequestTrackDetail(200);
  manager.RequestAlbumPromotions(11, 0, 0, 11);
  manager.RequestAlbumDetail(0, 0, 0, 458, 458, 0);
  manager.RequestRadioTypes();  // (an earlier test may have cached them: then answered at once)
  ASSERT_EQ(4u, g_deliveries.WaitFor(4).size());
  const size_t sent = Requests().size();
  g_deliveries.Clear();
  manager.RequestTrackDetail(200);
  manager.RequestAlbumPromotions(99, 5, 0, 11);  // other sort and page, same key words
  manager.RequestAlbumDetail(1, 0, 0, 0, 458, 0);  // looked up by field 4
  manager.RequestRadioTypes();                     // younger than twelve hours
  std::vector<Delivery> got = g_deliveries.WaitFor(0);  // already there: answered in the call
  ASSERT_EQ(4u, got.size());
  for (const Delivery& d : got) EXPECT_EQ(GetCurrentThreadId(), d.thread);
  EXPECT_EQ(99, got[1].page.sort_id);
  EXPECT_EQ(1, got[2].request.fields[0]);
  EXPECT_EQ(WebRequestKind::RadioTypes, got[3].kind);
  EXPECT_EQ(sent, Requests().size());
}

TEST_F(RequestQueueTest, WaitingDuplicatesAndRequestsWithoutRecordsAreDropped) {
  const size_t logged = g_folder->MainLogText().size();
  auto* first = new AlbumPromotionParam{12, 0, 0, 12};
  auto* equal = new AlbumPromotionParam{12, 0, 0, 12};
  queue.Lock();  // the worker cannot take anything until all are queued
  queue.DispatchRequest(WebRequestKind::Artist, 8, 0);
  queue.DispatchRequest(WebRequestKind::Artist, 8, 0);
  queue.DispatchRequest(WebRequestKind::AlbumPromotions, RequestParamId(first), 0);
  queue.DispatchRequest(WebRequestKind::AlbumPromotions, RequestParamId(equal), 0);
  for (int refused : std::vector<int>{-1, 8, WebRequestKind::RadioSongs,
                                      WebRequestKind::AlbumPromotions, WebRequestKind::AlbumDetail}) {
    queue.DispatchRequest(refused, 0, 0);  // no such kind, or no record
  }
  queue.Unlock();
  ASSERT_EQ(3u, g_deliveries.WaitFor(3).size());
  EXPECT_EQ((std::vector<std::string>{"/app/ws/car-artist?id=8",
                                      "/app/ws/album-promotions?sort_id=12&page=1",
                                      "/app/ws/album-promotions?sort_id=12&page=1"}),
            Requests());
  EXPECT_EQ(5u, testsupport::CountOccurrences(g_folder->MainLogText().substr(logged), "DispatchRequest: refused"));
}

// A dropped connection, and an error page that would parse (the natural reply under status
// 500): five tries each, then an empty reply, and nothing reaches the cache.
TEST_F(RequestQueueTest, FiveFailedTriesStillDeliverAnEmptyReply) {
  struct Case {
    const char* scenario;
    int songId;
    const wchar_t* lastTry;
  };
  const Case cases[] = {
      {R"({"http": {"match": "/app/ws/song-detail", "action": "close"}})", 300,
       L"第4次请求webservice失败! pRequest->GetRequestId() = 5, pRequest->GetId() = 300, nRes = -1"},
      {R"({"http": {"match": "/app/ws/song-detail", "status": 500}})", 301,
       L"第4次请求webservice失败! pRequest->GetRequestId() = 5, pRequest->GetId() = 301, nRes = -2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.songId);
    ASSERT_TRUE(standin.Reset());
    ASSERT_TRUE(standin.SetScenario(c.scenario));
    g_deliveries.Clear();
    const size_t logged = g_folder->MainLogText().size();
    manager.RequestSongDetail(c.songId);
    std::vector<Delivery> got = g_deliveries.WaitFor(1);
    ASSERT_EQ(1u, got.size());
    EXPECT_EQ(c.songId, got[0].param);
    EXPECT_EQ(5u, Requests().size());
    EXPECT_EQ(0, manager.GetSongDetail(c.songId).song_id);
    EXPECT_EQ(1u,
              testsupport::CountOccurrences(g_folder->MainLogText().substr(logged), em_utility::wide_to_ansi(c.lastTry)));
  }
}

TEST_F(RequestQueueTest, AnExceptionEndsOnlyItsOwnRequest) {
  const size_t logged = g_folder->MainLogText().size();
  g_deliveries.m_throwForKind = WebRequestKind::SongDetail;
  manager.RequestSongDetail(202);
  manager.RequestTrackDetail(201);
  std::vector<Delivery> got = g_deliveries.WaitFor(1);
  ASSERT_EQ(1u, got.size());
  EXPECT_EQ(WebRequestKind::TrackDetail, got[0].kind);
  EXPECT_EQ(1u, testsupport::CountOccurrences(g_folder->MainLogText().substr(logged),
                      "CWebService: request 5 (item 202) failed: std::bad_alloc"));
}

TEST_F(RequestQueueTest, ArtistWaitEndsAtOnceWhenTheReplyIsNotXml) {
  ASSERT_TRUE(standin.SetScenario(
      R"({"http": {"match": "/app/ws/car-artist", "body": "<artist><artist_id>9"}})"));
  const DWORD start = GetTickCount();
  EXPECT_EQ(0, manager.RequestArtist(9).artist_id);
  EXPECT_LT(GetTickCount() - start, 10000u);
  // The wait ends inside the parse; the dispatch comes after it, and must not land in the next
  // test's deliveries.
  EXPECT_EQ(1u, g_deliveries.WaitFor(1).size());
}

// The stop tests come last: they stop and restart the worker, and the last one leaves it stopped.

// Whether the worker the last stop waited for left by itself (not terminated), from the log.
::testing::AssertionResult LeftByItself(size_t logged) {
  std::string log = g_folder->MainLogText().substr(logged);
  if (log.find("terminated") != std::string::npos) {
    return ::testing::AssertionFailure() << "the worker was terminated";
  }
  if (log.find(em_utility::wide_to_ansi(L"CWebService::__ServiceLoop 退出！！！")) ==
      std::string::npos) {
    return ::testing::AssertionFailure() << "the worker never reached its exit line";
  }
  return ::testing::AssertionSuccess();
}

DWORD WINAPI AllocateLogAndQueue(LPVOID) {
  delete[] new char[4 << 20];
  GetLogger()->log(em_utility::log_level::normal, "after the stop");
  CWebService::Instance()->Lock();
  CWebService::Instance()->Unlock();
  CMainFrame::GetInstance()->GetWebDataManager().GetSongDetail(123);
  return 0;
}

// A worker killed inside the heap, the logger or a lock of the queue or the caches leaves that
// lock taken: then this does not end. Run on a thread of its own, with a bounded wait.
bool ProcessStillAllocatesLogsAndQueues() {
  HANDLE thread = CreateThread(nullptr, 0, AllocateLogAndQueue, nullptr, 0, nullptr);
  bool ended = WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0;
  CloseHandle(thread);
  return ended;
}

TEST_F(RequestQueueTest, StopCutsAnExchangeThatHangsAndStartRunsANewWorker) {
  struct Case {
    const char* scenario;
    int kind;
    int id;
  };
  const Case cases[] = {
      {R"({"http": {"match": "/app/ws/car-artist", "action": "silent"}})", WebRequestKind::Artist,
       11},
      {R"({"http": {"match": "/sdk", "action": "silent"}})", WebRequestKind::TrackDetail, 126},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scenario);
    ASSERT_TRUE(standin.Reset());
    ASSERT_TRUE(standin.SetScenario(c.scenario));
    g_deliveries.Clear();
    queue.DispatchRequest(c.kind, c.id, 0);
    // Stop only once the worker is inside the exchange.
    for (DWORD begun = GetTickCount(); Requests().empty() && GetTickCount() - begun < 10000;) {
      Sleep(20);
    }
    ASSERT_EQ(1u, Requests().size());

    const size_t logged = g_folder->MainLogText().size();
    queue.Stop();
    EXPECT_TRUE(LeftByItself(logged));
    EXPECT_EQ(1u, testsupport::CountOccurrences(g_folder->MainLogText().substr(logged),
                        "CWebService: request " + std::to_string(c.kind) + " (item " +
                            std::to_string(c.id) + ") cut by the stop"));
    EXPECT_NE(0, CMainFrame::GetInstance()->GetCursorState());  // not left busy
    EXPECT_TRUE(ProcessStillAllocatesLogsAndQueues());

    ASSERT_TRUE(standin.Reset());
    ASSERT_TRUE(queue.Start());
    queue.DispatchRequest(WebRequestKind::SongDetail, 124, 0);
    std::vector<Delivery> got = g_deliveries.WaitFor(1);
    ASSERT_EQ(1u, got.size());  // the cut request is never delivered
    EXPECT_EQ(124, got[0].param);
  }
}

// The result handlers run on the worker and reach the windows with SendMessage: the stopping
// thread answers them while it waits, so the handler ends and the worker leaves by itself.
TEST_F(RequestQueueTest, StopLetsAHandlerThatWaitsForTheStoppingThreadFinish) {
  HWND window =
      CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_TRUE(window);
  HANDLE handling = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  g_deliveries.m_sendTo = window;
  g_deliveries.m_handling = handling;
  queue.DispatchRequest(WebRequestKind::SongDetail, 123, 0);
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(handling, 20000));

  const size_t logged = g_folder->MainLogText().size();
  queue.Stop();
  g_deliveries.m_sendTo = nullptr;
  EXPECT_TRUE(LeftByItself(logged));
  EXPECT_EQ(1u, g_deliveries.WaitFor(1).size());
  EXPECT_TRUE(ProcessStillAllocatesLogsAndQueues());
  CloseHandle(handling);
  DestroyWindow(window);
  ASSERT_TRUE(queue.Start());
}

// Runs last: it leaves the worker stopped, with requests still queued.
TEST_F(RequestQueueTest, StopWhileTheWorkerFailsAndLogsRequestAfterRequest) {
  ASSERT_TRUE(standin.SetScenario(
      R"({"http": {"match": "/app/ws/song-detail", "status": 500, "delay_ms": 30}})"));
  for (int id = 700000; id < 700040; ++id) queue.DispatchRequest(WebRequestKind::SongDetail, id, 0);
  for (DWORD begun = GetTickCount(); Requests().size() < 10 && GetTickCount() - begun < 20000;) {
    Sleep(20);
  }
  ASSERT_GE(Requests().size(), 10u);

  const size_t logged = g_folder->MainLogText().size();
  queue.Stop();
  EXPECT_TRUE(LeftByItself(logged));
  EXPECT_TRUE(ProcessStillAllocatesLogsAndQueues());
  // What was waiting stays queued: no more requests reach the site.
  const size_t served = Requests().size();
  EXPECT_LT(served, 200u);
  EXPECT_EQ(served, Requests().size());
}
