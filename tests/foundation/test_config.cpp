// The settings file: its exact bytes, defaults for missing keys, round trips, and never losing
// a file that could not be read.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "foundation/config.h"
#include "foundation/site_addresses.h"
#include "foundation/text_convert.h"
#include "support/gtest_cstring.h"
#include "support/temp_dir.h"

using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

namespace {

// Each test gets a fresh program folder.
class ConfigTest : public ::testing::Test {
 protected:
  ConfigTest() { SetProgramFolderForTesting(CString(m_dir.path().c_str())); }
  ~ConfigTest() override { SetProgramFolderForTesting(CString()); }

  std::wstring ConfigPath() const { return m_dir.file(L"RevIverod.cfg"); }

  TempDir m_dir;
};

// clang-format off
std::string File(const std::string& proxyType, const std::string& proxyPort,
                 const std::string& email, const std::string& apiUrl) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\" ?>\n"
         "<configure>\n"
         "    <proxy_type>" + proxyType + "</proxy_type>\n"
         "    <proxy_addr></proxy_addr>\n"
         "    <proxy_port>" + proxyPort + "</proxy_port>\n"
         "    <proxy_user></proxy_user>\n"
         "    <proxy_pw></proxy_pw>\n"
         "    <finish_sound>1</finish_sound>\n"
         "    <max_speed>0</max_speed>\n"
         "    <auto_check_update>1</auto_check_update>\n"
         "    <m_bAutoLogin>0</m_bAutoLogin>\n"
         "    <m_strEmail>" + email + "</m_strEmail>\n"
         "    <m_strPsw></m_strPsw>\n"
         "    <m_nPswLength>0</m_nPswLength>\n"
         "    <SuccessLoginSum>0</SuccessLoginSum>\n"
         "    <ApiURL>" + apiUrl + "</ApiURL>\n"
         "</configure>\n";
}

const std::string kBrowserProxy = "\xE4\xBD\xBF\xE7\x94\xA8\xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8"
                                  "\xE8\xAE\xBE\xE7\xBD\xAE";  // "使用浏览器设置" in UTF-8
// clang-format on

}  // namespace

TEST_F(ConfigTest, FirstRunWritesEveryKeyWithItsDefault) {
  {
    CConfig config;
    EXPECT_TRUE(config.IsFirstRun());
    EXPECT_EQ(80, config.proxy_port);
    EXPECT_EQ(CString(m_dir.path().c_str()), config.GetAppDir());
  }
  EXPECT_EQ(File(kBrowserProxy, "80", "", site::DefaultApiHost()), ReadFileBytes(ConfigPath()));
  CConfig again;
  EXPECT_FALSE(again.IsFirstRun());
}

TEST_F(ConfigTest, WorkingFoldersAreMadeBesideTheProgram) {
  CConfig config;
  for (const wchar_t* folder : {L"radio\\cover", L"LocalData", L"temp",
                                L"LocalData\\1BC0264D5BF8869899640171B693092D8C4899F8",
                                L"LocalData\\8D339A3590719A6E69864DBAD9EB174ECD13D6E7"}) {
    DWORD attributes = GetFileAttributesW(m_dir.file(folder).c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        << folder;
  }
}

TEST_F(ConfigTest, MissingAndOddElementsTakeTheirLoadDefaults) {
  ASSERT_TRUE(WriteFileBytes(ConfigPath(),
                             "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n"
                             "<configure><proxy_type>FTP</proxy_type><proxy_addr></proxy_addr>"
                             "<max_speed>12abc</max_speed><finish_sound>abc</finish_sound>"
                             "<m_strEmail>\xE7\x94\xA8\xE6\x88\xB7</m_strEmail></configure>"));
  CConfig config;
  EXPECT_FALSE(config.IsFirstRun());
  EXPECT_EQ(L"FTP", config.proxy_type);
  EXPECT_EQ(0, config.proxy_port);  // missing: 0, not the initial 80
  EXPECT_EQ(12, config.max_speed);
  EXPECT_EQ(0, config.finish_sound);
  EXPECT_EQ(1, config.auto_check_update);
  EXPECT_EQ(L"\x7528\x6237", config.m_strEmail);
  EXPECT_EQ(em_utility::utf8_to_wide(site::DefaultApiHost()), config.ApiURL);
  std::string saved = ReadFileBytes(ConfigPath());
  EXPECT_NE(std::string::npos, saved.find("<ApiURL>" + site::DefaultApiHost() + "</ApiURL>"));
  EXPECT_NE(std::string::npos, saved.find("<proxy_type>FTP</proxy_type>"));
}

TEST_F(ConfigTest, ChangesRoundTripThroughTheFile) {
  {
    CConfig config;
    config.proxy_type = ProxyTypeNames[2];
    config.proxy_pw = L"p&w<d>";
    config.m_strEmail = L"\x5F20\x4E09@example.com";
    config.m_nPswLength = -7;
    config.ApiURL = L"api.example.com:81";
    ASSERT_TRUE(config.Save());
  }
  CConfig config;
  EXPECT_EQ(ProxyTypeNames[2], config.proxy_type);
  EXPECT_EQ(L"p&w<d>", config.proxy_pw);
  EXPECT_EQ(L"\x5F20\x4E09@example.com", config.m_strEmail);
  EXPECT_EQ(-7, config.m_nPswLength);
  EXPECT_EQ(L"api.example.com:81", config.ApiURL);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((ConfigPath() + L".tmp").c_str()));
}

TEST_F(ConfigTest, ACorruptFileIsReplacedWithDefaults) {
  ASSERT_TRUE(WriteFileBytes(ConfigPath(), "<configure><proxy_port>9"));
  CConfig config;
  EXPECT_EQ(80, config.proxy_port);
  EXPECT_EQ(File(kBrowserProxy, "80", "", site::DefaultApiHost()), ReadFileBytes(ConfigPath()));
}

TEST_F(ConfigTest, AFileThatCannotBeReadIsLeftAlone) {
  std::string content = File("HTTP", "8080", "someone", "host");
  ASSERT_TRUE(WriteFileBytes(ConfigPath(), content));
  HANDLE held = CreateFileW(ConfigPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  {
    CConfig config;  // cannot read it: defaults in memory, but the file must survive
    EXPECT_EQ(80, config.proxy_port);
  }
  CloseHandle(held);
  EXPECT_EQ(content, ReadFileBytes(ConfigPath()));
  CConfig config;
  EXPECT_EQ(8080, config.proxy_port);
  EXPECT_EQ(L"someone", config.m_strEmail);
}
