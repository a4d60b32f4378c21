// The socket login against the stand-in's login server: the request byte for byte, every reply
// the server can give, cancelling in the middle; and the login dialog around it: remembered
// passwords, the checks of the entries, automatic sign-in that never shows the dialog, and the
// settings it leaves on disk.
#include <winsock2.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "app/login_dlg.h"
#include "app/login_exchange.h"
#include "app/main_frame.h"
#include "foundation/common_helpers.h"
#include "foundation/config.h"
#include "foundation/md5.h"
#include "foundation/text_convert.h"
#include "support/child_process.h"
#include "support/message_box_recorder.h"
#include "support/program_folder.h"
#include "support/standin_client.h"
#include "support/screenshot.h"
#include "support/standin_site.h"
#include "support/temp_dir.h"

namespace {

auto* const g_folder = static_cast<testsupport::TempProgramFolder*>(
    ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder));
auto* const g_site = ::testing::AddGlobalTestEnvironment(new testsupport::StandinSite);

const char kUser[] = "editor@example.com";
const char kPassword[] = "lyrics123";

std::string Md5(const std::string& text) {
  return em_utility::md5_string(text.data(), static_cast<std::uint32_t>(text.size()));
}

struct ReplyCase {
  const char* rule;
  int code;
  int value;
};

class LoginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(standin.ok()) << standin.error();
    ASSERT_TRUE(standin.Reset());
  }
  void Scenario(const std::string& rule) {
    ASSERT_TRUE(standin.SetScenario("{\"login\": " + rule + "}")) << rule;
  }
  void ExpectCodes(std::initializer_list<ReplyCase> cases) {
    for (const ReplyCase& c : cases) {
      Scenario(c.rule);
      LoginOutcome outcome = Exchange("editor@example.com", "lyrics123");
      EXPECT_EQ(c.code, outcome.code) << c.rule;
      EXPECT_EQ(c.value, outcome.value) << c.rule;
      EXPECT_FALSE(outcome.stopped) << c.rule;
    }
  }
  LoginOutcome Exchange(const std::string& user, const std::string& password,
                        const LoginTimeouts& timeouts = LoginTimeouts()) {
    std::atomic<bool> stop{false};
    return RunLoginExchange("127.0.0.1", static_cast<unsigned short>(standin.loginPort()),
                            BuildLoginRequest(user, Md5(password)), stop, timeouts);
  }
  testsupport::StandinClient standin;
};

// The request as the login server expects it, laid out field by field.
std::string ExpectedRequest(const std::string& user, const std::string& digest) {
  auto le = [](unsigned v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
  };
  std::string digestField = digest + std::string(65 - digest.size(), '\0');
  return le(static_cast<unsigned>(169 + user.size())) + le(2) + le(2) +
         std::string("logon\0\0\0", 8) + std::string(32, '\0') + digestField +
         std::string(51, '\0') + user + std::string(1, '\0');
}

TEST_F(LoginTest, RequestCarriesLengthCommandDigestAndUtf8UserName) {
  for (const std::string& user : {std::string(kUser), std::string(u8"歌词编辑@example.com")}) {
    ASSERT_TRUE(standin.Reset());
    std::string password = user == kUser ? kPassword : u8"密码123";
    EXPECT_EQ(kLoginSucceeded, Exchange(user, password).code) << user;
    EXPECT_EQ(ExpectedRequest(user, Md5(password)), standin.RawLogin(1)) << user;
  }
}

TEST_F(LoginTest, EveryReplyOfTheServerGivesItsCode) {
  ExpectCodes({
                         {R"({})", kLoginSucceeded, 1001},
                         {R"({"result": 2, "value": 7})", kLoginSucceeded, 7},
                         {R"({"result": 1, "split_at": [2], "pause_ms": 200})", kLoginSucceeded,
                          1001},
                         {R"({"length": 60})", kLoginSucceeded, 1001},
                         {R"({"result": 0})", kLoginBadCredentials, 0},
                         {R"({"action": "close"})", kLoginConnectionBroken, 0},
                     });
}

TEST_F(LoginTest, ALengthThatCannotHoldAResultOrIsTooLargeIsAReceiveError) {
  ExpectCodes({
                         {R"({"length": 4})", kLoginReceiveError, 0},
                         {R"({"length": 0})", kLoginReceiveError, 0},
                         {R"({"length": 43})", kLoginReceiveError, 0},
                         {R"({"length": 70000})", kLoginReceiveError, 0},
                     });
}

TEST_F(LoginTest, AnUnknownResultStillEndsTheWaitWithAnError) {
  ExpectCodes({{R"({"result": 3})", kLoginReceiveError, 0}});
}

TEST_F(LoginTest, ARefusedUnknownOrSilentServerIsANetworkFailure) {
  // A port nobody listens on: take one and let it go.
  SOCKET probe = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in any = {};
  any.sin_family = AF_INET;
  any.sin_addr.s_addr = inet_addr("127.0.0.1");
  ASSERT_EQ(0, bind(probe, reinterpret_cast<sockaddr*>(&any), sizeof any));
  int size = sizeof any;
  getsockname(probe, reinterpret_cast<sockaddr*>(&any), &size);
  closesocket(probe);
  std::atomic<bool> stop{false};
  std::string request = BuildLoginRequest(kUser, Md5(kPassword));
  EXPECT_EQ(kLoginConnectFailed,
            RunLoginExchange("127.0.0.1", ntohs(any.sin_port), request, stop).code);
  EXPECT_EQ(kLoginNoReply, RunLoginExchange("no-such-host.invalid", 1, request, stop).code);

  Scenario(R"({"action": "silent"})");
  LoginTimeouts quick;
  quick.replyMs = 600;
  EXPECT_EQ(kLoginNoReply, Exchange(kUser, kPassword, quick).code);
}

TEST_F(LoginTest, StoppingEndsAWaitAtOnceWithoutAResult) {
  Scenario(R"({"action": "silent"})");
  std::atomic<bool> stop{false};
  LoginOutcome outcome;
  std::thread worker([&] {
    outcome = RunLoginExchange("127.0.0.1", static_cast<unsigned short>(standin.loginPort()),
                               BuildLoginRequest(kUser, Md5(kPassword)), stop);
  });
  // Once the server holds the request, the worker waits for a reply that never comes.
  bool held = testsupport::WaitUntil([&] { return !standin.Log().get_child("logins").empty(); });
  auto asked = std::chrono::steady_clock::now();
  stop = true;
  worker.join();
  ASSERT_TRUE(held) << "the login server never had the request";
  EXPECT_TRUE(outcome.stopped);
  EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(2));
}

// ---- the dialog

// Runs steps against the modal dialog from a timer of the UI thread: each step is retried every
// 50 ms until it reports done; a run that takes too long is cancelled and fails.
class DialogScript {
 public:
  using Step = std::function<bool(HWND)>;
  DialogScript(CLoginDlg& dialog, std::vector<Step> steps)
      : m_dialog(dialog), m_steps(std::move(steps)) {}

  INT_PTR Run() {
    s_current = this;
    m_deadline = GetTickCount() + 20000;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, &DialogScript::Tick);
    INT_PTR result = m_dialog.DoModal(nullptr);
    KillTimer(nullptr, timer);
    s_current = nullptr;
    return result;
  }
  bool timedOut() const { return m_timedOut; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    DialogScript* self = s_current;
    if (!self || !self->m_dialog.m_hWnd) return;
    if (GetTickCount() > self->m_deadline) {
      self->m_timedOut = true;
      self->m_dialog.EndWithCode(IDCANCEL);
      return;
    }
    if (self->m_next < self->m_steps.size() && self->m_steps[self->m_next](self->m_dialog.m_hWnd)) {
      ++self->m_next;
    }
  }
  static DialogScript* s_current;
  CLoginDlg& m_dialog;
  std::vector<Step> m_steps;
  size_t m_next = 0;
  DWORD m_deadline = 0;
  bool m_timedOut = false;
};
DialogScript* DialogScript::s_current = nullptr;

DialogScript::Step Type(int id, const wchar_t* text) {
  return [id, text](HWND dialog) {
    SetDlgItemTextW(dialog, id, text);
    return true;
  };
}
DialogScript::Step Click(int id) {
  return [id](HWND dialog) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    return true;
  };
}
// Waits until the OK button is enabled again (the worker has reported), then cancels.
DialogScript::Step CancelWhenIdle(CLoginDlg& dialog) {
  return [&dialog](HWND) {
    if (dialog.GetLoginState() != CLoginDlg::kIdle) return false;
    dialog.EndWithCode(IDCANCEL);
    return true;
  };
}

class LoginDialogTest : public LoginTest {
 protected:
  void SetUp() override {
    LoginTest::SetUp();
    CConfig* config = GetConfig();
    config->m_bAutoLogin = 0;
    config->m_strEmail = L"";
    config->m_strPsw = L"";
    config->m_nPswLength = 0;
    config->SuccessLoginSum = 5;  // not the first login: no help page in a browser
    config->Save();
  }
  void Remember(const std::string& user, const std::string& password, bool autoLogin) {
    CConfig* config = GetConfig();
    config->m_strEmail = em_utility::utf8_to_wide(user);
    config->m_strPsw = em_utility::utf8_to_wide(Md5(password));
    config->m_nPswLength = static_cast<int>(em_utility::utf8_to_wide(password).GetLength());
    config->m_bAutoLogin = autoLogin ? 1 : 0;
    config->Save();
  }
  std::string SentDigest(int seq) { return standin.RawLogin(seq).substr(52, 32); }
  std::string ConfigFile() {
    return testsupport::ReadFileBytes(g_folder->path() + L"RevIverod.cfg");
  }
};

TEST_F(LoginDialogTest, RememberedLoginSendsTheStoredDigestAndRetypingSendsTheNewOne) {
  Remember(kUser, kPassword, false);
  CLoginDlg remembered;
  auto picture = [](HWND dialog) {
    // Once the caption buttons are up (the dialog shows them when it has no skin picture).
    if (!IsWindowVisible(GetDlgItem(dialog, IDC_LOGIN_CLOSE))) return false;
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_TRUE(testsupport::SaveWindowPng(dialog, L"screenshots\\login.png"));
    return true;
  };
  EXPECT_EQ(IDOK, DialogScript(remembered, {picture, Click(IDOK)}).Run());
  EXPECT_EQ(Md5(kPassword), SentDigest(1));

  // Typed over the remembered box: what is sent is the digest of the new text.
  CLoginDlg retyped;
  testsupport::MessageBoxRecorder boxes(IDOK);
  DialogScript script(retyped, {Type(IDC_LOGIN_PASSWORD, L"other"), Click(IDOK),
                                CancelWhenIdle(retyped)});
  EXPECT_EQ(IDCANCEL, script.Run());
  EXPECT_EQ(Md5("other"), SentDigest(2));
  EXPECT_EQ(L"你输入的用户名或者密码不正确", boxes.last().text);
  EXPECT_EQ(L"登录失败", boxes.last().caption);
}

TEST_F(LoginDialogTest, EntriesAreCheckedBeforeAnythingIsSent) {
  struct Case {
    std::wstring user;
    std::wstring password;
    const wchar_t* refusal;  // null: accepted and sent
  } cases[] = {
      {L"", L"x", L"用户名不能为空"},
      {L"a", L"", L"密码不能为空"},
      {std::wstring(301, L'u'), L"x", L"用户名过长,请确保您使用的是邮箱,而不是昵称."},
      {L"a", std::wstring(66, L'p'), L"密码过长"},
      {std::wstring(300, L'u'), std::wstring(65, L'p'), nullptr},
  };
  CLoginDlg dialog;
  testsupport::MessageBoxRecorder boxes(IDOK);
  std::vector<DialogScript::Step> steps;
  int sent = 0;
  for (const Case& c : cases) {
    steps.push_back(Type(IDC_LOGIN_USER, c.user.c_str()));
    steps.push_back(Type(IDC_LOGIN_PASSWORD, c.password.c_str()));
    steps.push_back(Click(IDOK));
    steps.push_back([&, c](HWND) {
      if (c.refusal) {
        EXPECT_EQ(c.refusal, boxes.last().text);
        EXPECT_EQ(L"温馨提示！", boxes.last().caption);
        return true;
      }
      if (dialog.GetLoginState() != CLoginDlg::kIdle) return false;
      ++sent;
      return true;
    });
  }
  // Unticking "remember" unticks automatic sign-in; ticking it ticks "remember".
  steps.push_back(Click(IDC_LOGIN_AUTO));
  steps.push_back([](HWND dialog) {
    CheckDlgButton(dialog, IDC_LOGIN_AUTO, BST_CHECKED);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_LOGIN_AUTO, BN_CLICKED), 0);
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_LOGIN_REMEMBER));
    CheckDlgButton(dialog, IDC_LOGIN_REMEMBER, BST_UNCHECKED);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_LOGIN_REMEMBER, BN_CLICKED), 0);
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dialog, IDC_LOGIN_AUTO));
    return true;
  });
  steps.push_back(CancelWhenIdle(dialog));
  DialogScript script(dialog, steps);
  EXPECT_EQ(IDCANCEL, script.Run());
  EXPECT_FALSE(script.timedOut());
  EXPECT_EQ(1, sent);
  EXPECT_EQ(1u, standin.Log().get_child("logins").size());
}

// Records whether a dialog of this thread was ever shown.
class ShowWatch {
 public:
  ShowWatch() {
    s_shown = 0;
    m_hook = SetWindowsHookExW(WH_CALLWNDPROCRET, &ShowWatch::Hook, nullptr, GetCurrentThreadId());
  }
  ~ShowWatch() { UnhookWindowsHookEx(m_hook); }
  int shown() const { return s_shown; }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    const CWPRETSTRUCT* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_WINDOWPOSCHANGED &&
        (reinterpret_cast<const WINDOWPOS*>(message->lParam)->flags & SWP_SHOWWINDOW)) {
      wchar_t name[16] = {};
      GetClassNameW(message->hwnd, name, 16);
      if (lstrcmpW(name, L"#32770") == 0) ++s_shown;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static int s_shown;
  HHOOK m_hook;
};
int ShowWatch::s_shown = 0;

TEST_F(LoginDialogTest, AutomaticSignInNeverShowsTheDialogAndLeavesTheAccountInTheFrame) {
  Remember(kUser, kPassword, true);
  // Slow enough for the modal loop to run empty, which is when it would show the dialog.
  Scenario(R"({"delay_ms": 500})");
  ShowWatch watch;
  CLoginDlg dialog;
  EXPECT_EQ(IDOK, DialogScript(dialog, {}).Run());
  EXPECT_EQ(0, watch.shown());
  EXPECT_EQ(CString(L"editor@example.com"), CMainFrame::GetInstance()->GetLoginUser());
  EXPECT_EQ(em_utility::utf8_to_wide(Md5(kPassword)), CMainFrame::GetInstance()->GetLoginDigest());

  // A failed automatic sign-in shows the dialog with the reason, so the user can correct it;
  // "自动登录" is not ticked there, at start-up or after the failure.
  Scenario(R"({"result": 0})");
  testsupport::MessageBoxRecorder boxes(IDOK);
  CLoginDlg failing;
  std::vector<UINT> ticks;
  auto autoBox = [&](HWND dialog) {
    ticks.push_back(IsDlgButtonChecked(dialog, IDC_LOGIN_AUTO));
    return true;
  };
  auto idle = [&](HWND) { return failing.GetLoginState() == CLoginDlg::kIdle; };
  EXPECT_EQ(IDCANCEL, DialogScript(failing, {autoBox, idle, autoBox, CancelWhenIdle(failing)}).Run());
  EXPECT_EQ(1, watch.shown());
  EXPECT_EQ(L"你输入的用户名或者密码不正确", boxes.last().text);
  EXPECT_EQ((std::vector<UINT>{BST_UNCHECKED, BST_UNCHECKED}), ticks);
}

// The pages the dialog opened, in place of a browser.
std::vector<std::wstring> g_opened;
bool RecordOpened(const wchar_t* url) {
  g_opened.push_back(url);
  return true;
}

TEST_F(LoginDialogTest, TheFirstSuccessfulSignInOpensTheHelpPageOnce) {
  // (This process made its settings file, so it also counts as the program's first run.)
  UrlOpener previous = SetUrlOpener(&RecordOpened);
  g_opened.clear();
  GetConfig()->SuccessLoginSum = 0;
  CLoginDlg dialog;
  EXPECT_EQ(IDOK, DialogScript(dialog, {Type(IDC_LOGIN_USER, L"editor@example.com"),
                                        Type(IDC_LOGIN_PASSWORD, L"lyrics123"), Click(IDOK)})
                      .Run());
  SetUrlOpener(previous);
  ASSERT_EQ(1u, g_opened.size());
  const std::wstring help = L"/lyrichelp";
  EXPECT_EQ(g_opened[0].size() - help.size(), g_opened[0].rfind(help)) << g_opened[0];
  EXPECT_EQ(1, GetConfig()->SuccessLoginSum);
}

TEST_F(LoginDialogTest, SettingsOnDiskAfterALogin) {
  CLoginDlg dialog;
  DialogScript script(dialog, {Type(IDC_LOGIN_USER, L"editor@example.com"),
                               Type(IDC_LOGIN_PASSWORD, L"lyrics123"), Click(IDC_LOGIN_AUTO),
                               [](HWND d) {
                                 CheckDlgButton(d, IDC_LOGIN_AUTO, BST_CHECKED);
                                 CheckDlgButton(d, IDC_LOGIN_REMEMBER, BST_CHECKED);
                                 return true;
                               },
                               Click(IDOK)});
  EXPECT_EQ(IDOK, script.Run());
  std::string file = ConfigFile();
  EXPECT_NE(std::string::npos, file.find("<m_bAutoLogin>1</m_bAutoLogin>")) << file;
  EXPECT_NE(std::string::npos, file.find("<m_strEmail>editor@example.com</m_strEmail>")) << file;
  EXPECT_NE(std::string::npos, file.find("<m_strPsw>" + Md5(kPassword) + "</m_strPsw>")) << file;
  EXPECT_NE(std::string::npos, file.find("<m_nPswLength>9</m_nPswLength>")) << file;
  EXPECT_NE(std::string::npos, file.find("<SuccessLoginSum>6</SuccessLoginSum>")) << file;
}

}  // namespace
