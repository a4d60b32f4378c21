// Cover pictures fetched in the background: a window asks for a picture by address and local
// file, a worker thread downloads it and repaints the window when the file is there.
//
// Newest wins: a request replaces every request still waiting, because the user has moved on
// to another page of covers by then. The asking window therefore asks again for what it still
// lacks; a request for an address that is being fetched or is waiting already changes nothing,
// so asking again never fetches a picture twice.
#pragma once

#include <windows.h>

#include <list>
#include <map>
#include <string>

#include "foundation/lock.h"

namespace em_utility {
class logger;
}

// One picture request. Only the address, the path, the window and the rectangle take part.
struct ImageTask {
  std::wstring strUrl;
  std::wstring strLocalPath;
  std::wstring strReserved1;
  HWND hWnd = nullptr;
  RECT rcUpdate = {0, 0, 0, 0};  // right == 0: repaint the whole client area
  int nReserved1 = 0;
  int nReserved2 = 0;
  std::wstring strReserved2;
};

// A manual-reset event.
class CManualEvent {
 public:
  CManualEvent(bool initiallySet, const wchar_t* name = nullptr);
  ~CManualEvent();
  CManualEvent(const CManualEvent&) = delete;
  CManualEvent& operator=(const CManualEvent&) = delete;

  bool IsValid() const { return m_hEvent != nullptr; }
  HANDLE GetHandle() const { return m_hEvent; }
  void Set();
  void Reset();
  // True when the event was signalled within the time.
  bool Wait(DWORD milliseconds);
  void Close();

 private:
  HANDLE m_hEvent;
};

class CImageDownloader {
 public:
  // Starts the worker thread.
  CImageDownloader();
  // Stops the worker after it has finished what is queued, and waits for it.
  ~CImageDownloader();
  CImageDownloader(const CImageDownloader&) = delete;
  CImageDownloader& operator=(const CImageDownloader&) = delete;

  void SetLogger(em_utility::logger* logger) { m_pLogger = logger; }
  // Queues a task in place of every waiting one. A path whose folder does not exist is dropped,
  // and so is a task whose address is being fetched or waits already.
  void AddTask(const ImageTask& task);
  bool IsIdle();
  bool Start();
  void Stop();
  // True when a waiting task has the same address.
  bool FindTask(const ImageTask& task);

 private:
  static DWORD WINAPI ThreadProc(void* self);
  void WorkLoop();
  // Downloads one picture: repaints its window, or counts the failure and queues a retry.
  void Download(const ImageTask& task, std::map<std::wstring, int>& failures);
  // The worker's retry of a failed task: it goes behind what is waiting, so that a newer
  // request is never discarded for an older one.
  void Requeue(const ImageTask& task);

  bool IsPendingLocked(const std::wstring& url) const;
  void EndFetch();

  std::list<ImageTask> m_tasks;
  std::wstring m_strFetching;  // the address the worker is downloading; empty between tasks
  HANDLE m_hThread = nullptr;
  CManualEvent m_stopEvent;
  CManualEvent m_workEvent;
  CLock m_lock;
  em_utility::logger* m_pLogger = nullptr;
  bool m_bIdle = true;
};
