#include "app/main_frame.h"

#include <mutex>

#include "foundation/logger.h"
#include "lyric/lrcedit_dlg.h"
#include "webdata/web_request_kind.h"

namespace {

// Which cursor each state shows.
const LPCWSTR kCursors[] = {IDC_WAIT, IDC_ARROW, IDC_ARROW, IDC_HAND, IDC_IBEAM};

// The process-wide cursor state machine: the state shown and the one to return to after busy.
std::mutex g_cursorMutex;
int g_currentState = 2;
int g_rememberedState = 2;

}  // namespace

CMainFrame* CMainFrame::GetInstance() {
  static CMainFrame* const instance = new CMainFrame;
  return instance;
}

CMainFrame::CMainFrame() : m_pLrceditDlg(new CLrceditDlg) {
  m_imageDownloader.SetLogger(GetLogger());
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::SetCursorState(int state) {
  if (state < 0 || state > 4) return;
  // The request worker and the UI thread both call this: the states and the cursor they show
  // change together, or a late SetCursor could show a state that is no longer current.
  std::lock_guard<std::mutex> lock(g_cursorMutex);
  if (state == g_currentState) return;
  bool busy = g_currentState == 0;
  if (state == 0) {
    g_rememberedState = g_currentState;
    g_currentState = 0;
  } else if (state == 1) {
    if (!busy) return;
    g_currentState = g_rememberedState;
  } else if (busy) {
    g_rememberedState = state;
  } else {
    g_currentState = state;
  }
  if (g_currentState != m_nCursorState) {
    m_nCursorState = g_currentState;
    SetCursor(LoadCursorW(nullptr, kCursors[g_currentState]));
  }
}

void CMainFrame::ShowPane(int pane) {
  m_nPane = pane;
}

CEditDlg* CMainFrame::GetEditDlg() {
  return m_pLrceditDlg->GetEditDlg();
}

void CMainFrame::SetLoginAccount(const CString& user, const CString& digest) {
  CLockGuard guard(m_accountLock);
  m_strLoginUser = user;
  m_strLoginDigest = digest;
}

CString CMainFrame::GetLoginUser() const {
  CLockGuard guard(m_accountLock);
  return m_strLoginUser;
}

CString CMainFrame::GetLoginDigest() const {
  CLockGuard guard(m_accountLock);
  return m_strLoginDigest;
}

// The parameter record goes on to the dispatch, which frees it; without a dispatch (no window
// yet or any more), or when the parse throws, it is freed here.
void CMainFrame::OnWebServiceReply(const std::string& reply, int kind, int param) {
  ScopedRequestParam record(kind, param);
  m_webDataManager.ParseWebServiceXml(reply, kind, param);
  if (param != kNoDispatch && IsWindow()) OnWebServiceData(kind, record.Release());
}

void CMainFrame::OnApiReply(boost::shared_ptr<proto::base> result, int kind, int param) {
  ScopedRequestParam record(kind, param);
  m_webDataManager.StoreApiResult(result, kind);
  if (param != kNoDispatch && IsWindow()) OnApiData(kind, record.Release());
}

void CMainFrame::OnWebServiceData(int kind, int param) {
  ScopedRequestParam record(kind, param);
  GetLogger()->log(em_utility::log_level::normal, "OnWebServiceData: kind = %d, param = %d", kind,
                   param);
  NotifyDataObserver(false, kind, param);
}

void CMainFrame::OnApiData(int kind, int param) {
  ScopedRequestParam record(kind, param);
  GetLogger()->log(em_utility::log_level::normal, "OnApiData: kind = %d, param = %d", kind, param);
  NotifyDataObserver(true, kind, param);
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
