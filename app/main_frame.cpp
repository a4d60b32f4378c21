#include "app/main_frame.h"

#include <mutex>

#include "foundation/frame_link.h"
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

// What the helpers of foundation/ ask of the frame.
class MainFrameLink : public IFrameLink {
 public:
  explicit MainFrameLink(CMainFrame* frame) : m_frame(frame) {}
  HWND GetOwnerWindow() override { return m_frame->m_hWnd; }
  void QueueImageDownload(const wchar_t* url, const wchar_t* localPath, HWND window,
                          const RECT* rect) override {
    ImageTask task;
    task.strUrl = url;
    task.strLocalPath = localPath ? localPath : L"";
    task.hWnd = window;
    if (rect) task.rcUpdate = *rect;
    m_frame->GetImageDownloader().AddTask(task);
  }

 private:
  CMainFrame* const m_frame;
};

}  // namespace

CMainFrame* CMainFrame::GetInstance() {
  // Thread-safe: the login worker and the UI thread may both be first.
  static CMainFrame* const instance = [] {
    CMainFrame* frame = new CMainFrame;
    SetFrameLink(new MainFrameLink(frame));
    return frame;
  }();
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

CEditDlg* CMainFrame::GetEditDlg() {
  return m_pLrceditDlg->GetEditDlg();
}
