// The user's settings and the program's working folders, kept in "RevIverod.cfg" beside the
// program (XML, root "configure", one element per key).
//
// Use the process-wide instance from GetConfig(): the shell saves it at shutdown, so a change
// made elsewhere must land in it. A separately constructed CConfig still works (tests build
// them in fresh folders); when it saves, the process-wide instance takes over the settings it
// changed, so the shutdown save never writes older values back over them.
#pragma once

#include <string>
#include <vector>

#include "winlayer/cstring.h"

// The proxy types as the settings store them (by text, not by index).
extern const wchar_t* const ProxyTypeNames[4];

// True when the proxy type needs a server to be given (anything but the first and last entry).
bool IsManualProxyType(CString type);

class CConfig {
 public:
  CConfig();
  ~CConfig();
  CConfig(const CConfig&) = delete;
  CConfig& operator=(const CConfig&) = delete;

  void InitDefaults();
  void Load();
  // Writes the file; false when it cannot be written. The process-wide instance then holds the
  // same settings.
  bool Save();

  // Reads one integer element of the file into value (the default first); unused by the program.
  void ReadIntElement(const char* key, int* value, int defaultValue);

  CString GetAppDir() const { return m_strAppDir; }
  CString GetSystemTempPath() const { return m_strSystemTempPath; }
  CString GetLocalDataDir() const { return m_strLocalDataDir; }
  // Only the 40-digit name of the song cache folder, not a path.
  CString GetMp3CacheDir() const { return m_strMp3CacheName; }
  // The artist picture folder, without a trailing backslash.
  CString GetArtistCoverDir() const { return m_strLocalDataDir + m_strArtistCoverName; }
  CString GetUpdateXmlPath() const { return m_strUpdateXmlPath; }
  CString GetTempDir() const { return m_strTempDir; }
  CString GetSplashImagePath() const { return m_strAppDir + L"data\\splash.jpg"; }
  CString GetExitImagePath() const { return m_strAppDir + L"data\\exit.jpg"; }
  CString GetRadioCoverDir() const { return m_strRadioCoverDir; }
  CString GetConfigPath() const { return m_strConfigPath; }
  bool IsFirstRun() const { return m_bFirstRun; }
  int GetSuccessLoginSum() const { return SuccessLoginSum; }

  // Persisted settings, in file order.
  CString proxy_type;
  CString proxy_addr;
  int proxy_port = 0;
  CString proxy_user;
  CString proxy_pw;
  int finish_sound = 0;
  int max_speed = 0;
  int auto_check_update = 0;
  int m_bAutoLogin = 0;
  CString m_strEmail;
  CString m_strPsw;  // the login's password digest, not the password
  int m_nPswLength = 0;
  int SuccessLoginSum = 0;

  // Working folders and files (folders end with a backslash); not persisted.
  CString m_strAppDir;
  CString m_strRadioCoverDir;
  CString m_strSystemTempPath;
  CString m_strLocalDataDir;
  CString m_strMp3CacheName;
  CString m_strArtistCoverName;
  CString m_strConfigPath;
  CString m_strUpdateXmlPath;
  CString m_strTempDir;
  bool m_bFirstRun = false;

  // The web API host (bare host name, possibly with a port); persisted last.
  CString ApiURL;

 private:
  bool WriteConfigFile();
  // The persisted keys as the file holds them, in file order.
  std::vector<std::string> KeyTexts() const;
  void CopySetting(const CConfig& other, size_t index);

  // The file exists but could not be read: the constructor must not replace it with defaults.
  bool m_bUnreadable = false;
  // KeyTexts() as last loaded or saved: what a save of this instance has changed.
  std::vector<std::string> m_savedTexts;
};

// The process-wide settings, created (and the file loaded and written) on first use.
CConfig* GetConfig();

// Tests only: the folder CConfig and the logger take as the program's folder (with a trailing
// backslash); empty restores the executable's own folder.
void SetProgramFolderForTesting(const CString& folder);
