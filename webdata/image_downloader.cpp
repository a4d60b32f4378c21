#include "webdata/image_downloader.h"

#include <exception>
#include <map>

#include "foundation/logger.h"
#include "foundation/text_convert.h"
#include "webdata/http_download.h"

namespace {

// Downloads of one address that may fail before it is given up.
constexpr int kMaxFailures = 4;

// The folder of a local path must exist before its picture is worth fetching.
bool HasExistingFolder(const std::wstring& path) {
  size_t slash = path.rfind(L'\\');
  if (slash == std::wstring::npos) return false;
  std::wstring folder = path.substr(0, slash);
  if (folder.size() == 2) folder += L'\\';  // "C:" names the current folder of the drive
  DWORD attributes = GetFileAttributesW(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

// ---------------------------------------------------------------------------------------------

CManualEvent::CManualEvent(bool initiallySet, const wchar_t* name)
    : m_hEvent(CreateEventW(nullptr, TRUE, initiallySet ? TRUE : FALSE, name)) {}

CManualEvent::~CManualEvent() {
  Close();
}

void CManualEvent::Set() {
  if (m_hEvent) SetEvent(m_hEvent);
}

void CManualEvent::Reset() {
  if (m_hEvent) ResetEvent(m_hEvent);
}

bool CManualEvent::Wait(DWORD milliseconds) {
  return m_hEvent && WaitForSingleObject(m_hEvent, milliseconds) == WAIT_OBJECT_0;
}

void CManualEvent::Close() {
  if (m_hEvent) CloseHandle(m_hEvent);
  m_hEvent = nullptr;
}

// ---------------------------------------------------------------------------------------------

CImageDownloader::CImageDownloader() : m_stopEvent(false), m_workEvent(false) {
  Start();
}

CImageDownloader::~CImageDownloader() {
  Stop();
}

bool CImageDownloader::Start() {
  if (m_hThread) return true;
  m_stopEvent.Reset();
  m_hThread = CreateThread(nullptr, 0, &CImageDownloader::ThreadProc, this, 0, nullptr);
  return m_hThread != nullptr;
}

void CImageDownloader::Stop() {
  if (!m_hThread) return;
  m_workEvent.Reset();
  m_stopEvent.Set();
  // The worker finishes what is queued first. Waiting for the thread itself (not only for its
  // goodbye signal) means it has really left before this object goes away.
  WaitForSingleObject(m_hThread, INFINITE);
  CloseHandle(m_hThread);
  m_hThread = nullptr;
}

void CImageDownloader::AddTask(const ImageTask& task) {
  if (!HasExistingFolder(task.strLocalPath)) return;
  {
    CLockGuard lock(m_lock);
    // Windows ask again on every paint until their picture is there: the same address must
    // neither be fetched twice nor push a newer request out of the queue.
    if (IsPendingLocked(task.strUrl)) return;
    m_bIdle = false;
    m_tasks.clear();
    m_tasks.push_back(task);
  }
  m_workEvent.Set();
}

void CImageDownloader::Requeue(const ImageTask& task) {
  if (!HasExistingFolder(task.strLocalPath)) return;
  {
    CLockGuard lock(m_lock);
    m_bIdle = false;
    m_tasks.push_back(task);
  }
  m_workEvent.Set();
}

bool CImageDownloader::IsIdle() {
  CLockGuard lock(m_lock);
  return m_bIdle;
}

bool CImageDownloader::FindTask(const ImageTask& task) {
  CLockGuard lock(m_lock);
  for (const ImageTask& waiting : m_tasks) {
    if (waiting.strUrl == task.strUrl) return true;
  }
  return false;
}

bool CImageDownloader::IsPendingLocked(const std::wstring& url) const {
  if (url == m_strFetching) return true;
  for (const ImageTask& waiting : m_tasks) {
    if (waiting.strUrl == url) return true;
  }
  return false;
}

void CImageDownloader::Download(const ImageTask& task, std::map<std::wstring, int>& failures) {
  int result = HttpDownloadFile(task.strUrl.c_str(), task.strLocalPath.c_str());
  if (result == kDownloadDone) {
    if (task.hWnd && IsWindow(task.hWnd) && IsWindowVisible(task.hWnd)) {
      InvalidateRect(task.hWnd, task.rcUpdate.right ? &task.rcUpdate : nullptr, FALSE);
    }
    return;
  }
  int count = ++failures[task.strUrl];
  if (count < kMaxFailures) {
    Requeue(task);
  } else if (m_pLogger) {
    m_pLogger->log(em_utility::log_level::error,
                   L"http下载文件失败！url = %s, local_path = %s, e_result = %d",
                   task.strUrl.c_str(), task.strLocalPath.c_str(), result);
  }
}

void CImageDownloader::EndFetch() {
  CLockGuard lock(m_lock);
  m_strFetching.clear();
}

DWORD WINAPI CImageDownloader::ThreadProc(void* self) {
  static_cast<CImageDownloader*>(self)->WorkLoop();
  return 0;
}

void CImageDownloader::WorkLoop() {
  std::map<std::wstring, int> failures;  // never reset: a lost address stays lost
  HANDLE events[2] = {m_workEvent.GetHandle(), m_stopEvent.GetHandle()};
  for (;;) {
    {
      CLockGuard lock(m_lock);
      m_bIdle = true;
    }
    // The work event comes first when both are set, so queued work is finished before stopping.
    DWORD woken = WaitForMultipleObjects(2, events, FALSE, INFINITE);
    if (woken != WAIT_OBJECT_0) break;
    m_workEvent.Reset();

    for (;;) {
      try {
        ImageTask task;
        {
          CLockGuard lock(m_lock);
          if (m_tasks.empty()) break;
          m_bIdle = false;
          task = m_tasks.front();
          m_tasks.pop_front();
          m_strFetching = task.strUrl;
        }
        Download(task, failures);
        EndFetch();
      } catch (const std::exception& e) {
        EndFetch();
        // No memory for a task's texts, its failure count or its retry: that picture is given
        // up, not the worker.
        if (m_pLogger) {
          m_pLogger->log(em_utility::log_level::error, "picture download abandoned: %s", e.what());
        }
      }
    }
  }
  m_workEvent.Set();  // tells a stopping thread that the worker has left its loop
}
