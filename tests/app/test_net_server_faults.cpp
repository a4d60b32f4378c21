// The program itself against a failing or hostile site: every fault the stand-in can play ends in
// a message the user can act on, within the program's own waits, and the program goes on (the
// next request succeeds). Text typed into the lyric box is still there, unchanged, after every
// fault.
//
// Each table is the faults met through one user action. A row's rules are the stand-in's
// (standin/README.md), "@" standing for the path of the request the action makes. The time from
// the action to the message, and whether the program went on, are printed at the end of each
// test: figures for people, no test asserts a time beyond its bounded waits. Went on: the same
// action succeeded next; for the login and the radio types, where a success ends the table, the
// next try was made and answered, and the last one succeeds.
#include <winsock2.h>
#include <gtest/gtest.h>
#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "foundation/text_convert.h"
#include "support/child_process.h"
#include "support/program_test.h"
#include "support/standin_site.h"

namespace {

auto* const g_site = ::testing::AddGlobalTestEnvironment(new testsupport::StandinSite);

using testsupport::AnswerBox;
using testsupport::ControlText;

// The program's own waits, with a margin for a busy machine: 15 s for the login's reply; five
// tries of a web-service request of up to 9 s each; web-API exchanges of up to three performs of
// 10 s (an upload makes up to five: two grants, the upload, two refreshes); a WinINet download's
// send and read of 30 s each.
constexpr DWORD kMargin = 15000;
constexpr DWORD kLoginWait = 15000 + kMargin;
constexpr DWORD kWebServiceWait = 5 * 9000 + kMargin;
constexpr DWORD kWebApiWait = 3 * 10000 + kMargin;
constexpr DWORD kUploadWait = 5 * 3 * 10000 + kMargin;
constexpr DWORD kDownloadWait = 2 * 30000 + kMargin;

// Control ids and commands of the program.
constexpr int kUserNameBox = 1016;
constexpr int kPasswordBox = 1017;
constexpr int kAddressBox = 10000;
constexpr int kLyricBox = 1000;
constexpr int kShowStation = 1008;
constexpr int kCheckUpdate = 32783;

const wchar_t kLoginFailed[] = L"登录失败";
const wchar_t kRequestFailed[] = L"请求失败";
const wchar_t kNotice[] = L"温馨提示";
const wchar_t kEditor[] = L"歌词编辑";
const wchar_t kUpdateCaption[] = L"检查更新";

const wchar_t kReceiveError[] = L"接收数据时出现网络异常! 错误代码: 0";
const wchar_t kAskAgain[] = L"当前网络忙，是否重新请求？";
const wchar_t kPageFailed[] = L"请求专辑列表失败，请检查网络连接后重试！";
const wchar_t kSongFailed[] = L"获取歌曲信息失败，请检查歌曲地址和网络连接后重试！";
const wchar_t kAlbumFailed[] = L"获取专辑信息失败，请检查专辑地址和网络连接后重试！";
const wchar_t kUploadFailed[] = L"上传失败，请检查网络连接后重试！";
const wchar_t kTryLater[] = L"网络忙，请稍后重试！";
const wchar_t kTyped[] = L"故障之后文字仍在 kept ";

struct Fault {
  const char* name;
  const char* rules;       // the stand-in's scenario; "@" is the path of the request
  const wchar_t* message;  // the text of the box the fault ends in
};

// Faults of any HTTP request, by the way the reply goes wrong. Heads are some 130 bytes long.
#define CUT_IN_HEAD R"({"http": {"match": "@", "truncate": 40}})"
#define CUT_IN_BODY R"({"http": {"match": "@", "truncate": 180}})"
#define STATUS(code) R"({"http": {"match": "@", "status": )" #code "}}"
#define SILENT R"({"http": {"match": "@", "action": "silent"}})"
#define ENDLESS(framing) R"({"http": {"match": "@", "flood": ")" framing R"("}})"
#define GZIP_BOMB R"({"http": {"match": "@", "bomb_mb": 64}})"
#define BODY(text) R"({"http": {"match": "@", "body": ")" text R"("}})"

std::string WithPath(const char* rules, const std::string& path) {
  std::string text = rules;
  for (size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at + path.size())) {
    text.replace(at, 1, path);
  }
  return text;
}

// The frame's own list of the music station (the song list lives in the workspace).
int StationRows(HWND frame) {
  for (HWND child = GetWindow(frame, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (SendMessageW(child, LVM_GETHEADER, 0, 0)) {
      return static_cast<int>(SendMessageW(child, LVM_GETITEMCOUNT, 0, 0));
    }
  }
  return -1;
}

// A click on the "next" third of the station's pager.
void NextPage(HWND frame) {
  HWND pager = testsupport::FindChildOfClass(frame, L"RevSelectCtrl");
  RECT client = {};
  GetClientRect(pager, &client);
  int third = client.right / 3;
  PostMessageW(pager, WM_LBUTTONDOWN, MK_LBUTTON,
               MAKELPARAM(2 * third + 8 + third / 2, client.bottom / 2));
}

class ServerFaultTest : public testsupport::ProgramTest {
 protected:
  void TearDown() override {
    std::printf("\n%-14s %-42s %7s  %-7s %7s\n", "action", "fault", "ms", "went on", "row ms");
    for (const Figure& figure : figures) {
      std::printf("%-14s %-42s %7lu  %-7s %7lu\n", figure.table, figure.fault,
                  static_cast<unsigned long>(figure.ms), figure.wentOn ? "yes" : "NO",
                  static_cast<unsigned long>(figure.rowMs));
    }
    std::fflush(stdout);
    ProgramTest::TearDown();
  }

  void Start(bool autoLogin) {
    WriteSettings(autoLogin, autoLogin);
    program.reset(new testsupport::ChildProcess(exe));
    ASSERT_TRUE(program->started());
    pid = program->pid();
  }
  void Serve(const std::string& rules) { ASSERT_TRUE(standin.SetScenario(rules)) << rules; }
  void ServeWell() { Serve(R"({"http": [], "login": []})"); }

  // The box a fault ends in, within wait of start (null when none came); the time goes to the
  // figures.
  HWND BoxAfter(DWORD start, const char* table, const Fault& fault, const wchar_t* caption,
                DWORD wait) {
    HWND box = testsupport::WaitForBox(pid, caption, wait);
    figures.push_back({table, fault.name, GetTickCount() - start, false, 0});
    EXPECT_NE(nullptr, box) << fault.name << ": no box " << em_utility::wide_to_utf8(caption);
    return box;
  }
  // The same box answered: its text.
  std::wstring MessageAfter(DWORD start, const char* table, const Fault& fault,
                            const wchar_t* caption, DWORD wait) {
    HWND box = BoxAfter(start, table, fault, caption, wait);
    if (!box) return L"(no box)";
    std::wstring text = testsupport::BoxText(box);
    testsupport::Answer(box);
    return text;
  }

  // One row of a table in the workspace: the fault served, the user's action, the box it ends
  // in, the typed text checked; then, the site well again, retry (the same action, as a user
  // tries again) must succeed.
  void Row(const char* table, const Fault& fault, const char* path, const wchar_t* caption,
           DWORD wait, const std::function<void()>& act, const std::function<bool()>& retry) {
    Serve(WithPath(fault.rules, path));
    DWORD start = GetTickCount();
    act();
    EXPECT_EQ(fault.message, MessageAfter(start, table, fault, caption, wait)) << fault.name;
    ExpectTextKept(fault.name);
    ServeWell();
    bool wentOn = retry();
    EXPECT_TRUE(wentOn) << fault.name;
    figures.back().wentOn = wentOn;
    figures.back().rowMs = GetTickCount() - start;
  }

  // ---- the workspace's lyric box

  // Types into the lyric box as a user would, and remembers what the box then holds.
  void TypeIntoLyricBox() {
    std::wstring before = ControlText(lyricBox);
    for (const wchar_t* c = kTyped; *c; ++c) PostMessageW(lyricBox, WM_CHAR, *c, 0);
    ASSERT_TRUE(testsupport::WaitUntil(
        [&] { return ControlText(lyricBox).size() == before.size() + lstrlenW(kTyped); }));
    lyricText = ControlText(lyricBox);
  }
  void ExpectTextKept(const char* fault) {
    EXPECT_EQ(lyricText, ControlText(lyricBox)) << fault;
  }

  void PasteAddress(const wchar_t* kind, int id) {
    std::wstring address = L"http://www.daruruvi.com/" + std::wstring(kind) + std::to_wstring(id);
    HWND box = testsupport::FindChildWindow(frame, kAddressBox);
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(address.c_str()));
    PostMessageW(box, WM_KEYDOWN, VK_RETURN, 0);
  }
  // A song that arrives becomes the current one and starts once buffered. Opening its lyric
  // the editor asks about the typed text, and Yes saves it into the playing song's file; then
  // the new song's lyric is in the box, and the test types into it again.
  bool SongArrivesAndTextIsSaved(int arriving) {
    std::wstring question = AnswerBox(pid, kEditor, IDYES, kWebApiWait);
    EXPECT_EQ(L"歌词文件已经修改，是否保存？", question);
    if (question != L"歌词文件已经修改，是否保存？") return false;
    EXPECT_TRUE(testsupport::WaitUntil([&] { return ControlText(lyricBox) != lyricText; }));
    std::string saved =
        testsupport::ReadFileBytes(TempFolder() + std::to_wstring(playingId) + L".lrc");
    EXPECT_NE(std::string::npos, saved.find(em_utility::wide_to_utf8(kTyped))) << playingId;
    playingId = arriving;
    TypeIntoLyricBox();
    return true;
  }

  struct Figure {
    const char* table;
    const char* fault;
    DWORD ms;
    bool wentOn;
    DWORD rowMs;  // the whole row, the retry and the boxes' going included
  };
  std::vector<Figure> figures;
  std::unique_ptr<testsupport::ChildProcess> program;
  DWORD pid = 0;
  HWND frame = nullptr;
  HWND lyricBox = nullptr;
  std::wstring lyricText;
  int playingId = 0;
};

TEST_F(ServerFaultTest, SigningInAndTheStationSurviveEveryFaultAndThenSucceed) {
  Start(false);
  HWND login = nullptr;
  ASSERT_TRUE(testsupport::WaitUntil(
      [&] { return (login = testsupport::FindProcessWindow(pid, L"#32770", L"")) != nullptr; }));
  SetDlgItemTextW(login, kUserNameBox, L"editor@example.com");
  SetDlgItemTextW(login, kPasswordBox, L"lyrics123");

  // The socket login: the dialog tells each failure, and signing in again is the next request.
  const Fault logins[] = {
      {"result 0 (wrong password)", R"({"login": {"result": 0}})",
       L"你输入的用户名或者密码不正确"},
      {"result 7 (unknown)", R"({"login": {"result": 7}})", kReceiveError},
      {"length 4 (no result)", R"({"login": {"length": 4}})", kReceiveError},
      {"length 40 (cut before the result)", R"({"login": {"length": 40}})", kReceiveError},
      {"length 100000", R"({"login": {"length": 100000}})", kReceiveError},
      {"closed without a reply", R"({"login": {"action": "close"}})",
       L"登陆失败，请检查您的网络"},
      {"silent", R"({"login": {"action": "silent"}})",
       L"请检查您的网络，若网络正常，请稍等片刻重新登录试试"},
  };
  for (const Fault& fault : logins) {
    Serve(fault.rules);
    DWORD start = GetTickCount();
    PostMessageW(login, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(fault.message, MessageAfter(start, "sign in", fault, kLoginFailed, kLoginWait))
        << fault.name;
    bool ready = testsupport::WaitUntil([&] { return IsWindowEnabled(GetDlgItem(login, IDOK)); });
    EXPECT_TRUE(ready) << fault.name;
    figures.back().wentOn = ready;
    figures.back().rowMs = GetTickCount() - start;
  }

  // The radio types, asked for as the frame opens. Each failure offers to ask again; Yes meets
  // the next fault, and the last Yes a site that works: the station fills.
  const Fault radioTypes[] = {
      {"empty catalogue", BODY("<types></types>"), kAskAgain},
      {"malformed XML", BODY("<types><type><type_id>2"), kAskAgain},
      {"500", STATUS(500), kAskAgain},
      {"cut in the head", CUT_IN_HEAD, kAskAgain},
      {"cut in the body", CUT_IN_BODY, kAskAgain},
      {"endless body, Content-Length", ENDLESS("length"), kAskAgain},
      {"endless body, chunks", ENDLESS("chunked"), kAskAgain},
      {"endless body, one chunk", ENDLESS("one_chunk"), kAskAgain},
      {"endless body, until closed", ENDLESS("close"), kAskAgain},
      {"gzip bomb", GZIP_BOMB, kAskAgain},
      {"silent", SILENT, kAskAgain},
  };
  const char kRadios[] = "/app/ws/car-radios";
  // The login's second success result; the other, 1, signs in the workspace's test.
  Serve(R"({"login": {"result": 2}})");
  Serve(WithPath(radioTypes[0].rules, kRadios));
  DWORD start = GetTickCount();
  PostMessageW(login, WM_COMMAND, IDOK, 0);
  ASSERT_NE(nullptr, frame = WaitForFrame(pid, kLoginWait));
  for (size_t row = 0; row < std::size(radioTypes); ++row) {
    const Fault& fault = radioTypes[row];
    HWND box = BoxAfter(start, "radio types", fault, kRequestFailed, kWebServiceWait);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(fault.message, testsupport::BoxText(box)) << fault.name;
    if (row > 0) figures[figures.size() - 2].wentOn = true;  // its Yes brought this answer
    Serve(row + 1 < std::size(radioTypes) ? WithPath(radioTypes[row + 1].rules, kRadios)
                                          : std::string(R"({"http": []})"));
    // (Under Xvfb a box takes some 2 s to go: the time runs from when it has gone.)
    testsupport::Answer(box, IDYES);
    figures.back().rowMs = GetTickCount() - start;
    start = GetTickCount();
  }
  bool filled = testsupport::WaitUntil([&] { return StationRows(frame) == 8; }, kWebServiceWait);
  EXPECT_TRUE(filled);
  figures.back().wentOn = filled;
}

TEST_F(ServerFaultTest, TheWorkspaceKeepsTheTypedTextThroughEveryFaultAndGoesOn) {
  Start(true);
  ASSERT_NE(nullptr, frame = WaitForFrame(pid));
  ASSERT_TRUE(testsupport::WaitUntil([&] { return StationRows(frame) == 8; }, kWebServiceWait));
  // A song with its lyric in the editor, and text typed into it.
  PasteAddress(L"song/", playingId = 123);
  ASSERT_NE(nullptr, lyricBox = testsupport::FindChildWindow(frame, kLyricBox));
  ASSERT_TRUE(testsupport::WaitUntil(
      [&] { return ControlText(lyricBox).find(L"[ti:晴天]") != std::wstring::npos; }, 60000));
  TypeIntoLyricBox();

  // The station's pages of albums: the pager's "next" asks for a page; one that does not come is
  // told (the list empties), and the next page shows.
  const Fault pages[] = {
      {"404", STATUS(404), kPageFailed},
      {"malformed XML", BODY("<type><type_id>2</type_id><sort>"), kPageFailed},
  };
  PostMessageW(frame, WM_COMMAND, kShowStation, 0);
  for (const Fault& fault : pages) {
    Row("next page", fault, "/app/ws/album-promotions", kRequestFailed, kWebServiceWait,
        [&] { NextPage(frame); },
        [&] {
          NextPage(frame);
          return testsupport::WaitUntil([&] { return StationRows(frame) == 8; }, kWebServiceWait);
        });
  }

  // Songs and albums by their address (the web API's details, through the request queue): one
  // that does not come is told; pasted again, it comes.
  const struct {
    int songId;
    Fault fault;
  } songs[] = {
      {124, {"wrong signature", R"({"http": {"match": "@", "error": "invalid_signature"}})",
             kSongFailed}},
      {125, {"404 (no such song)", R"({"http": {"match": "@", "error": "not_found"}})",
             kSongFailed}},
      {200, {"malformed JSON", BODY(R"({\"status\": \"ok\", \"data\": {\"song_id\": 2)"),
             kSongFailed}},
      {201, {"slow (12 s)", R"({"http": {"match": "@", "delay_ms": 12000}})", kSongFailed}},
      {202, {"endless body, chunks", ENDLESS("chunked"), kSongFailed}},
      {300, {"gzip bomb", GZIP_BOMB, kSongFailed}},
  };
  for (const auto& song : songs) {
    auto paste = [&] { PasteAddress(L"song/", song.songId); };
    Row("song address", song.fault, "/sdk", kRequestFailed, kWebApiWait, paste, [&] {
      paste();
      return SongArrivesAndTextIsSaved(song.songId);
    });
  }
  auto pasteAlbum = [&] { PasteAddress(L"album/", 466); };
  Row("album address", {"500", STATUS(500), kAlbumFailed}, "/sdk", kRequestFailed, kWebApiWait,
      pasteAlbum, [&] {
        pasteAlbum();
        return SongArrivesAndTextIsSaved(407);  // the album's one song
      });

  // The upload (F11): the password grant, the upload, and the refresh grant that an upload
  // refused for its token brings. A grant answered with a token text is made once more, never
  // again; between them the rows give each grant each of the three texts.
  const Fault uploads[] = {
      {"grant: token texts 1, 2",
       R"({"http": [{"match": "/api/oauth2/token", "times": 1, "error": "invalid_refresh_token"},
                    {"match": "/api/oauth2/token", "error": "refresh_token_expired"}]})",
       kUploadFailed},
      {"grant: token text 3",
       R"({"http": {"match": "/api/oauth2/token", "error": "no_refresh_token"}})", kUploadFailed},
      {"refresh grant: token texts 2, 3",
       R"({"http": [{"match": "/sdk/oauth2/token", "times": 1, "error": "refresh_token_expired"},
                    {"match": "/sdk/oauth2/token", "error": "no_refresh_token"},
                    {"match": "/sdk", "method": "POST", "error": "invalid_refresh_token"}]})",
       kUploadFailed},
      {"refresh grant: token text 1",
       R"({"http": [{"match": "/sdk/oauth2/token", "error": "invalid_refresh_token"},
                    {"match": "/sdk", "method": "POST", "error": "no_refresh_token"}]})",
       kUploadFailed},
      {"upload: cut in the head", R"({"http": {"match": "/sdk", "method": "POST", "truncate": 40}})",
       kUploadFailed},
      {"upload: cut in the body",
       R"({"http": {"match": "/sdk", "method": "POST", "truncate": 180}})", kUploadFailed},
      {"upload: trickle (15 s)",
       R"({"http": {"match": "/sdk", "method": "POST", "pieces": 30, "pause_ms": 500}})",
       kUploadFailed},
      {"upload: endless body, Content-Length",
       R"({"http": {"match": "/sdk", "method": "POST", "flood": "length"}})", kUploadFailed},
      {"upload: endless body, until closed",
       R"({"http": {"match": "/sdk", "method": "POST", "flood": "close"}})", kUploadFailed},
  };
  auto upload = [&] { PostMessageW(lyricBox, WM_KEYDOWN, VK_F11, 0); };
  for (const Fault& fault : uploads) {
    size_t grants = Requests("/api/oauth2/token").size();
    size_t refreshes = Requests("/sdk/oauth2/token").size();
    Row("upload (F11)", fault, "", kNotice, kUploadWait, upload, [&] {
      EXPECT_LE(Requests("/api/oauth2/token").size(), grants + 2) << fault.name;
      EXPECT_LE(Requests("/sdk/oauth2/token").size(), refreshes + 2) << fault.name;
      upload();
      return AnswerBox(pid, kEditor, IDOK, kUploadWait) == L"上传完成！";
    });
  }

  // The update check from the menu: a download on the UI thread, which the next check repeats
  // and which then offers the stand-in's newer version.
  const Fault updates[] = {
      {"500", STATUS(500), kTryLater},
      {"malformed XML", BODY("<update><version>9.9"), kTryLater},
      {"cut in the body", CUT_IN_BODY, kTryLater},
      {"endless body, one chunk", ENDLESS("one_chunk"), kTryLater},
      {"silent", SILENT, kTryLater},
  };
  auto check = [&] { PostMessageW(frame, WM_COMMAND, kCheckUpdate, 0); };
  for (const Fault& fault : updates) {
    Row("update check", fault, "/daruruvidev/update.xml", kUpdateCaption, kDownloadWait, check,
        [&] {
          check();
          return AnswerBox(pid, L"发现新版本", IDCANCEL, kDownloadWait) != L"(no box)";
        });
  }
}

}  // namespace
