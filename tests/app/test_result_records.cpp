// The parameter records that travel with a request (kinds 1, 3 and 7) are freed by the frame on
// every path of a result: dispatched or not, and when the dispatch throws.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <stdexcept>

#include <boost/make_shared.hpp>

#include "app/main_frame.h"
#include "support/program_folder.h"
#include "webdata/web_request_kind.h"

namespace {

::testing::Environment* const g_folder =
    ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder);

// The one address a test watches, and whether the program has freed it.
std::atomic<void*> g_watched{nullptr};
std::atomic<bool> g_watchedFreed{false};

}  // namespace

// Every delete of this executable passes here; the allocations stay the runtime's (malloc).
void operator delete(void* p) noexcept {
  if (p && p == g_watched.load()) g_watchedFreed = true;
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  ::operator delete(p);
}

TEST(ResultRecords, AreFreedWhetherDispatchedOrNotAndWhenTheDispatchThrows) {
  struct Case {
    const char* what;
    int kind;
    bool window;
    bool dispatchThrows;
  } cases[] = {
      {"album promotions before the window exists", WebRequestKind::AlbumPromotions, false, false},
      {"album detail before the window exists", WebRequestKind::AlbumDetail, false, false},
      {"radio songs whose dispatch throws", WebRequestKind::RadioSongs, true, true},
  };
  CMainFrame* frame = CMainFrame::GetInstance();
  HWND window = CreateWindowExW(0, L"STATIC", L"frame", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
  ASSERT_TRUE(window);
  for (const Case& c : cases) {
    if (c.window) frame->Attach(window);
    frame->SetDataObserverForTesting([&](bool, int, int) {
      if (c.dispatchThrows) throw std::runtime_error("dispatch failed");
    });
    void* record = c.kind == WebRequestKind::AlbumPromotions
                       ? static_cast<void*>(new AlbumPromotionParam)
                       : static_cast<void*>(new WebRequestParam);
    g_watched = record;
    g_watchedFreed = false;
    const int param = RequestParamId(record);
    try {
      if (WebRequestKind::IsWebApi(c.kind)) {
        frame->OnApiReply(boost::make_shared<proto::albumdetail>(), c.kind, param);
      } else {
        frame->OnWebServiceReply("", c.kind, param);
      }
      EXPECT_FALSE(c.dispatchThrows) << c.what;
    } catch (const std::runtime_error&) {
      EXPECT_TRUE(c.dispatchThrows) << c.what;
    }
    EXPECT_TRUE(g_watchedFreed) << c.what;
    g_watched = nullptr;
    frame->SetDataObserverForTesting(nullptr);
    if (c.window) frame->Detach();
  }
  DestroyWindow(window);
}
