// The web-data layer's own costs:
//   - parsing a 500-list album-promotion reply into the manager, against TinyXML's bare parse of
//     the same text (the records, conversions and cover names are the difference; goal: <= 3);
//   - a track-detail cache hit, against a std::map look-up of the same size;
//   - the front end's answer from the cache (straight to the frame), and a request's whole round
//     trip through the queue's worker (a song-detail GET answered by the stand-in, parsed,
//     delivered to the frame), each against as many PostMessage round trips to a window of
//     another thread; the same GETs made directly show what the queue itself adds.
//
// The round trips need a stand-in (the ctest fixture's, started by hand):
//   python3 standin/fixture.py start "$PWD/build/bench-standin"
//   export REV_STANDIN_PORTS="$PWD/build/bench-standin/ports.json"
//   scripts/wine-run build/bench/bench_webdata.exe
//   python3 standin/fixture.py stop "$PWD/build/bench-standin"
// Without one only the first two figures are printed.
#include <winsock2.h>

#include <cstdio>
#include <map>
#include <string>
#include <thread>

#include <boost/make_shared.hpp>

#include "app/main_frame.h"
#include "em_tinyxml.h"
#include "foundation/config.h"
#include "foundation/site_addresses.h"
#include "harness.h"
#include "support/standin_client.h"
#include "support/standin_site.h"
#include "support/temp_dir.h"
#include "webdata/http_request.h"
#include "webdata/web_request_kind.h"
#include "webdata/web_service.h"

namespace {

constexpr int kLists = 500;
constexpr int kCached = 1000;
constexpr int kRoundTrips = 1000;

std::string PromotionReply() {
  std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<type><type_id>2</type_id>"
                    "<type_name>专辑</type_name><sort><sort_id>10</sort_id>"
                    "<sort_name>最新专辑</sort_name>";
  for (int i = 0; i < kLists; ++i) {
    const std::string id = std::to_string(1000 + i);
    xml += "<list><list_id>" + id + "</list_id><list_name>晴天日记 " + id +
           "</list_name><creator_id>11</creator_id><create_time>20130521</create_time>"
           "<cover_url>http://127.0.0.1:18081/cover/album-" + id + ".jpg</cover_url>"
           "<small_cover_url>http://127.0.0.1:18081/cover/album-" + id + "-small.png"
           "</small_cover_url><desc_text>周小晴的第一张专辑，记录晴天里的小事。</desc_text>"
           "<all_songs>12</all_songs></list>";
  }
  return xml + "</sort></type>";
}

void BenchParse() {
  const std::string reply = PromotionReply();
  CWebDataManager manager;
  uint32_t key = 0;
  double bare = bench::MedianSeconds([&] {
    em_utility::TiXmlDocument document;
    document.Parse(reply.c_str(), nullptr, em_utility::TIXML_ENCODING_UTF8);
    bench::KeepAlive(document.RootElement());
  });
  double parse = bench::MedianSeconds([&] {
    auto* page = new AlbumPromotionParam{10, 0, ++key, 10};  // a page of its own each time
    manager.ParseWebServiceXml(reply, WebRequestKind::AlbumPromotions, RequestParamId(page));
    delete page;
  });
  std::printf("%d-list album-promotion reply, %u bytes\n", kLists,
              static_cast<unsigned>(reply.size()));
  bench::PrintRatio("ParseWebServiceXml", parse, "TinyXML parse", bare);
}

void BenchCacheHit() {
  CWebDataManager manager;
  std::map<int, boost::shared_ptr<proto::songdetail>> plain;
  for (int id = 1; id <= kCached; ++id) {
    auto detail = boost::make_shared<proto::songdetail>();
    detail->FromJsonString("{\"data\":{\"song_id\":" + std::to_string(id) + "}}");
    manager.StoreApiResult(detail, WebRequestKind::TrackDetail);
    plain[id] = detail;
  }
  double cache = bench::MedianSeconds([&] {
    for (int id = 1; id <= kCached; ++id) {
      bool found = false;
      bench::KeepAlive(manager.GetTrackDetail(id, found));
    }
  });
  double map = bench::MedianSeconds([&] {
    for (int id = 1; id <= kCached; ++id) {
      auto it = plain.find(id);
      boost::shared_ptr<proto::songdetail> copy = it->second;
      bench::KeepAlive(copy);
    }
  });
  bench::PrintRatio("track-detail cache hits x1000", cache, "std::map finds x1000", map);
}

// A window on a thread of its own that answers every WM_APP by setting an event.
class PostMessageEcho {
 public:
  PostMessageEcho() : m_answered(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    HANDLE ready = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    m_thread = std::thread([this, ready] {
      WNDCLASSW wc = {};
      wc.lpfnWndProc = &PostMessageEcho::Proc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"bench_echo";
      RegisterClassW(&wc);
      m_window = CreateWindowExW(0, L"bench_echo", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 wc.hInstance, nullptr);
      SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(m_answered));
      SetEvent(ready);
      MSG msg;
      while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
      DestroyWindow(m_window);
    });
    WaitForSingleObject(ready, INFINITE);
    CloseHandle(ready);
  }
  ~PostMessageEcho() {
    PostMessageW(m_window, WM_CLOSE, 0, 0);
    m_thread.join();
    CloseHandle(m_answered);
  }
  void RoundTrip() {
    PostMessageW(m_window, WM_APP, 0, 0);
    WaitForSingleObject(m_answered, INFINITE);
  }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
      SetEvent(reinterpret_cast<HANDLE>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)));
      return 0;
    }
    if (message == WM_CLOSE) PostQuitMessage(0);
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }

  HANDLE m_answered;
  HWND m_window = nullptr;
  std::thread m_thread;
};

bool BenchRoundTrips(const testsupport::StandinSite& site) {
  testsupport::StandinClient standin;
  if (!standin.ok() || !standin.Reset()) {
    std::fprintf(stderr, "no stand-in (%s): round trips not measured\n", standin.error().c_str());
    return false;
  }
  GetConfig()->ApiURL = CString(std::wstring(site.host().begin(), site.host().end()).c_str());

  CMainFrame* frame = CMainFrame::GetInstance();
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                nullptr, nullptr);
  frame->Attach(window);
  HANDLE delivered = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  frame->SetDataObserverForTesting([delivered](bool, int, int) { SetEvent(delivered); });
  CWebService* queue = CWebService::Instance();
  queue->Start();

  PostMessageEcho echo;
  double post = bench::MedianSeconds(
      [&] {
        for (int i = 0; i < kRoundTrips; ++i) echo.RoundTrip();
      },
      5);
  CWebDataManager& manager = frame->GetWebDataManager();
  manager.RequestTrackDetail(123);
  WaitForSingleObject(delivered, INFINITE);
  double hit = bench::MedianSeconds(
      [&] {
        for (int i = 0; i < kRoundTrips; ++i) manager.RequestTrackDetail(123);
      },
      5);
  ResetEvent(delivered);  // the cache hits set it too
  double queued = bench::MedianSeconds(
      [&] {
        for (int i = 0; i < kRoundTrips; ++i) {
          queue->DispatchRequest(WebRequestKind::SongDetail, 125, 0);
          WaitForSingleObject(delivered, INFINITE);
        }
      },
      5);
  const std::string url = site::WebServiceHost() + "/app/ws/song-detail?id=125";
  double direct = bench::MedianSeconds(
      [&] {
        for (int i = 0; i < kRoundTrips; ++i) {
          CRequest request(WebRequestKind::SongDetail, 125, kTransportWebService);
          request.SetUrl(url);
          std::string reply;
          if (request.SendRequest()) request.Receive(reply, CWebService::kReceiveSeconds);
          bench::KeepAlive(reply);
        }
      },
      5);
  bench::PrintRatio("cache-hit front end x1000", hit, "PostMessage round trips", post);
  bench::PrintRatio("queued song detail x1000", queued, "PostMessage round trips", post);
  bench::PrintRatio("queued song detail x1000", queued, "direct GETs, same thread", direct);

  queue->Stop();
  frame->SetDataObserverForTesting(nullptr);
  frame->Detach();
  DestroyWindow(window);
  CloseHandle(delivered);
  return true;
}

}  // namespace

int main() {
  testsupport::TempDir folder;
  SetProgramFolderForTesting(CString(folder.path().c_str()));
  // Before anything reads the site's addresses: starts Winsock and moves the hosts to the
  // stand-in when one runs.
  testsupport::StandinSite site;
  BenchParse();
  BenchCacheHit();
  return BenchRoundTrips(site) ? 0 : 2;
}
