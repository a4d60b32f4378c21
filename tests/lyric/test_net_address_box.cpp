// The main frame's address box: Enter on a pasted song or album page asks the web-data manager
// (whose queue asks the stand-in), and the box's three looks as the focus comes and goes.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/main_frame.h"
#include "foundation/config.h"
#include "lyric/edit_impl.h"
#include "support/canvas.h"
#include "support/message_pump.h"
#include "support/program_folder.h"
#include "support/standin_client.h"
#include "support/standin_site.h"
#include "webdata/proto_replies.h"
#include "webdata/web_service.h"

namespace {

auto* const g_folder = ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder);
auto* const g_site = ::testing::AddGlobalTestEnvironment(new testsupport::StandinSite);

class AddressBox : public ::testing::Test {
 protected:
  // One shown host for the suite: a shown window costs seconds to take down without a window
  // manager.
  static void SetUpTestSuite() {
    ASSERT_TRUE(CWebService::Instance()->Start());
    host.Create(L"STATIC", nullptr, CRect(0, 0, 400, 60), nullptr, WS_POPUP | WS_VISIBLE);
    CWindow edit;
    edit.Create(L"EDIT", host, CRect(10, 10, 310, 32), nullptr,
                WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL);
    other.Create(L"EDIT", host, CRect(320, 10, 390, 32), nullptr, WS_CHILD | WS_VISIBLE);
    ASSERT_TRUE(box.Init(edit));
    box.SetCueText(L"输入专辑或歌曲url");
    SetForegroundWindow(host);
  }
  static void TearDownTestSuite() { CWebService::Instance()->Stop(); }
  void SetUp() override {
    ASSERT_TRUE(standin.ok()) << standin.error();
    ASSERT_TRUE(standin.Reset());
    GetConfig()->ApiURL =
        CString(std::wstring(standin.Host().begin(), standin.Host().end()).c_str());
  }
  void Enter(const wchar_t* address) {
    box.SetFocus();
    box.SetWindowText(address);
    box.SendMessage(WM_KEYDOWN, VK_RETURN, 0);
  }

  testsupport::StandinClient standin;
  static inline CWindow host;
  static inline CWindow other;
  static inline CEditImpl box;
};

}  // namespace

TEST_F(AddressBox, EnterRequestsTheSongOrAlbumOfThePastedAddress) {
  CWebDataManager& data = CMainFrame::GetInstance()->GetWebDataManager();
  Enter(L"http://www.daruruvi.com/song/123?from=list");
  bool found = false;
  ASSERT_TRUE(testsupport::PumpMessagesUntil([&] { return data.GetTrackDetail(123, found), found; },
                                             10000));
  Enter(L"http://www.daruruvi.com/album/456");
  boost::shared_ptr<proto::albumdetail> album;
  ASSERT_TRUE(
      testsupport::PumpMessagesUntil([&] { return data.GetAlbumDetail(456, album); }, 10000));
}

TEST_F(AddressBox, LeavingTheBoxDimsTheAddressAndComingBackEmptiesIt) {
  testsupport::Canvas canvas(300, 22);
  other.SetFocus();
  box.SetFocus();  // coming in empties the box, so leaving it keeps nothing
  other.SetFocus();
  box.DoPaint(canvas.hdc());  // empty and without the focus: the cue on white
  EXPECT_GT(canvas.Count(0xC1C1C1), 0);
  EXPECT_EQ(RGB(255, 255, 255), canvas.at(299, 0));

  box.SetFocus();
  box.SetWindowText(L"http://www.daruruvi.com/song/1");
  other.SetFocus();
  EXPECT_EQ(0, box.GetWindowTextLength());
  box.DoPaint(canvas.hdc());
  EXPECT_EQ(0x2F282F, canvas.at(299, 0));
  EXPECT_GT(canvas.Count(0x848484), 0);

  box.SetFocus();
  EXPECT_EQ(0, box.GetWindowTextLength());
  box.DoPaint(canvas.hdc());
  EXPECT_EQ(RGB(255, 255, 255), canvas.at(299, 0));
}
