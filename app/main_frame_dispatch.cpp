// Where the results of the site's requests land: the dispatch by request kind to the panes, and
// the update check (by hand from the menu, and on a thread of its own every hour).
#include <fstream>
#include <string>

#include "app/main_frame.h"
#include "app/update_dlg.h"
#include "foundation/config.h"
#include "foundation/logger.h"
#include "foundation/message_box.h"
#include "foundation/site_addresses.h"
#include "foundation/text_convert.h"
#include "webdata/http_download.h"
#include "webdata/web_request_kind.h"

namespace {

constexpr DWORD kUpdateCheckInterval = 3600000;
const wchar_t kUpdateCaption[] = L"检查更新";

}  // namespace

std::string ReadUpdateFile(const wchar_t* path) {
  std::ifstream file(path);
  std::string text;
  // Lines of at most 1023 characters, joined without their breaks; a longer line ends the
  // reading, as the stream then fails.
  char line[1024];
  while (file.getline(line, sizeof line)) text += line;
  return text;
}

void CMainFrame::OnWebServiceReply(const std::string& reply, int kind, int param) {
  m_webDataManager.ParseWebServiceXml(reply, kind, param);
  if (param != kNoDispatch && IsWindow()) OnWebServiceData(kind, param);
}

void CMainFrame::OnApiReply(boost::shared_ptr<proto::base> result, int kind, int param) {
  m_webDataManager.StoreApiResult(result, kind);
  if (param != kNoDispatch && IsWindow()) OnApiData(kind, param);
}

void CMainFrame::OnWebServiceData(int kind, int param) {
  GetLogger()->log(em_utility::log_level::normal, "OnWebServiceData: kind = %d, param = %d", kind,
                   param);
  NotifyDataObserver(false, kind, param);
  // Without its window the frame has no panes to show anything in.
  if (IsWindow()) {
    switch (kind) {
      case WebRequestKind::UpdateFile:
        OnUpdateDescription(param != 0);
        break;
      default:
        break;
    }
  }
  DeleteRequestParam(kind, param);
}

void CMainFrame::OnApiData(int kind, int param) {
  GetLogger()->log(em_utility::log_level::normal, "OnApiData: kind = %d, param = %d", kind, param);
  NotifyDataObserver(true, kind, param);
  DeleteRequestParam(kind, param);
}

void CMainFrame::SetDataObserverForTesting(DataObserver observer) {
  std::lock_guard<std::mutex> lock(m_observerMutex);
  m_dataObserver = std::move(observer);
}

void CMainFrame::NotifyDataObserver(bool api, int kind, int param) {
  DataObserver observer;
  {
    std::lock_guard<std::mutex> lock(m_observerMutex);
    observer = m_dataObserver;
  }
  if (observer) observer(api, kind, param);
}

// ---- the update check

void CMainFrame::OnUpdateDescription(bool manual) {
  UpdateInfo info = m_webDataManager.GetUpdateInfo();
  em_utility::file_version published;
  published.major = info.major;
  published.minor = info.minor;
  published.build = info.build;
  published.revision = info.revision;
  if (em_utility::compare_version(published, m_version) == 1) {
    m_bKeepChecking = false;
    CUpdateDlg dialog;
    dialog.SetInfo(info, manual);
    if (dialog.DoModal(::GetActiveWindow()) == IDOK && !manual) GetConfig()->Save();
  } else if (manual) {
    ShowMessageBox(m_hWnd, L"您当前使用的为最新版本！", kUpdateCaption, MB_ICONEXCLAMATION);
  }
}

void CMainFrame::CheckUpdate(bool manual) {
  if (!manual && GetConfig()->auto_check_update == 0) return;
  CString url = em_utility::utf8_to_wide("http://" + site::StaticFileHost()) +
                L"/daruruvidev/update.xml";
  CString path = GetConfig()->GetUpdateXmlPath();
  if (HttpDownloadFile(url, path, 0, 0) != kDownloadDone) {
    // Nothing is read then: the file there may be an old one.
    if (manual) ShowMessageBox(m_hWnd, L"网络忙，请稍后重试！", kUpdateCaption, MB_ICONEXCLAMATION);
    return;
  }
  int param = manual ? 1 : 0;
  m_webDataManager.ParseWebServiceXml(ReadUpdateFile(path), WebRequestKind::UpdateFile, param);
  if (IsWindow()) OnWebServiceData(WebRequestKind::UpdateFile, param);
}

DWORD WINAPI CMainFrame::UpdateCheckThreadProc(LPVOID frame) {
  CMainFrame* self = static_cast<CMainFrame*>(frame);
  if (!self) return 1;
  try {
    while (self->m_bKeepChecking) {
      self->CheckUpdate(false);
      ::Sleep(kUpdateCheckInterval);
    }
  } catch (...) {
    GetLogger()->log(em_utility::log_level::error, L"检查更新线程异常退出");
  }
  return 0;
}
