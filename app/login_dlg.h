// The login dialog: user name and password, checked against the site's login server on a worker
// thread, with a remembered password and automatic sign-in.
//
// The password itself is never kept: the settings hold its MD5 digest, the wire carries the
// digest text, and a remembered password box holds only as many characters as the password had.
// With automatic sign-in the dialog is never shown unless a message needs it: the modal loop
// would show it when the queue first runs empty, so it refuses to be shown while signing in.
#pragma once

#include <windows.h>

#include <atomic>

#include "app/login_exchange.h"
#include "controls/link.h"
#include "controls/my_button.h"
#include "resources/app_resource.h"
#include "winlayer/bitmap_button.h"
#include "winlayer/cstring.h"
#include "winlayer/dialog.h"
#include "winlayer/gdi_objects.h"

// Login worker to dialog; wParam a LoginResult the dialog frees, lParam 0.
constexpr UINT WM_LOGIN_RESULT = 0x0510;

struct LoginResult {
  int code;
  int wsaError;
};

class CLoginDlg : public CDialogImpl<CLoginDlg> {
 public:
  enum { IDD = IDD_LOGIN };
  enum LoginState { kIdle = 0, kSigningIn = 1, kSignedIn = 2 };
  // Posted to itself once the dialog is up: the parts that may come a moment later.
  static constexpr UINT kFinishSetup = WM_APP + 1;

  CLoginDlg();
  ~CLoginDlg() override;

  BEGIN_MSG_MAP(CLoginDlg)
  MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  MESSAGE_HANDLER(WM_LOGIN_RESULT, OnLoginResult)
  MESSAGE_HANDLER(WM_COMMAND, OnCommand)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColorStatic)
  MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
  MESSAGE_HANDLER(WM_DRAWITEM, OnDrawItem)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  MESSAGE_HANDLER(WM_TIMER, OnTimer)
  MESSAGE_HANDLER(WM_WINDOWPOSCHANGING, OnWindowPosChanging)
  MESSAGE_HANDLER(kFinishSetup, OnFinishSetup)
  END_MSG_MAP()

  // The OK command and automatic sign-in: checks the entries and starts the worker.
  void OnLogin();
  // Writes the account settings after a successful login.
  void SaveAccountSettings();

  int GetPswLength() const { return m_nPswLength; }
  void SetPswLength(int length) { m_nPswLength = length; }
  bool IsRemember() const { return m_bRemember; }
  void SetRemember(bool remember) { m_bRemember = remember; }
  bool IsUseStoredDigest() const { return m_bUseStoredDigest; }
  void SetUseStoredDigest(bool use) { m_bUseStoredDigest = use; }
  CString GetUser() const { return m_strUser; }
  CString GetPassword() const { return m_strPassword; }
  bool HasSkinPicture() const { return m_bSkinPicture; }
  int GetLoginState() const { return m_nLoginState; }
  int GetServerValue() const { return m_nServerValue; }
  // Stops the worker (waiting for it) and ends the dialog with code.
  void EndWithCode(int code);

  // Tests: where the login server is (default: the site's login host) and how long to wait.
  void SetServer(const std::string& host, unsigned short port) {
    m_strHost = host;
    m_nPort = port;
  }
  void SetTimeouts(const LoginTimeouts& timeouts) { m_timeouts = timeouts; }

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnLoginResult(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnCommand(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnCtlColorStatic(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnWindowPosChanging(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
  LRESULT OnFinishSetup(UINT, WPARAM, LPARAM, BOOL&);

  static DWORD WINAPI LoginThreadProc(LPVOID dialog);
  void RunLogin();
  // Shows the dialog that automatic sign-in kept hidden, for a message that needs it.
  void ShowForMessage();
  void CreateCaptionButton(CBitmapButton& button, int id, UINT bitmap, int x, LPCWSTR tip);
  void DrawBuiltInSkin(HDC dc, const RECT& client);
  void ApplyWindowShape();
  void StopWorker();

  CLink m_linkRegister;
  CLink m_linkForgot;
  CString m_strUser;
  CString m_strPassword;  // typed, until the worker replaces it with the digest text
  int m_nPswLength = 0;
  bool m_bRemember = false;
  bool m_bUseStoredDigest = false;
  bool m_bAutoLogin = false;
  bool m_bAutoLoginWasOff = false;
  bool m_bTypedAnew = false;
  bool m_bPrefilled = false;
  int m_nPasswordChanges = 0;
  HICON m_hIcon = nullptr;
  float m_fScale = 1.0f;
  CBrush m_brStatic;
  CFont m_fontStatic;
  CBitmapButton m_btnMinimize;
  CBitmapButton m_btnClose;
  CMyButton m_btnOk;
  CMyButton m_btnCancel;
  bool m_bSkinPicture = true;
  bool m_bCaptionTaken = false;
  RECT m_rcCaption = {0, 0, 0, 0};
  int m_nLoginState = kIdle;
  std::string m_strHost;
  unsigned short m_nPort = 0;
  LoginTimeouts m_timeouts;
  HANDLE m_hThread = nullptr;
  std::atomic<bool> m_bStop{false};
  int m_nServerValue = 0;
  bool m_bKeepHidden = false;  // automatic sign-in: refuse to be shown
};
