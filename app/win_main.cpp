// The process entry: single instance, start-up, the login, the main frame's message loop and
// the shutdown in reverse order.
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/login_dlg.h"
#include "app/main_frame.h"
#include "app/startup.h"
#include "controls/skin_scrollbar.h"
#include "foundation/config.h"
#include "foundation/logger.h"
#include "foundation/message_box.h"
#include "webdata/web_service.h"
#include "winlayer/app_module.h"

namespace {


// The process ends here rather than by returning: worker threads (pictures, songs, the update
// check) may still run, and the C runtime's exit would destroy statics under them.
[[noreturn]] void EndProcess(int code) {
  ::ExitProcess(static_cast<UINT>(code));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int) {
  HANDLE mutex = ::CreateMutexW(nullptr, TRUE, L"RevIverod");
  if (!mutex || ::GetLastError() == ERROR_ALREADY_EXISTS) {
    ShowMessageBox(nullptr, L"您已运行Lirak歌词编辑器!", L"温馨提示", MB_ICONQUESTION);
    EndProcess(1);
  }
  ::CoInitialize(nullptr);
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&controls);
  _Module.Init(nullptr, hInstance);
  SkinSB_InstallApiHooks();
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) == 0 && data.wVersion != MAKEWORD(2, 2)) WSACleanup();
  CWebService::Instance()->Start();
  // The frame object exists before the login's worker and first paint both reach for it.
  CMainFrame::GetInstance();

  GetLogger()->log(em_utility::log_level::normal, L"开始登录！");
  INT_PTR login = ShowLoginSafely([] {
    CLoginDlg dialog;
    return dialog.DoModal(::GetActiveWindow());
  });
  if (login != IDOK) {
    ShowMessageBox(nullptr, L"登录失败！!", L"温馨提示", MB_ICONQUESTION);
    GetLogger()->log(em_utility::log_level::normal, L"登录失败！");
    EndProcess(1);
  }
  GetLogger()->log(em_utility::log_level::normal, L"登录成功！");
  int code = Run();

  GetLogger()->log(em_utility::log_level::normal, L"程序退出：保存设置。。。");
  GetConfig()->Save();
  GetLogger()->log(em_utility::log_level::normal, L"程序退出：析构webservice。。。");
  // Stopped, not deleted: a thread that still holds the queue keeps a valid object.
  CWebService::Instance()->Stop();
  ::CoUninitialize();
  GetLogger()->log(em_utility::log_level::normal, L"程序退出！");
  _Module.Term();
  SkinSB_RemoveApiHooks();
  ::ReleaseMutex(mutex);
  ::CloseHandle(mutex);
  if (g_bRestart) RestartProgram();
  EndProcess(code);
}
