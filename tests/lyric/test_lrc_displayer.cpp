// The lyric display window painted into a picture at chosen times, and the now-playing notice
// it sends to a messenger window.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "lyric/lrc_displayer.h"
#include "support/canvas.h"
#include "support/program_folder.h"
#include "support/temp_dir.h"
#include "winlayer/window_impl.h"

namespace {

auto* const g_folder = ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder);

constexpr COLORREF kBackground = 0x282128;
constexpr COLORREF kOther = 0x7D7D7D;
constexpr COLORREF kCurrent = 0x00FF00;

CRect Band(int top, int height, int width) {
  return CRect(0, top, width, top + height);
}

}  // namespace

TEST(LrcDisplayer, PaintsTheCurrentLineAtMidHeightAndTheNextBelowIt) {
  testsupport::TempDir dir;
  ASSERT_TRUE(testsupport::WriteFileBytes(
      dir.file(L"1.lrc"),
      "[00:00.00]\xE6\x95\x85\xE4\xBA\x8B\xE7\x9A\x84\xE5\xB0\x8F\xE9\xBB"
      "\x84\xE8\x8A\xB1 one\n[00:02.00]second line\n[00:04.00]third line\n"));
  CLrcDisplayer display;
  display.Init();
  display.SetStyle(5, true, kOther, kCurrent, 0x320000);
  testsupport::Canvas canvas(300, 200, RGB(1, 2, 3));
  const CRect client(0, 0, 300, 200);

  display.Paint(canvas.hdc(), client, GetTickCount());  // stopped: the message, centred
  EXPECT_GT(canvas.Count(kOther, Band(90, 20, 300)), 0);
  EXPECT_EQ(0, canvas.Count(kOther, Band(0, 80, 300)));

  display.OpenLyricFile(dir.file(L"1.mp3").c_str());  // the lyric beside the song
  ASSERT_EQ(LrcClock::kPlaying, display.GetState());
  // One second in: line 0 is current and half-way up to the next line (14 px apart).
  display.Paint(canvas.hdc(), client, GetTickCount() + 1000);
  EXPECT_EQ(0, display.GetCurrentLine());
  EXPECT_GT(canvas.Count(kCurrent, Band(100 - 7, 14, 300)), 10);
  EXPECT_EQ(0, canvas.Count(kCurrent, Band(100 + 9, 91, 300)));
  EXPECT_GT(canvas.Count(kOther, Band(100 + 7, 14, 300)), 10);
  // The edges fade towards the edge colour; the middle keeps the background.
  EXPECT_NE(kBackground, canvas.at(150, 0));
  EXPECT_EQ(kBackground, canvas.at(2, 60));

  // Two and a half seconds in: the second line is current.
  display.Paint(canvas.hdc(), client, GetTickCount() + 2500);
  EXPECT_EQ(1, display.GetCurrentLine());
}

// The marker shows while the button is held over the display. The display keeps the mouse until
// the button comes up, so the marker goes even when it comes up over another window.
TEST(LrcDisplayer, TheDragMarkerGoesWhenTheButtonComesUpElsewhere) {
  testsupport::TempDir dir;
  ASSERT_TRUE(testsupport::WriteFileBytes(dir.file(L"1.lrc"), "[00:00.00]a\n[00:09.00]b\n"));
  CWindow host;
  ASSERT_TRUE(host.Create(L"STATIC", nullptr, CRect(0, 0, 300, 200), nullptr, WS_POPUP));
  CLrcDisplayer display;
  display.Init();
  display.SetStyle(5, true, kOther, kCurrent, 0x320000);
  ASSERT_TRUE(display.Create(host, CRect(0, 0, 300, 200)));
  display.OpenLyricFile(dir.file(L"1.lrc").c_str());
  testsupport::Canvas canvas(300, 200);
  auto marker = [&] {
    display.Paint(canvas.hdc(), CRect(0, 0, 300, 200), GetTickCount());
    return canvas.at(5, 98) == kOther;  // the stroke at the left end of the mid-line
  };
  EXPECT_FALSE(marker());
  display.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 50));
  display.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 50));
  EXPECT_TRUE(marker());
  EXPECT_EQ(display.m_hWnd, GetCapture());
  ReleaseCapture();  // as when another window takes the mouse
  EXPECT_FALSE(marker());
  host.DestroyWindow();
}

namespace {

// A window of the messenger's class that keeps the notices it receives.
class Messenger : public CWindowImpl<Messenger> {
 public:
  DECLARE_WND_CLASS(L"MsnMsgrUIManager")
  BEGIN_MSG_MAP(Messenger)
  MESSAGE_HANDLER(WM_COPYDATA, OnCopyData)
  END_MSG_MAP()
  LRESULT OnCopyData(UINT, WPARAM sender, LPARAM lParam, BOOL&) {
    auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    EXPECT_EQ(0u, sender);
    EXPECT_EQ(1351u, data->dwData);
    notices.emplace_back(static_cast<const char*>(data->lpData), data->cbData);
    return TRUE;
  }
  std::vector<std::string> notices;
};

std::string Utf16(const std::wstring& text) {
  return std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * 2);
}

}  // namespace

TEST(LrcDisplayer, TellsTheMessengerWhatPlays) {
  EXPECT_FALSE(CLrcDisplayer::NotifyNowPlaying(L"晴天", 0));  // no messenger yet
  Messenger first;
  Messenger second;
  ASSERT_TRUE(first.Create(nullptr, CRect(0, 0, 1, 1), nullptr, WS_POPUP));
  ASSERT_TRUE(second.Create(nullptr, CRect(0, 0, 1, 1), nullptr, WS_POPUP));

  ASSERT_TRUE(CLrcDisplayer::NotifyNowPlaying(L"晴天", 1));
  CLrcDisplayer::ClearNowPlaying();
  std::vector<std::string> all = first.notices;
  all.insert(all.end(), second.notices.begin(), second.notices.end());
  ASSERT_EQ(3u, all.size());
  EXPECT_NE(all.end(),
            std::find(all.begin(), all.end(), Utf16(L"\\0Games\\01\\0{0}\\0晴天\\0\\0\\0\\0")));
  EXPECT_EQ(Utf16(L"\\0Music\\00\\0\\0\\0\\0\\0"), first.notices.back());
  EXPECT_EQ(Utf16(L"\\0Music\\00\\0\\0\\0\\0\\0"), second.notices.back());
  first.DestroyWindow();
  second.DestroyWindow();
}
