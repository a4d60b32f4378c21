#include "foundation/config.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "em_tinyxml.h"
#include "foundation/cache_names.h"
#include "foundation/file_util.h"
#include "foundation/folder_util.h"
#include "foundation/module_info.h"
#include "foundation/scoped_handle.h"
#include "foundation/site_addresses.h"
#include "foundation/text_convert.h"
#include "foundation/xml_reader.h"

const wchar_t* const ProxyTypeNames[4] = {L"使用浏览器设置", L"HTTP", L"SOCKS5", L"不使用代理"};

bool IsManualProxyType(CString type) {
  return type != ProxyTypeNames[0] && type != ProxyTypeNames[3];
}

namespace {

const char kRoot[] = "configure";

// Load and Save of any instance, on any thread, one at a time: the request worker may save
// while the UI thread does.
std::mutex& FileMutex() {
  static std::mutex mutex;
  return mutex;
}

std::atomic<CConfig*> g_instance{nullptr};

std::mutex& OverrideMutex() {
  static std::mutex mutex;
  return mutex;
}

CString& ProgramFolderOverride() {
  static CString folder;
  return folder;
}

CString ProgramFolder() {
  {
    std::lock_guard<std::mutex> lock(OverrideMutex());
    if (!ProgramFolderOverride().IsEmpty()) return ProgramFolderOverride();
  }
  return em_utility::get_module_dir();
}

// Every persisted key in file order; exactly one of the two fields is set. loadDefault is what an
// integer takes when its element is missing (not always its initial default: proxy_port loads
// as 0).
struct FileKey {
  const char* key;
  int CConfig::*intField;
  CString CConfig::*stringField;
  int loadDefault;
};

const FileKey kFileOrder[] = {
    {"proxy_type", nullptr, &CConfig::proxy_type, 0},
    {"proxy_addr", nullptr, &CConfig::proxy_addr, 0},
    {"proxy_port", &CConfig::proxy_port, nullptr, 0},
    {"proxy_user", nullptr, &CConfig::proxy_user, 0},
    {"proxy_pw", nullptr, &CConfig::proxy_pw, 0},
    {"finish_sound", &CConfig::finish_sound, nullptr, 1},
    {"max_speed", &CConfig::max_speed, nullptr, 0},
    {"auto_check_update", &CConfig::auto_check_update, nullptr, 1},
    {"m_bAutoLogin", &CConfig::m_bAutoLogin, nullptr, 0},
    {"m_strEmail", nullptr, &CConfig::m_strEmail, 0},
    {"m_strPsw", nullptr, &CConfig::m_strPsw, 0},
    {"m_nPswLength", &CConfig::m_nPswLength, nullptr, 0},
    {"SuccessLoginSum", &CConfig::SuccessLoginSum, nullptr, 0},
    {"ApiURL", nullptr, &CConfig::ApiURL, 0},
};

}  // namespace

void SetProgramFolderForTesting(const CString& folder) {
  std::lock_guard<std::mutex> lock(OverrideMutex());
  ProgramFolderOverride() = folder;
}

CConfig::CConfig() {
  InitDefaults();
  Load();
  // Only writes the file: what this instance holds was just read from it (or is defaults), so
  // it must not overwrite unsaved changes of the process-wide instance.
  if (!m_bUnreadable) WriteConfigFile();
  m_savedTexts = KeyTexts();
}

CConfig::~CConfig() = default;

void CConfig::InitDefaults() {
  proxy_type = ProxyTypeNames[0];
  proxy_addr.Empty();
  proxy_port = 80;
  proxy_user.Empty();
  proxy_pw.Empty();
  finish_sound = 1;
  max_speed = 0;
  auto_check_update = 1;
  m_bAutoLogin = 0;
  m_strEmail.Empty();
  m_strPsw.Empty();
  m_nPswLength = 0;
  SuccessLoginSum = 0;

  m_strAppDir = ProgramFolder();
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH, temp);
  m_strSystemTempPath = temp;
  m_strRadioCoverDir = m_strAppDir + L"radio\\cover\\";
  m_strLocalDataDir = m_strAppDir + L"LocalData\\";
  m_strMp3CacheName = Sha1Name(L"mp3");
  m_strArtistCoverName = Sha1Name(L"artist_cover");
  m_strConfigPath = m_strAppDir + L"RevIverod.cfg";
  m_strTempDir = m_strAppDir + L"temp\\";

  // Folder creation failures show up later, where a file cannot be written.
  em_utility::make_dirs(m_strRadioCoverDir, L'\\');
  em_utility::make_dirs(m_strLocalDataDir, L'\\');
  em_utility::make_dirs(m_strLocalDataDir + m_strMp3CacheName, L'\\');
  em_utility::make_dirs(m_strLocalDataDir + m_strArtistCoverName, L'\\');
  em_utility::make_dirs(m_strTempDir, L'\\');

  m_strUpdateXmlPath = m_strAppDir + L"update.xml";
  ApiURL = em_utility::utf8_to_wide(site::DefaultApiHost().c_str());
}

void CConfig::Load() {
  if (!em_utility::file_exists(m_strConfigPath)) {
    m_bFirstRun = true;
    WriteConfigFile();
    return;
  }
  m_bFirstRun = false;

  std::lock_guard<std::mutex> lock(FileMutex());
  UniqueFile file(_wfopen(m_strConfigPath, L"rb"));
  if (!file) {
    // Held open by another program, say: keep the file as it is rather than lose it.
    m_bUnreadable = true;
    return;
  }
  em_utility::TiXmlDocument document;
  if (!LoadXmlFile(document, file.get(), em_utility::TIXML_DEFAULT_ENCODING)) return;
  em_utility::TiXmlElement* root = document.FirstChildElement(kRoot);
  if (!root) return;

  for (const FileKey& k : kFileOrder) {
    if (k.intField) {
      this->*k.intField = GetChildInt(root, k.key, k.loadDefault);
      continue;
    }
    // A missing or empty element leaves the key's load default: empty, the first proxy type,
    // or the default API host (so that the file names the host in use from this load on).
    std::string text = GetChildString(root, k.key, "");
    CString value;
    if (k.stringField == &CConfig::proxy_type) value = ProxyTypeNames[0];
    if (k.stringField == &CConfig::ApiURL) value = em_utility::utf8_to_wide(site::DefaultApiHost());
    if (!text.empty()) value = em_utility::utf8_to_wide(text.c_str());
    this->*k.stringField = value;
  }
}

void CConfig::ReadIntElement(const char* key, int* value, int defaultValue) {
  if (!value) return;
  *value = defaultValue;
  std::lock_guard<std::mutex> lock(FileMutex());
  UniqueFile file(_wfopen(m_strConfigPath, L"rb"));
  if (!file) return;
  em_utility::TiXmlDocument document;
  if (!LoadXmlFile(document, file.get(), em_utility::TIXML_DEFAULT_ENCODING)) return;
  if (em_utility::TiXmlElement* root = document.FirstChildElement(kRoot)) {
    *value = GetChildInt(root, key, defaultValue);
  }
}

bool CConfig::Save() {
  if (!WriteConfigFile()) return false;
  std::vector<std::string> texts = KeyTexts();
  CConfig* shared = g_instance.load(std::memory_order_acquire);
  if (shared && shared != this && shared->m_strConfigPath.CompareNoCase(m_strConfigPath) == 0) {
    // Only what this instance changed: the shared one may hold changes of its own not saved yet.
    for (size_t i = 0; i < texts.size(); ++i) {
      if (texts[i] != m_savedTexts[i]) shared->CopySetting(*this, i);
    }
  }
  m_savedTexts = std::move(texts);
  return true;
}

std::vector<std::string> CConfig::KeyTexts() const {
  std::vector<std::string> texts;
  for (const FileKey& k : kFileOrder) {
    if (k.intField) {
      char number[16];
      _itoa(this->*k.intField, number, 10);
      texts.push_back(number);
    } else {
      texts.push_back(em_utility::wide_to_utf8(this->*k.stringField));
    }
  }
  return texts;
}

bool CConfig::WriteConfigFile() {
  if (m_strConfigPath.IsEmpty()) return false;

  em_utility::TiXmlDocument document;
  document.LinkEndChild(new em_utility::TiXmlDeclaration("1.0", "utf-8", "yes"));
  auto* root = new em_utility::TiXmlElement(kRoot);
  document.LinkEndChild(root);
  std::vector<std::string> texts = KeyTexts();
  for (size_t i = 0; i < texts.size(); ++i) {
    auto* element = new em_utility::TiXmlElement(kFileOrder[i].key);
    element->LinkEndChild(new em_utility::TiXmlText(texts[i].c_str()));
    root->LinkEndChild(element);
  }

  {
    // Written whole to a side file, then moved over the old one: a crash or a full disk in the
    // middle never leaves a half-written settings file.
    std::lock_guard<std::mutex> lock(FileMutex());
    CString temporary = m_strConfigPath + L".tmp";
    UniqueFile file(_wfopen(temporary, L"wb"));
    if (!file) return false;
    bool written = document.SaveFile(file.get()) && fflush(file.get()) == 0;
    file.reset();
    if (!written || !MoveFileExW(temporary, m_strConfigPath,
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      DeleteFileW(temporary);
      return false;
    }
  }
  m_bUnreadable = false;
  return true;
}

void CConfig::CopySetting(const CConfig& other, size_t index) {
  const FileKey& k = kFileOrder[index];
  if (k.intField) {
    this->*k.intField = other.*k.intField;
  } else {
    this->*k.stringField = other.*k.stringField;
  }
}

CConfig* GetConfig() {
  // Created once even when two threads ask first at the same time.
  static CConfig* const instance = [] {
    CConfig* config = new CConfig;
    g_instance.store(config, std::memory_order_release);
    return config;
  }();
  return instance;
}
