// The shell's small dialogs, kept hidden (modeless, driven by messages): the update notice and
// the addresses it may open, the settings dialog's proxy rules; and the login run that fails
// with an exception.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <new>

#include "app/about_dlg.h"
#include "app/program_version.h"
#include "app/settings_dlg.h"
#include "app/startup.h"
#include "app/update_dlg.h"
#include "foundation/config.h"
#include "support/gtest_cstring.h"
#include "support/program_folder.h"

namespace {

auto* const g_folder = ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder);

TEST(Startup, ALoginDialogFailingWithAnExceptionIsAFailedLogin) {
  EXPECT_EQ(IDOK, ShowLoginSafely([] { return static_cast<INT_PTR>(IDOK); }));
  EXPECT_NE(IDOK, ShowLoginSafely([]() -> INT_PTR { throw std::bad_alloc(); }));
}

TEST(UpdateDialog, OpensOnlyWebAddressesFromTheUpdateDescription) {
  struct Case {
    const wchar_t* address;
    bool opens;
  } cases[] = {
      {L"http://127.0.0.1/setup.exe", true},   {L"HTTPS://example.com/x", true},
      {L"ftp://example.com/setup.exe", true},  {L"file:///C:/windows/system32/calc.exe", false},
      {L"C:\\windows\\notepad.exe", false},     {L"javascript:alert(1)", false},
      {L"http://", false},                      {L"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(c.opens, IsWebAddress(c.address)) << c.address;
}

TEST(UpdateDialog, ShowsTheTipWithItsLineBreaksAndTheAddressAsLink) {
  UpdateInfo info;
  info.url = L"http://127.0.0.1:1/setup.exe";
  info.tip = L"修复问题#新增功能";
  CUpdateDlg dialog;
  dialog.SetInfo(info, true);
  ASSERT_NE(nullptr, dialog.Create(nullptr));
  CString tip, link;
  dialog.GetDlgItemText(IDC_UPDATE_TIP, tip);
  dialog.GetDlgItemText(IDC_UPDATE_LINK, link);
  EXPECT_EQ(CString(L"修复问题\r\n新增功能"), tip);
  EXPECT_EQ(2, static_cast<int>(dialog.SendDlgItemMessage(IDC_UPDATE_TIP, EM_GETLINECOUNT)));
  EXPECT_EQ(info.url, link);
  dialog.DestroyWindow();
}

class SettingsDialogTest : public ::testing::Test {
 protected:
  void Open(const wchar_t* type, int port, int maxSpeed) {
    CConfig* config = GetConfig();
    config->proxy_type = type;
    config->proxy_addr = L"proxy.example";
    config->proxy_port = port;
    config->max_speed = maxSpeed;
    config->Save();
    ASSERT_NE(nullptr, dialog.Create(nullptr));
  }
  void Choose(int index) {
    dialog.SendDlgItemMessage(IDC_SET_PROXY_TYPE, CB_SETCURSEL, index);
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SET_PROXY_TYPE, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(dialog.GetDlgItem(IDC_SET_PROXY_TYPE).m_hWnd));
  }
  int Port() { return static_cast<int>(dialog.GetDlgItemInt(IDC_SET_PROXY_PORT)); }
  bool Enabled(int id) { return dialog.GetDlgItem(id).IsWindowEnabled() != FALSE; }
  void TearDown() override {
    if (dialog.IsWindow()) dialog.DestroyWindow();
  }
  CSettingsDlg dialog;
};

TEST_F(SettingsDialogTest, AStoredCustomPortSurvivesOpeningAndSaving) {
  Open(L"HTTP", 8888, 0);
  EXPECT_EQ(8888, Port());
  dialog.SendMessage(WM_COMMAND, IDOK);
  EXPECT_EQ(8888, GetConfig()->proxy_port);
  EXPECT_EQ(CString(L"HTTP"), GetConfig()->proxy_type);
}

TEST_F(SettingsDialogTest, ChoosingATypeSetsItsPortOrDisablesTheServerFields) {
  Open(L"HTTP", 8888, 0);
  Choose(2);  // SOCKS5
  EXPECT_EQ(1080, Port());
  EXPECT_TRUE(Enabled(IDC_SET_PROXY_ADDR));
  Choose(3);  // no proxy
  EXPECT_EQ(1080, Port());
  for (int id : {IDC_SET_PROXY_ADDR, IDC_SET_PROXY_PORT, IDC_SET_PROXY_USER, IDC_SET_PROXY_PW}) {
    EXPECT_FALSE(Enabled(id)) << id;
  }
}

TEST_F(SettingsDialogTest, AnUncheckedSpeedLimitIsStoredAsNone) {
  Open(L"不使用代理", 80, 300);
  EXPECT_EQ(BST_CHECKED, dialog.IsDlgButtonChecked(IDC_SET_LIMIT_CHECK));
  dialog.CheckDlgButton(IDC_SET_LIMIT_CHECK, BST_UNCHECKED);
  dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SET_LIMIT_CHECK, BN_CLICKED));
  EXPECT_FALSE(Enabled(IDC_SET_SPEED_LIMIT));
  dialog.SendMessage(WM_COMMAND, IDOK);
  EXPECT_EQ(0, GetConfig()->max_speed);
}

TEST(AboutDialog, NamesTheProgramWithItsOwnVersion) {
  CString text = CAboutDlg::AboutText(RunningProgramVersion());
  EXPECT_EQ(0, text.Find(L"Lirak歌词编辑器 v1.0.15.17  ")) << text;
}

}  // namespace
