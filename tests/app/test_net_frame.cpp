// The main frame against the stand-in site: the music station's tree, list, covers and pager
// from the site's replies, and the update check by hand and automatic, with the update dialog
// answered as a user would.
#include <winsock2.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/main_frame.h"
#include "app/radio_lib_list.h"
#include "foundation/config.h"
#include "foundation/text_convert.h"
#include "lyric/lrcedit_dlg.h"
#include "resources/app_resource.h"
#include "support/child_process.h"
#include "support/message_box_recorder.h"
#include "support/program_folder.h"
#include "support/standin_client.h"
#include "support/standin_site.h"
#include "support/screenshot.h"
#include "support/temp_dir.h"
#include "webdata/web_request_kind.h"
#include "webdata/web_service.h"

namespace {

auto* const g_folder = static_cast<testsupport::TempProgramFolder*>(
    ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder));
auto* const g_site = ::testing::AddGlobalTestEnvironment(new testsupport::StandinSite);

std::string UpdateXml(const char* version) {
  return std::string("<?xml version=\"1.0\" encoding=\"utf-8\"?><update><version>") + version +
         "</version><url>http://127.0.0.1/setup.exe</url><tip>修复问题#新增功能</tip></update>";
}

class FrameOnSiteTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    g_folder->AddSkinPictures();
    GetConfig()->auto_check_update = 0;  // the frame's own hourly check stays out of the way
    CWebService::Instance()->Start();
    CMainFrame* frame = CMainFrame::GetInstance();
    if (!frame->IsWindow()) {
      frame->Create(nullptr, CWindow::rcDefault, nullptr, 0x06CF0000,
                    WS_EX_APPWINDOW | WS_EX_WINDOWEDGE);
    }
  }
  void SetUp() override {
    ASSERT_TRUE(standin.ok()) << standin.error();
    ASSERT_TRUE(standin.Reset());
  }
  void ServeUpdate(const std::string& xml) {
    std::string body;
    for (char c : xml) body += c == '"' ? std::string("\\\"") : std::string(1, c);
    ASSERT_TRUE(standin.SetScenario(R"({"http": {"match": "/daruruvidev/update.xml", "body": ")" +
                                    body + "\"}}"));
  }
  // Answers the update dialog (from another thread, as the check waits in it) with OK, unless
  // stop comes first; its tip.
  std::future<std::wstring> AnswerUpdateDialog(const std::atomic<bool>& stop) {
    return std::async(std::launch::async, [&stop] {
      HWND dialog = nullptr;
      testsupport::WaitUntil([&] {
        dialog = testsupport::FindProcessWindow(GetCurrentProcessId(), L"#32770", L"发现新版本",
                                                false);
        return dialog || stop;
      });
      if (!dialog) return std::wstring(L"(no dialog)");
      wchar_t tip[128] = {};
      GetDlgItemTextW(dialog, IDC_UPDATE_TIP, tip, 128);
      PostMessageW(dialog, WM_COMMAND, IDOK, 0);
      return std::wstring(tip);
    });
  }
  // The music station as the site's radio types show it: node 10 selected, its first page
  // listed.
  void ShowStation() {
    testsupport::HttpReply radios;
    ASSERT_TRUE(standin.Get("/app/ws/car-radios", &radios));
    frame->ShowPane(0);
    frame->GetPager().SetCurPage(0);
    frame->OnWebServiceReply(radios.body, 0, 0);
    ASSERT_EQ(10, frame->GetRadioTree().GetSelectedSort()->sort_id);
  }
  size_t Requests(const std::string& path) {
    boost::property_tree::ptree log = standin.Log(path);
    auto requests = log.get_child_optional("requests");
    return requests ? requests->size() : 0;
  }

  testsupport::StandinClient standin;
  CMainFrame* frame = CMainFrame::GetInstance();
};

int TreeCount(CMainFrame* frame) {
  return static_cast<int>(frame->GetRadioTree().GetCount());
}

CString CoverFile(const RadioList& row) {
  CString file;
  file.Format(L"%s%d.jpg", GetConfig()->GetRadioCoverDir().GetString(), row.list_id);
  return file;
}

bool AllCoversThere(const std::vector<RadioList>& rows) {
  for (const RadioList& row : rows) {
    if (GetFileAttributesW(CoverFile(row)) == INVALID_FILE_ATTRIBUTES) return false;
  }
  return true;
}

std::vector<int> ListIds(const std::vector<RadioList>& rows) {
  std::vector<int> ids;
  for (const RadioList& row : rows) ids.push_back(row.list_id);
  return ids;
}

// Runs an action of the user's once, just before the n-th message that another thread sends to
// this thread's windows, or afterwards when fewer came: a choice made between two of a worker's
// messages.
class BeforeForeignMessage {
 public:
  BeforeForeignMessage(int n, std::function<void()> action)
      : m_left(n), m_action(std::move(action)) {
    s_active = this;
    m_hook = SetWindowsHookExW(WH_CALLWNDPROC, &Hook, nullptr, GetCurrentThreadId());
  }
  ~BeforeForeignMessage() {
    if (m_hook) UnhookWindowsHookEx(m_hook);
    s_active = nullptr;
  }
  BeforeForeignMessage(const BeforeForeignMessage&) = delete;
  BeforeForeignMessage& operator=(const BeforeForeignMessage&) = delete;

  bool hooked() const { return m_hook != nullptr; }
  // True when the action ran before a message; else runs it now.
  bool RanBeforeAMessage() {
    if (m_left <= 0) return true;
    m_left = 0;
    m_action();
    return false;
  }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM sentByThisThread, LPARAM lParam) {
    BeforeForeignMessage* self = s_active;
    if (code == HC_ACTION && !sentByThisThread && self && self->m_left > 0 &&
        --self->m_left == 0) {
      self->m_action();
    }
    return CallNextHookEx(nullptr, code, sentByThisThread, lParam);
  }

  static BeforeForeignMessage* s_active;
  int m_left;
  std::function<void()> m_action;
  HHOOK m_hook = nullptr;
};

BeforeForeignMessage* BeforeForeignMessage::s_active = nullptr;

// The frame asks for the radio types as it opens; the first test waits for them.
TEST_F(FrameOnSiteTest, TheStationShowsTypeTwoSortsAndTheirListsNewestFirstWithCovers) {
  CRadioTypeTreeCtrl& tree = frame->GetRadioTree();
  ASSERT_TRUE(testsupport::WaitUntil(
      [&] { return TreeCount(frame) == 3 && tree.GetSelectedSort() != nullptr; }));
  EXPECT_EQ(10, tree.GetSelectedSort()->sort_id);
  const std::vector<RadioList>& rows = frame->GetRadioList().GetRecords();
  ASSERT_EQ(8u, rows.size());  // the site's first page of the sort
  for (size_t i = 1; i < rows.size(); ++i) {
    EXPECT_GE(rows[i - 1].create_time, rows[i].create_time);
  }
  EXPECT_TRUE(frame->GetPager().IsWindowVisible());
  // Painting the rows asks for their covers, and every one arrives without another paint.
  EXPECT_TRUE(testsupport::WaitUntil([&] { return AllCoversThere(rows); }));
  frame->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  EXPECT_TRUE(testsupport::SaveWindowPng(*frame, L"screenshots\\frame_station.png"));
}

TEST_F(FrameOnSiteTest, AnEmptyTypeTableAsksToTryAgainAndALaterReplyFillsTheTreeAgain) {
  testsupport::MessageBoxRecorder boxes(IDNO);
  frame->OnWebServiceReply("<types></types>", 0, 0);
  EXPECT_EQ(0, TreeCount(frame));
  EXPECT_EQ(L"请求音乐库列表失败，请检查网络连接后重试！", boxes.last().text);
  EXPECT_EQ(2u, boxes.count());
  testsupport::HttpReply radios;
  ASSERT_TRUE(standin.Get("/app/ws/car-radios", &radios));
  // A refill while a node is selected: the deletions report items without records.
  frame->OnWebServiceReply(radios.body, 0, 0);
  frame->OnWebServiceReply(radios.body, 0, 0);
  EXPECT_EQ(3, TreeCount(frame));
  EXPECT_EQ(8u, frame->GetRadioList().GetRecords().size());
}

TEST_F(FrameOnSiteTest, ThePagerRemembersPagesOfNodesWithLargeIds) {
  // A sort id of 70000 reads as 4464 (16 bits).
  frame->OnWebServiceReply(
      u8"<types><type><type_id>2</type_id><type_name>专辑</type_name><sort><sort_id>70000"
      u8"</sort_id><sort_name>大编号</sort_name><list><list_id>456</list_id><list_name>晴天日记"
      u8"</list_name><create_time>20130101</create_time></list></sort></type></types>",
      0, 0);
  ASSERT_EQ(1, TreeCount(frame));
  ASSERT_EQ(4464, frame->GetRadioTree().GetSelectedSort()->sort_id);
  CSelectCtrl& pager = frame->GetPager();
  pager.SetCurPage(1);
  NMHDR step = {pager.m_hWnd, static_cast<UINT_PTR>(pager.GetDlgCtrlID()), CSelectCtrl::kPageNotify};
  frame->SendMessage(WM_NOTIFY, step.idFrom, reinterpret_cast<LPARAM>(&step));
  EXPECT_EQ(1, frame->GetRememberedPage(4464));
  EXPECT_TRUE(testsupport::WaitUntil([&] {
    boost::property_tree::ptree log = standin.Log("/app/ws/album-promotions");
    for (const auto& request : log.get_child("requests")) {
      if (request.second.get<std::string>("query") == "sort_id=4464&page=2") return true;
    }
    return false;
  }));
  // Back on the node, the pager shows the page it had.
  pager.SetCurPage(0);
  frame->OnTreeSelChanged(frame->GetRadioTree().GetSelectedItem());
  EXPECT_EQ(1, pager.GetCurPage());
}

TEST_F(FrameOnSiteTest, EveryCoverOfAPageArrivesOnceWithoutAnotherPaint) {
  // Eight covers asked for in one paint: each newer request replaces the one waiting, so the
  // list must ask again as covers arrive, and never for one being fetched.
  CImageDownloader& downloader = frame->GetImageDownloader();
  ShowStation();
  std::vector<RadioList> rows = frame->GetRadioList().GetRecords();
  ASSERT_EQ(8u, rows.size());
  ASSERT_TRUE(
      testsupport::WaitUntil([&] { return AllCoversThere(rows) && downloader.IsIdle(); }));
  for (const RadioList& row : rows) ASSERT_TRUE(DeleteFileW(CoverFile(row)));
  ASSERT_TRUE(standin.Reset());
  ASSERT_TRUE(standin.SetScenario(R"({"http": {"match": "/cover/", "delay_ms": 150}})"));
  frame->GetRadioList().RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);

  EXPECT_TRUE(
      testsupport::WaitUntil([&] { return AllCoversThere(rows) && downloader.IsIdle(); }));
  for (const RadioList& row : rows) {
    std::string address = em_utility::wide_to_utf8(row.cover_url.GetString());
    EXPECT_EQ(1u, Requests(address.substr(address.find("/cover/")))) << address;
  }
}

TEST_F(FrameOnSiteTest, APageArrivesOnlyWhileItsNodeAndPageAreShown) {
  ShowStation();
  struct Case {
    int sortId;     // of the reply
    int page;       // of the reply
    int shownPage;  // the pager's
    bool shown;
  } cases[] = {
      {10, 1, 2, false},  // the user has paged on
      {11, 2, 2, false},  // the page of another node
      {10, 2, 2, true},
  };
  int listId = 9100;
  for (const Case& c : cases) {
    ++listId;
    std::vector<RadioList> before = frame->GetRadioList().GetRecords();
    frame->GetPager().SetCurPage(c.shownPage);
    std::string reply = "<type><type_id>2</type_id><sort><sort_id>" + std::to_string(c.sortId) +
                        "</sort_id><list><list_id>" + std::to_string(listId) +
                        "</list_id></list></sort></type>";
    // Key words of their own, so that each reply is cached under a key of its own.
    auto* page = new AlbumPromotionParam{c.sortId, c.page, static_cast<unsigned>(listId), 0};
    frame->OnWebServiceReply(reply, WebRequestKind::AlbumPromotions, RequestParamId(page));
    const std::vector<RadioList>& after = frame->GetRadioList().GetRecords();
    if (c.shown) {
      ASSERT_EQ(1u, after.size()) << c.sortId << "/" << c.page;
      EXPECT_EQ(listId, after[0].list_id);
    } else {
      ASSERT_EQ(before.size(), after.size()) << c.sortId << "/" << c.page;
      EXPECT_EQ(before[0].list_id, after[0].list_id) << c.sortId << "/" << c.page;
    }
  }
  frame->GetPager().SetCurPage(0);
}

TEST_F(FrameOnSiteTest, APageTheWorkerDeliversNeverLandsAfterTheUserHasPagedBack) {
  // The request worker delivers the second page of the node while the pager shows it, and the
  // user goes back to the first page meanwhile: at each moment between the worker's messages
  // in turn, and once after them. Whenever the user moved, the list ends with the first page.
  ShowStation();
  const std::vector<int> firstPage = ListIds(frame->GetRadioList().GetRecords());
  CSelectCtrl& pager = frame->GetPager();
  NMHDR step = {pager.m_hWnd, static_cast<UINT_PTR>(pager.GetDlgCtrlID()),
                CSelectCtrl::kPageNotify};
  auto pageBack = [&] {
    pager.SetCurPage(0);
    frame->SendMessage(WM_NOTIFY, step.idFrom, reinterpret_cast<LPARAM>(&step));
  };
  bool movedAfterTheDelivery = false;
  for (int moment = 1; !movedAfterTheDelivery && moment <= 50; ++moment) {
    pager.SetCurPage(1);
    const int listId = 9200 + moment;  // and so a cache key of its own
    const std::string reply =
        "<type><type_id>2</type_id><sort><sort_id>10</sort_id><list><list_id>" +
        std::to_string(listId) + "</list_id></list></sort></type>";
    auto* page = new AlbumPromotionParam{10, 1, static_cast<unsigned>(listId), 0};
    BeforeForeignMessage user(moment, pageBack);
    ASSERT_TRUE(user.hooked());
    std::atomic<bool> delivered{false};
    std::thread worker([&] {
      frame->OnWebServiceReply(reply, WebRequestKind::AlbumPromotions, RequestParamId(page));
      delivered = true;
    });
    // The worker may wait for this thread's windows: they answer while this thread waits.
    bool done = testsupport::WaitUntil([&] { return delivered.load(); });
    worker.join();
    ASSERT_TRUE(done) << "moment " << moment;
    movedAfterTheDelivery = !user.RanBeforeAMessage();
    EXPECT_EQ(firstPage, ListIds(frame->GetRadioList().GetRecords())) << "moment " << moment;
  }
  EXPECT_TRUE(movedAfterTheDelivery);
}

TEST(RadioLibList, ACoverOpensTheRadioOrAlbumPageAndNothingForOtherTypes) {
  RadioList record;
  record.list_id = 456;
  struct Case {
    const wchar_t* type;
    const wchar_t* page;  // null: nothing opens
  } cases[] = {{L"电台", L"/radio"}, {L"专辑", L"/album/456"}, {L"其他", nullptr}};
  for (const Case& c : cases) {
    record.type_name = c.type;
    CString address = CRadioLibListCtrl::CoverClickAddress(record);
    if (c.page) {
      EXPECT_EQ(address.GetLength() - lstrlenW(c.page), address.Find(c.page)) << c.type;
    } else {
      EXPECT_TRUE(address.IsEmpty()) << c.type;
    }
  }
}

TEST_F(FrameOnSiteTest, AManualCheckTellsOfTheSameVersionOrABusyNetwork) {
  testsupport::MessageBoxRecorder boxes(IDOK);
  ServeUpdate(UpdateXml("1.0.15.17"));
  frame->CheckUpdate(true);
  EXPECT_EQ(L"您当前使用的为最新版本！", boxes.last().text);
  EXPECT_EQ(L"检查更新", boxes.last().caption);

  ASSERT_TRUE(standin.SetScenario(R"({"http": {"match": "/daruruvidev/", "status": 404}})"));
  frame->CheckUpdate(true);
  EXPECT_EQ(L"网络忙，请稍后重试！", boxes.last().text);
  EXPECT_EQ(2u, boxes.count());
}

TEST_F(FrameOnSiteTest, AFailedDownloadNeverReadsTheFileAnEarlierCheckLeft) {
  GetConfig()->auto_check_update = 1;
  ASSERT_TRUE(testsupport::WriteFileBytes(GetConfig()->GetUpdateXmlPath().GetString(),
                                          UpdateXml("9.9.9.9")));
  ASSERT_TRUE(standin.SetScenario(R"({"http": {"match": "/daruruvidev/", "status": 404}})"));
  testsupport::MessageBoxRecorder boxes(IDOK);
  std::atomic<bool> done{false};
  auto answer = AnswerUpdateDialog(done);
  frame->CheckUpdate(false);
  done = true;
  GetConfig()->auto_check_update = 0;
  EXPECT_EQ(L"(no dialog)", answer.get());  // no newer version was taken from the old file
  EXPECT_TRUE(frame->IsKeepChecking());
  EXPECT_EQ(0u, boxes.count());
}

TEST_F(FrameOnSiteTest, ANewerVersionShowsTheDialogOnceAndEndsTheAutomaticChecks) {
  GetConfig()->auto_check_update = 1;
  ServeUpdate(UpdateXml("1.0.16.0"));
  std::atomic<bool> never{false};
  auto answer = AnswerUpdateDialog(never);
  frame->CheckUpdate(false);
  GetConfig()->auto_check_update = 0;
  EXPECT_EQ(L"修复问题\r\n新增功能", answer.get());
  EXPECT_FALSE(frame->IsKeepChecking());
}

TEST_F(FrameOnSiteTest, ListeningToARowOpensTheWorkspaceAndAsksForItsAlbum) {
  ShowStation();
  CRadioLibListCtrl& list = frame->GetRadioList();
  const RadioList row = list.GetRecords().at(1);
  // The album's songs would start buffering: the site fails the call, the request is what counts.
  ASSERT_TRUE(standin.SetScenario(R"({"http": {"match": "/sdk", "status": 500}})"));
  std::mutex mutex;
  std::vector<int> fields;
  frame->SetDataObserverForTesting([&](bool api, int kind, int param) {
    if (!api || kind != WebRequestKind::AlbumDetail) return;
    const WebRequestParam* request = RequestParamRecord<WebRequestParam>(param);
    std::lock_guard<std::mutex> lock(mutex);
    fields.assign(request->fields, request->fields + 6);
  });
  CRect cell;
  ASSERT_TRUE(list.GetSubItemRect(1, 1, LVIR_LABEL, &cell));
  // The button is 50 px square, 36 px in and 14 px down in its cell; beside it is no hit area.
  const LPARAM button = MAKELPARAM(cell.left + 60, cell.top + 39);
  list.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(cell.left + 20, cell.top + 39));
  EXPECT_EQ(CMainFrame::kCursorArrow, frame->GetCursorState());
  list.SendMessage(WM_MOUSEMOVE, 0, button);
  EXPECT_EQ(CMainFrame::kCursorHand, frame->GetCursorState());
  list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, button);

  EXPECT_TRUE(frame->GetLrceditDlg()->IsWindowVisible());
  EXPECT_FALSE(list.IsWindowVisible());
  EXPECT_TRUE(testsupport::WaitUntil([&] {
    std::lock_guard<std::mutex> lock(mutex);
    return !fields.empty();
  }));
  frame->SetDataObserverForTesting(nullptr);
  EXPECT_EQ((std::vector<int>{0, 0, row.type_id, row.list_id, row.list_id, row.type_id}), fields);
  boost::property_tree::ptree log = standin.Log("/sdk");
  ASSERT_EQ(1u, log.get_child("requests").size());
  std::string query = log.get_child("requests").front().second.get<std::string>("query");
  EXPECT_NE(std::string::npos, query.find("method=Albums.detail")) << query;
  EXPECT_EQ(0u, query.find("id=" + std::to_string(row.list_id) + "&")) << query;
  frame->ShowPane(0);
}

}  // namespace
