// The workspace's media player control, hosted from the workspace's dialog template, playing a
// song of the stand-in through whichever path this machine offers.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "lyric/hosted_player.h"
#include "resources/lyric_ids.h"
#include "support/gtest_cstring.h"
#include "support/message_pump.h"
#include "support/standin_client.h"
#include "support/temp_dir.h"
#include "winlayer/ax_dialog.h"

namespace {

class PlayerHost : public CAxDialogImpl<PlayerHost> {
 public:
  enum { IDD = IDD_LRCEDIT_DLG };
  BEGIN_MSG_MAP(PlayerHost)
  END_MSG_MAP()
};

}  // namespace

TEST(MediaPlayer, TheHostedControlPlaysPausesSeeksAndStops) {
  testsupport::StandinClient standin;
  ASSERT_TRUE(standin.ok()) << standin.error();
  testsupport::HttpReply song;
  ASSERT_TRUE(standin.Get("/audio/123.mp3", &song));
  testsupport::TempDir dir;
  std::wstring path = dir.file(L"song.mp3");
  ASSERT_TRUE(testsupport::WriteFileBytes(path, song.body));

  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  {
    CWindow parent;
    ASSERT_TRUE(parent.Create(L"STATIC", nullptr, CWindow::rcDefault, nullptr, WS_POPUP));
    PlayerHost host;
    ASSERT_NE(nullptr, host.Create(parent)) << GetLastError();
    CAxWindow control(host.GetDlgItem(IDC_PLAYER));
    IWMPPlayer* wmp = nullptr;
    ASSERT_EQ(S_OK, control.QueryControl(&wmp));
    CHostedPlayer player;
    ASSERT_TRUE(player.Attach(wmp));
    wmp->Release();
    RecordProperty("substitute", player.UsesSubstitute() ? "DirectShow" : "none");

    EXPECT_EQ(CString(), player.GetDurationText());
    EXPECT_EQ(0.0, player.GetPosition());
    ASSERT_TRUE(player.Open(path.c_str()));
    player.Play();
    ASSERT_TRUE(testsupport::PumpMessagesUntil([&] { return player.GetPosition() > 0.2; }, 10000));
    EXPECT_EQ(kPlayStatePlaying, player.GetPlayState());
    EXPECT_EQ(CString(L"00:30"), player.GetDurationText());
    if (player.UsesSubstitute()) {
      // The song is never played by both: the control itself was given nothing.
      BSTR url = nullptr;
      ASSERT_EQ(S_OK, player.GetControlPlayer()->get_URL(&url));
      EXPECT_EQ(0u, SysStringLen(url));
      SysFreeString(url);
    }

    player.Pause();
    ASSERT_TRUE(testsupport::PumpMessagesUntil(
        [&] { return player.GetPlayState() == kPlayStatePaused; }, 10000));
    player.SetPosition(15.437);
    EXPECT_NEAR(15.437, player.GetPosition(), 0.001);

    // Near the end the song plays out and the player stops, back at the start.
    player.SetPosition(29.6);
    player.Play();
    ASSERT_TRUE(testsupport::PumpMessagesUntil(
        [&] { return player.GetPlayState() == kPlayStateStopped; }, 10000));
    EXPECT_EQ(0.0, player.GetPosition());

    player.Play();
    player.Stop();
    EXPECT_EQ(kPlayStateStopped, player.GetPlayState());
    player.Detach();
    EXPECT_FALSE(player.IsAttached());
    parent.DestroyWindow();
  }
  CoUninitialize();
}

TEST(MediaPlayer, DurationTextCountsMinutesAndHours) {
  EXPECT_EQ(CString(L"00:00"), FormatDurationText(0.9));
  EXPECT_EQ(CString(L"03:25"), FormatDurationText(205.5));
  EXPECT_EQ(CString(L"1:01:01"), FormatDurationText(3661));
}
