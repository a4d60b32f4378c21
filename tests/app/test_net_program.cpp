// The program itself, started as a user starts it, against the stand-in: the main road from the
// login to an uploaded lyric and the exit with a change left unsaved, one instance at a time, and
// the change of user that closes the program and starts it again from a folder whose name has
// Chinese characters and a space.
#include <winsock2.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <boost/property_tree/ptree.hpp>

#include "foundation/md5.h"
#include "foundation/text_convert.h"
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
  // A selection posted after the keys shows when they have been handled: one that neither the
  // click nor the keys make (the caret alone would also stand at 0 before anything was handled).
  PostMessageW(lyricBox, EM_SETSEL, 1, 2);
  ASSERT_TRUE(testsupport::WaitUntil(
      [&] { return SendMessageW(lyricBox, EM_GETSEL, 0, 0) == MAKELONG(1, 2); }));
  // The keys reached the box (else the editor would have warned of the focus).
  EXPECT_EQ(nullptr, testsupport::FindProcessWindow(program.pid(), L"#32770", L"温馨提示"));
  std::wstring tagged = lyricText();
  // The tag is the time after the skip: five seconds and more, before the song ends.
  std::wstring tag = tagged.substr(caret, 10);
  EXPECT_TRUE(tag >= L"[00:05.00]" && tag < L"[00:30.00]") << tag;
  EXPECT_EQ(tag + line, tagged.substr(caret, 10 + line.size()));
  SendMessageW(lyricBox, EM_SETSEL, caret + 10, caret + 10);  // where F6 left the caret
  Picture(frame, L"road_3_workspace.png");
  PostMessageW(lyricBox, WM_KEYDOWN, VK_F11, 0);
  EXPECT_EQ(L"上传完成！", AnswerBox(program.pid(), L"歌词编辑"));
  // A change after the upload, left unsaved.
  const std::wstring uploaded = lyricText();
  PostMessageW(lyricBox, WM_CHAR, L'x', 0);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return lyricText() != uploaded; }));

  // Back to the lyric display, which follows the song from where it plays.
  HWND editor = GetParent(lyricBox);
  PostMessageW(GetParent(editor), WM_COMMAND, 1025, 0);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return !IsWindowVisible(editor); }));
  Picture(frame, L"road_4_display.png");

  // Every exchange of the road reached the site and was answered: the sign-in with the
  // account's digest, the song's details, its audio and its lyric, the grant with the password
  // digest, and the upload of the lyric file as the editor saved it, tag and all.
  const std::string digest = em_utility::md5_string("lyrics123", 9);
  boost::property_tree::ptree logins = standin.Log().get_child("logins");
  ASSERT_EQ(1u, logins.size());
  EXPECT_EQ("editor@example.com", logins.front().second.get<std::string>("user"));
  EXPECT_EQ(digest, logins.front().second.get<std::string>("digest"));
  for (const char* path : {"/audio/123.mp3", "/lyric/123.lrc"}) {
    std::vector<boost::property_tree::ptree> fetched = Requests(path);
    ASSERT_FALSE(fetched.empty()) << path;
    EXPECT_EQ(200, fetched.back().get<int>("reply_status")) << path;
  }
  std::vector<boost::property_tree::ptree> grants = Requests("/api/oauth2/token");
  ASSERT_EQ(1u, grants.size());
  EXPECT_NE(std::string::npos, grants[0].get<std::string>("query").find("password=" + digest));
  bool detailAsked = false;
  std::string upload;
  for (const auto& request : Requests("/sdk")) {
    const std::string query = request.get<std::string>("query");
    if (request.get<std::string>("method") == "POST") {
      EXPECT_EQ(200, request.get<int>("reply_status"));
      upload = standin.RawRequest(request.get<int>("seq"));
    } else if (query.find("method=Songs.getTrackDetail") != std::string::npos &&
               query.compare(0, 7, "id=123&") == 0) {
      detailAsked = request.get<int>("reply_status") == 200;
    }
  }
  EXPECT_TRUE(detailAsked);
  std::string saved = testsupport::ReadFileBytes(dir.path() + L"temp\\123.lrc");
  EXPECT_NE(std::string::npos, saved.find(em_utility::wide_to_utf8(tag + line))) << saved;
  EXPECT_NE(std::string::npos, upload.find("\r\n\r\n" + saved + "\r\n--")) << upload.substr(0, 400);

  // Exit through the menu: first the question about the unsaved change, let go, then the exit's.
  PostMessageW(frame, WM_COMMAND, 32784, 0);
  EXPECT_EQ(L"歌词文件已经修改，是否保存？", AnswerBox(program.pid(), L"歌词编辑", IDNO));
  HWND question = nullptr;
  ASSERT_TRUE(testsupport::WaitUntil([&] {
    return (question = testsupport::FindProcessWindow(program.pid(), L"#32770", L"歌词编辑器"));
  }));
  PostMessageW(question, WM_COMMAND, IDYES, 0);
  EXPECT_EQ(0, program.ExitCode());
  // The song's lyric file is still the one uploaded.
  std::string kept = testsupport::ReadFileBytes(dir.path() + L"temp\\123.lrc");
  EXPECT_FALSE(kept.empty());
  EXPECT_NE(std::string::npos, upload.find("\r\n\r\n" + kept + "\r\n--")) << kept;
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
