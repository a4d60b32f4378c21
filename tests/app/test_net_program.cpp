// The program itself, started as a user starts it, against the stand-in: the main road from the
// login to an uploaded lyric and the exit, one instance at a time, and the change of user that
// closes the program and starts it again from a folder whose name has Chinese characters and a
// space.
#include <winsock2.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <boost/property_tree/ptree.hpp>

#include "foundation/md5.h"
#include "support/child_process.h"
#include "support/program_test.h"
#include "support/standin_site.h"

namespace {

auto* const g_site = ::testing::AddGlobalTestEnvironment(new testsupport::StandinSite);

using testsupport::AnswerBox;
using testsupport::ProgramTest;

int CountFiles(const std::wstring& pattern) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do ++count; while (FindNextFileW(search, &found));
  FindClose(search);
  return count;
}

TEST_F(ProgramTest, TheMainRoadFromTheLoginToAnUploadedLyric) {
  WriteSettings(false, false);
  testsupport::ChildProcess program(exe);
  ASSERT_TRUE(program.started());

  // Sign in through the dialog.
  HWND login = nullptr;
  ASSERT_TRUE(testsupport::WaitUntil(
      [&] { return (login = testsupport::FindProcessWindow(program.pid(), L"#32770", nullptr)); }));
  SetDlgItemTextW(login, 1016, L"editor@example.com");
  SetDlgItemTextW(login, 1017, L"lyrics123");
  Picture(login, L"road_1_login.png");
  PostMessageW(login, WM_COMMAND, IDOK, 0);

  // The frame with the music station.
  HWND frame = WaitForFrame(program.pid());
  ASSERT_NE(nullptr, frame);
  // Covers come as the list paints (a newer request replaces one still waiting): repaint, now
  // and then, until the eight of the first page are beside the program.
  DWORD repainted = 0;
  ASSERT_TRUE(testsupport::WaitUntil([&] {
    if (GetTickCount() - repainted > 250) {
      RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
      repainted = GetTickCount();
    }
    return CountFiles(folder + L"radio\\cover\\*.jpg") >= 8;
  })) << CountFiles(folder + L"radio\\cover\\*.jpg");
  Picture(frame, L"road_2_station.png");

  // Paste a song address and press Enter: the song arrives, buffers and plays.
  HWND address = testsupport::FindChildWindow(frame, 10000);
  ASSERT_NE(nullptr, address);
  SendMessageW(address, WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(L"http://www.daruruvi.com/song/123?from=road"));
  PostMessageW(address, WM_KEYDOWN, VK_RETURN, 0);
  ASSERT_TRUE(WaitForRequest("/audio/123.mp3"));
  // Once it plays, its lyric is in the editor.
  HWND lyricBox = testsupport::FindChildWindow(frame, 1000);
  ASSERT_NE(nullptr, lyricBox);
  auto lyricText = [&] { return testsupport::ControlText(lyricBox); };
  ASSERT_TRUE(testsupport::WaitUntil(
      [&] { return lyricText().find(L"[ti:晴天]") != std::wstring::npos; }, 60000));
  std::wstring loaded = lyricText();

  // F3 skips five seconds of the playing song; F6 on the line sung there puts the play time in
  // place of its tag (F5 would put it in front, and the line would be sung twice); F11 uploads.
  const std::wstring line = L"阳光照进窗台";
  size_t lineStart = loaded.rfind(L'\n', loaded.find(line));
  ASSERT_NE(std::wstring::npos, lineStart);
  int caret = static_cast<int>(lineStart + 1);
  PostMessageW(lyricBox, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageW(lyricBox, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  PostMessageW(lyricBox, EM_SETSEL, caret, caret);
  PostMessageW(lyricBox, WM_KEYDOWN, VK_F3, 0);
  PostMessageW(lyricBox, WM_KEYDOWN, VK_F6, 0);
  // A selection posted after the keys shows when they have been handled (the tag may even come
  // out as the one the line had).
  PostMessageW(lyricBox, EM_SETSEL, 0, 0);
  ASSERT_TRUE(testsupport::WaitUntil(
      [&] { return SendMessageW(lyricBox, EM_GETSEL, 0, 0) == MAKELONG(0, 0); }));
  std::wstring tagged = lyricText();
  // The tag is the time after the skip: five seconds and more, before the song ends.
  std::wstring tag = tagged.substr(caret, 10);
  EXPECT_TRUE(tag >= L"[00:05.00]" && tag < L"[00:30.00]") << tag;
  EXPECT_EQ(tag + line, tagged.substr(caret, 10 + line.size()));
  Picture(frame, L"road_3_workspace.png");
  PostMessageW(lyricBox, WM_KEYDOWN, VK_F11, 0);
  EXPECT_EQ(L"上传完成！", AnswerBox(program.pid(), L"歌词编辑"));

  // Back to the lyric display, which follows the song from where it plays.
  HWND editor = GetParent(lyricBox);
  PostMessageW(GetParent(editor), WM_COMMAND, 1025, 0);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return !IsWindowVisible(editor); }));
  Picture(frame, L"road_4_display.png");

  // The site saw the grant with the password digest and the lyric file.
  std::vector<boost::property_tree::ptree> grants = Requests("/api/oauth2/token");
  ASSERT_EQ(1u, grants.size());
  EXPECT_NE(std::string::npos, grants[0].get<std::string>("query").find(
                                   "password=" + em_utility::md5_string("lyrics123", 9)));
  std::string upload;
  for (const auto& request : Requests("/sdk")) {
    if (request.get<std::string>("method") == "POST") {
      upload = standin.RawRequest(request.get<int>("seq"));
    }
  }
  EXPECT_NE(std::string::npos, upload.find("name=\"lyric\"")) << upload.substr(0, 400);

  // Exit through the menu.
  PostMessageW(frame, WM_COMMAND, 32784, 0);
  HWND question = nullptr;
  ASSERT_TRUE(testsupport::WaitUntil([&] {
    return (question = testsupport::FindProcessWindow(program.pid(), L"#32770", L"歌词编辑器"));
  }));
  PostMessageW(question, WM_COMMAND, IDYES, 0);
  EXPECT_EQ(0, program.ExitCode());
}

TEST_F(ProgramTest, ASecondInstanceIsRefusedWithExitCodeOne) {
  WriteSettings(true);
  testsupport::ChildProcess first(exe);
  ASSERT_TRUE(first.started());
  ASSERT_NE(nullptr, WaitForFrame(first.pid()));
  testsupport::ChildProcess second(exe);
  ASSERT_TRUE(second.started());
  EXPECT_EQ(L"您已运行Lirak歌词编辑器!", AnswerBox(second.pid(), L"温馨提示"));
  EXPECT_EQ(1, second.ExitCode());
  // Only the first one signed in.
  EXPECT_EQ(1u, standin.Log().get_child("logins").size());
}

TEST_F(ProgramTest, ChangingUserRestartsWithTheLoginDialogAndForgetsAutomaticSignIn) {
  WriteSettings(true);
  testsupport::ChildProcess first(exe);
  HWND frame = WaitForFrame(first.pid());
  ASSERT_NE(nullptr, frame);
  PostMessageW(frame, WM_COMMAND, 32813, 0);
  EXPECT_EQ(0, first.ExitCode());

  // The new instance, the first one's child, ends with this test however the test ends.
  DWORD pid = 0;
  ASSERT_TRUE(testsupport::WaitUntil(
      [&] { return (pid = testsupport::FindChildProcessOf(first.pid())) != 0; }));
  testsupport::ChildProcess restarted(pid);
  ASSERT_TRUE(restarted.started());
  HWND login = nullptr;
  ASSERT_TRUE(testsupport::WaitUntil(
      [&] { return (login = testsupport::FindProcessWindow(pid, L"#32770", nullptr)) != nullptr; }));
  std::string settings = Settings();
  EXPECT_NE(std::string::npos, settings.find("<m_bAutoLogin>0</m_bAutoLogin>")) << settings;
  EXPECT_NE(std::string::npos, settings.find("<SuccessLoginSum>4</SuccessLoginSum>")) << settings;
  EXPECT_NE(std::string::npos, settings.find("<m_strEmail>editor@example.com</m_strEmail>"));

  PostMessageW(login, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(L"登录失败！!", AnswerBox(pid, L"温馨提示"));
  EXPECT_EQ(1, restarted.ExitCode());
}

}  // namespace
