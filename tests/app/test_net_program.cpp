// The program itself, started as a user starts it, against the stand-in: one instance at a time,
// and the change of user that closes the program and starts it again from a folder whose name
// has a space.
#include <winsock2.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "foundation/md5.h"
#include "support/child_process.h"
#include "support/standin_client.h"
#include "support/standin_site.h"
#include "support/temp_dir.h"

namespace {

auto* const g_site = ::testing::AddGlobalTestEnvironment(new testsupport::StandinSite);

// The built program, as Wine sees the build machine's path.
std::wstring BuiltProgram() {
  const char* path = std::getenv("REV_PROGRAM");
  std::wstring wide = L"Z:";
  for (const char* p = path ? path : ""; *p; ++p) wide += *p == '/' ? L'\\' : wchar_t(*p);
  return wide;
}

// Answers a message box of another process: its text, and then it is closed with OK.
std::wstring AnswerBox(DWORD pid, const wchar_t* caption) {
  HWND box = nullptr;
  if (!testsupport::WaitUntil([&] { return (box = testsupport::FindProcessWindow(pid, L"#32770", caption)) != nullptr; })) {
    return L"(no box)";
  }
  wchar_t text[256] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 256);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  return text;
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(standin.ok()) << standin.error();
    ASSERT_TRUE(standin.Reset());
    // A space in the program's folder. (Names outside ASCII cannot be made here: Wine's file
    // names follow the build machine's locale, whose Chinese part is not installed.)
    folder = dir.path() + L"RevIverod folder\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    // What an unquoted start of "...\RevIverod folder\RevIverod.exe" would run instead.
    ASSERT_TRUE(CopyFileW(L"C:\\windows\\system32\\hostname.exe",
                          (dir.path() + L"RevIverod.exe").c_str(), FALSE));
    exe = folder + L"RevIverod.exe";
    ASSERT_TRUE(CopyFileW(BuiltProgram().c_str(), exe.c_str(), FALSE)) << BuiltProgram().c_str();
  }
  // Settings that sign in at once as the stand-in's editor, without an update check.
  void WriteSettings(bool autoLogin) {
    std::string digest = em_utility::md5_string("lyrics123", 9);
    ASSERT_TRUE(testsupport::WriteFileBytes(
        folder + L"RevIverod.cfg",
        "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\" ?><configure>"
        "<auto_check_update>0</auto_check_update><m_bAutoLogin>" +
            std::string(autoLogin ? "1" : "0") +
            "</m_bAutoLogin><m_strEmail>editor@example.com</m_strEmail><m_strPsw>" + digest +
            "</m_strPsw><m_nPswLength>9</m_nPswLength><SuccessLoginSum>3</SuccessLoginSum>"
            "</configure>"));
  }
  std::string Settings() { return testsupport::ReadFileBytes(folder + L"RevIverod.cfg"); }
  HWND WaitForFrame(DWORD pid) {
    HWND frame = nullptr;
    testsupport::WaitUntil([&] { return (frame = testsupport::FindProcessWindow(pid, nullptr, L"Lirak歌词编辑器")) != nullptr; });
    return frame;
  }

  testsupport::StandinClient standin;
  testsupport::TempDir dir;
  std::wstring folder;
  std::wstring exe;
};

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

  // The new instance: found by its login dialog, the only dialog of a process other than ours.
  HWND login = nullptr;
  DWORD pid = 0;
  ASSERT_TRUE(testsupport::WaitUntil([&] {
    HWND found = FindWindowExW(nullptr, nullptr, L"#32770", nullptr);
    for (; found; found = FindWindowExW(nullptr, found, L"#32770", nullptr)) {
      GetWindowThreadProcessId(found, &pid);
      if (pid != GetCurrentProcessId() && IsWindowVisible(found)) {
        login = found;
        return true;
      }
    }
    return false;
  }));
  std::string settings = Settings();
  EXPECT_NE(std::string::npos, settings.find("<m_bAutoLogin>0</m_bAutoLogin>")) << settings;
  EXPECT_NE(std::string::npos, settings.find("<SuccessLoginSum>4</SuccessLoginSum>")) << settings;
  EXPECT_NE(std::string::npos, settings.find("<m_strEmail>editor@example.com</m_strEmail>"));

  HANDLE restarted = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
  ASSERT_NE(nullptr, restarted);
  PostMessageW(login, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(L"登录失败！!", AnswerBox(pid, L"温馨提示"));
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(restarted, 20000));
  DWORD code = 0;
  GetExitCodeProcess(restarted, &code);
  EXPECT_EQ(1u, code);
  CloseHandle(restarted);
}

}  // namespace
