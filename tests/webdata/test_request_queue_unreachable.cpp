// The request queue when nothing listens where the site should be: a request that cannot even be
// sent is tried once (not the five tries of a reply that failed) and still delivers an empty
// reply, so the frame hears of it and nothing reaches the cache.
#include <winsock2.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "foundation/text_convert.h"
#include "support/program_folder.h"
#include "webdata/web_request_kind.h"
#include "webdata/web_service.h"

namespace {

// Moves the whole site to a loopback port that was free a moment ago. Runs at static
// initialisation, before anything can read the site's addresses.
class UnreachableSite : public ::testing::Environment {
 public:
  UnreachableSite() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    bind(probe, reinterpret_cast<sockaddr*>(&address), size);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
    closesocket(probe);
    _putenv(("REVIVEROD_SITE=127.0.0.1:" + std::to_string(ntohs(address.sin_port))).c_str());
  }
  ~UnreachableSite() override { WSACleanup(); }
};

auto* const g_site = ::testing::AddGlobalTestEnvironment(new UnreachableSite);
auto* const g_folder = static_cast<testsupport::TempProgramFolder*>(
    ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder));


}  // namespace

TEST(RequestQueueUnreachable, ARequestThatCannotBeSentIsTriedOnceAndDeliversAnEmptyReply) {
  std::mutex mutex;
  std::condition_variable delivered;
  std::vector<std::pair<int, int>> deliveries;  // kind, param
  CMainFrame* frame = CMainFrame::GetInstance();
  HWND window = CreateWindowExW(0, L"STATIC", L"frame", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
  ASSERT_TRUE(window);
  frame->Attach(window);
  frame->SetDataObserverForTesting([&](bool, int kind, int param) {
    std::lock_guard<std::mutex> lock(mutex);
    deliveries.emplace_back(kind, param);
    delivered.notify_all();
  });
  ASSERT_TRUE(CWebService::Instance()->Start());

  frame->GetWebDataManager().RequestSongDetail(77);
  {
    std::unique_lock<std::mutex> lock(mutex);
    delivered.wait_for(lock, std::chrono::seconds(20), [&] { return !deliveries.empty(); });
  }
  CWebService::Instance()->Stop();
  frame->SetDataObserverForTesting(nullptr);
  frame->Detach();
  DestroyWindow(window);

  ASSERT_EQ(1u, deliveries.size());
  EXPECT_EQ(std::make_pair(static_cast<int>(WebRequestKind::SongDetail), 77), deliveries[0]);
  EXPECT_EQ(0, frame->GetWebDataManager().GetSongDetail(77).song_id);
  const std::string log = g_folder->MainLogText();
  EXPECT_EQ(1u, testsupport::CountOccurrences(log, em_utility::wide_to_ansi(L"第0次发送请求失败")));
  EXPECT_EQ(0u, testsupport::CountOccurrences(log, em_utility::wide_to_ansi(L"第1次")));
}
