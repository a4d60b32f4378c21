// CWebService: the process's one queue of data requests to the site, and the worker thread that
// performs them one at a time, oldest first.
//
// The web-data manager's front ends queue a request when their cache cannot answer. The worker
// performs it through a CRequest (a web-service GET answered in XML, or a signed web-API call
// answered in JSON) and hands the result to the main frame (OnWebServiceReply, OnApiReply) on
// the worker thread. A failure on the network still ends in a delivery: an empty reply, or an
// unfilled record.
//
// The worker wakes on its event, or every 3 s, and drains the whole queue. A stop cuts the
// exchange in flight and takes nothing more; the worker gets 2 s to leave by itself, and only a
// worker still busy then is terminated.
#pragma once

#include <windows.h>

#include <atomic>
#include <list>
#include <memory>

#include "foundation/lock.h"
#include "foundation/scoped_handle.h"

class CRequest;

class CWebService {
 public:
  static constexpr int kMaxTries = 5;
  static constexpr unsigned kReceiveSeconds = 8;
  static constexpr DWORD kWakeInterval = 3000;

  // The one queue, created on first use (also when threads race for it) and never destroyed:
  // start-up stops it at exit, while other threads may still hold it.
  static CWebService* Instance();

  CWebService();
  ~CWebService();
  CWebService(const CWebService&) = delete;
  CWebService& operator=(const CWebService&) = delete;

  // Stops a worker that runs, then starts a new one; false when no thread could be made.
  bool Start();
  // Asks the worker to leave: the request it performs is cut (not delivered: nothing is, once
  // the stop has begun) and nothing more is taken. Waits kWorkerStopGrace for the worker,
  // answering messages sent to this thread meanwhile; a worker still there is terminated, and
  // Stop returns only once the thread is gone. Requests still queued stay queued for the next
  // Start.
  void Stop();

  // Queues a request of a kind (WebRequestKind) with its item id; lParam is only logged. Kinds
  // outside 0-7 and kinds 1, 3 and 7 without their record are refused. A request equal in kind
  // and item id to one still waiting is dropped.
  void DispatchRequest(int nRequest, int wParam, int lParam);

  void Lock() { m_lock.Lock(); }
  void Unlock() { m_lock.Unlock(); }

 private:
  static DWORD WINAPI ThreadProc(void* self);
  DWORD __ServiceLoop();
  // The request of a kind, ready to perform; null when the kind or its record is missing.
  static std::unique_ptr<CRequest> MakeRequest(int kind, int itemId);
  // Under the lock: a waiting request of this kind and item id.
  bool IsQueued(int kind, int itemId) const;
  // Moves the oldest waiting request into m_current; false when none waits.
  bool TakeFirst();
  void Perform(CRequest& request);
  void PerformWebService(CRequest& request);
  void PerformWebApi(CRequest& request);
  // A request that the stop cut: its record is freed here, since no result handler will run.
  void DropCut(const CRequest& request);

  HANDLE m_hThread = nullptr;
  ScopedHandle<CloseHandle> m_wakeEvent;
  CLock m_lock;
  std::atomic<bool> m_bRunning{false};
  // Set by Stop: the exchange in flight ends, and nothing more is taken or delivered.
  std::atomic<bool> m_bCut{false};
  std::list<std::unique_ptr<CRequest>> m_queue;
  // The request the worker performs, off the queue. Only the worker touches it while it runs;
  // a worker that had to be terminated leaves it to Stop.
  std::unique_ptr<CRequest> m_current;
};
