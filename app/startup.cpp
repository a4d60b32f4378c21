#include "app/startup.h"

#include <winsock2.h>

#include <exception>

#include "app/main_frame.h"
#include "foundation/logger.h"
#include "foundation/text_convert.h"
#include "winlayer/app_module.h"

int g_bRestart = 0;

BOOL CMyFilter::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message != WM_KEYDOWN) return FALSE;
  BOOL handled = TRUE;
  return CMainFrame::GetInstance()->OnKeyDown(WM_KEYDOWN, pMsg->wParam, pMsg->lParam, handled) <=
         0;
}

INT_PTR ShowLoginSafely(const std::function<INT_PTR()>& show) {
  try {
    return show();
  } catch (const std::exception& e) {
    GetLogger()->log(em_utility::log_level::error, L"登录对话框异常：%s",
                     em_utility::ansi_to_wide(e.what()).GetString());
    return IDABORT;
  }
}

int Run(LPWSTR, int) {
  CMessageLoop loop;
  CMyFilter filter;
  loop.AddMessageFilter(&filter);
  _Module.AddMessageLoop(&loop);

  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
    _Module.RemoveMessageLoop();
    return 0;
  }
  if (data.wVersion != MAKEWORD(2, 2)) {
    WSACleanup();
    _Module.RemoveMessageLoop();
    return 0;
  }

  CMainFrame* frame = CMainFrame::GetInstance();
  frame->Create(nullptr, CWindow::rcDefault, nullptr, 0x06CF0000, WS_EX_APPWINDOW | WS_EX_WINDOWEDGE);
  frame->ShowWindow(SW_SHOWNORMAL);
  frame->UpdateWindow();

  int code = loop.Run();
  _Module.RemoveMessageLoop();
  WSACleanup();
  return code;
}

std::wstring RestartCommandLine(const std::wstring& path) {
  return L"\"" + path + L"\"";
}

bool RestartProgram() {
  wchar_t path[MAX_PATH] = {};
  DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  std::wstring commandLine = RestartCommandLine(path);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOW;
  PROCESS_INFORMATION process = {};
  if (!::CreateProcessW(path, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    GetLogger()->log(em_utility::log_level::error, L"重新启动失败：%d",
                     static_cast<int>(::GetLastError()));
    return false;
  }
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return true;
}
