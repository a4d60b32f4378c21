#include "webdata/web_service.h"

#include <exception>
#include <string>
#include <vector>

#include <boost/make_shared.hpp>

#include "app/main_frame.h"
#include "foundation/common_helpers.h"
#include "foundation/logger.h"
#include "foundation/site_addresses.h"
#include "webdata/http_request.h"
#include "webdata/proto_replies.h"
#include "webdata/web_request_kind.h"

namespace {

namespace log_level = em_utility::log_level;

const char kTrackDetailType[] = "proto::proto_songdetail";
const char kAlbumDetailType[] = "proto::proto_albumdetail";

// The cursor states the worker sets on the main frame.
constexpr int kCursorBusy = 0;
constexpr int kCursorEndBusy = 1;

std::unique_ptr<CRequest> WebServiceGet(int kind, int itemId, const std::string& url) {
  std::unique_ptr<CRequest> request(new CRequest(kind, itemId, kTransportWebService));
  request->SetUrl(url);
  return request;
}

std::unique_ptr<CRequest> WebApiCall(int kind, const char* resultType, int itemId,
                                     const char* method, const std::vector<ApiParam>& params) {
  std::unique_ptr<CRequest> request(new CRequest(kind, resultType, itemId, kTransportWebApi));
  request->SetApiParams(method, params);
  return request;
}

// The record a web-API result loads into, by the request's result type; null for another name.
boost::shared_ptr<proto::base> MakeResultRecord(const std::string& resultType) {
  if (resultType == kTrackDetailType) return boost::make_shared<proto::songdetail>();
  if (resultType == kAlbumDetailType) return boost::make_shared<proto::albumdetail>();
  return nullptr;
}

// Called inside a catch block: logs the exception being handled. Throws nothing, so that no
// exception can leave the worker (a log that cannot be written has nowhere else to go).
void LogException(const char* what, const CRequest& request) noexcept {
  try {
    std::string reason = "unknown exception";
    try {
      throw;
    } catch (const std::exception& e) {
      reason = e.what();
    } catch (...) {
    }
    GetLogger()->log(log_level::error, "CWebService: %s %d (item %d) failed: %s", what,
                     request.GetRequestId(), request.GetId(), reason.c_str());
  } catch (...) {
  }
}

}  // namespace

CWebService* CWebService::Instance() {
  static CWebService* const instance = new CWebService;
  return instance;
}

CWebService::CWebService() : m_wakeEvent(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

CWebService::~CWebService() {
  Stop();
  // No result will come for the requests still waiting: their records go with them.
  for (const auto& request : m_queue) DeleteRequestParam(request->GetRequestId(), request->GetId());
}

bool CWebService::Start() {
  if (m_hThread) Stop();
  // On before the thread first looks at it.
  m_bRunning = true;
  m_bCut = false;
  m_hThread = CreateThread(nullptr, 0, &CWebService::ThreadProc, this, 0, nullptr);
  if (!m_hThread) {
    m_bRunning = false;
    return false;
  }
  return true;
}

void CWebService::Stop() {
  m_bRunning = false;
  m_bCut = true;
  SetEvent(m_wakeEvent.get());
  if (!m_hThread) return;
  // A delivery in progress may be waiting for this thread (a SendMessage to the frame's
  // windows): the wait answers it, so the worker can reach its exit.
  if (!EndStoppedWorker(m_hThread)) {
    // The killed worker's request is no longer in the queue: free it (and its connection).
    m_current.reset();
  }
  CloseHandle(m_hThread);
  m_hThread = nullptr;
}

std::unique_ptr<CRequest> CWebService::MakeRequest(int kind, int itemId) {
  const std::string& host = site::WebServiceHost();
  switch (kind) {
    case WebRequestKind::RadioTypes:
      return WebServiceGet(kind, itemId, host + "/app/ws/car-radios");
    case WebRequestKind::RadioSongs: {
      const WebRequestParam* param = RequestParamRecord<WebRequestParam>(itemId);
      if (!param) return nullptr;
      return WebServiceGet(kind, itemId,
                           host + "/app/ws/car-radiosongs?id=" + std::to_string(param->fields[3]) +
                               "&type=" + std::to_string(param->fields[2]));
    }
    case WebRequestKind::Artist:
      return WebServiceGet(kind, itemId, host + "/app/ws/car-artist?id=" + std::to_string(itemId));
    case WebRequestKind::AlbumPromotions: {
      const AlbumPromotionParam* param = RequestParamRecord<AlbumPromotionParam>(itemId);
      if (!param) return nullptr;
      // The site counts pages from 1.
      int page = static_cast<int>(static_cast<uint32_t>(param->page) + 1u);
      return WebServiceGet(kind, itemId,
                           host + "/app/ws/album-promotions?sort_id=" +
                               std::to_string(param->sort_id) + "&page=" + std::to_string(page));
    }
    case WebRequestKind::UpdateFile:
      return WebServiceGet(kind, itemId, site::StaticFileHost() + "/daruruvidev/update.xml");
    case WebRequestKind::SongDetail:
      return WebServiceGet(kind, itemId, host + "/app/ws/song-detail?id=" + std::to_string(itemId));
    case WebRequestKind::TrackDetail:
      return WebApiCall(kind, kTrackDetailType, itemId, "Songs.getTrackDetail",
                        {{"id", std::to_string(itemId)}, {"quality", "l"}});
    case WebRequestKind::AlbumDetail: {
      const WebRequestParam* param = RequestParamRecord<WebRequestParam>(itemId);
      if (!param) return nullptr;
      return WebApiCall(kind, kAlbumDetailType, itemId, "Albums.detail",
                        {{"id", std::to_string(param->fields[3])}});
    }
    default:
      return nullptr;
  }
}

void CWebService::DispatchRequest(int nRequest, int wParam, int lParam) {
  GetLogger()->log(log_level::normal, "DispatchRequest: nRequest = %d, wParam = %d, lParam = %d",
                   nRequest, wParam, lParam);
  std::unique_ptr<CRequest> request = MakeRequest(nRequest, wParam);
  if (!request) {
    GetLogger()->log(log_level::error,
                     "DispatchRequest: refused: no request kind %d, or no record for it",
                     nRequest);
    return;
  }
  {
    CLockGuard lock(m_lock);
    if (IsQueued(nRequest, wParam)) return;
    m_queue.push_back(std::move(request));
  }
  SetEvent(m_wakeEvent.get());
}

bool CWebService::IsQueued(int kind, int itemId) const {
  for (const auto& waiting : m_queue) {
    if (waiting->GetRequestId() == kind && waiting->GetId() == itemId) return true;
  }
  return false;
}

bool CWebService::TakeFirst() {
  CLockGuard lock(m_lock);
  if (m_queue.empty()) return false;
  m_current = std::move(m_queue.front());
  m_queue.pop_front();
  return true;
}

DWORD WINAPI CWebService::ThreadProc(void* self) {
  return static_cast<CWebService*>(self)->__ServiceLoop();
}

DWORD CWebService::__ServiceLoop() {
  while (m_bRunning) {
    WaitForSingleObject(m_wakeEvent.get(), kWakeInterval);
    if (!m_bRunning) break;
    // A stop takes nothing more; what waits stays queued for the next start.
    while (!m_bCut && TakeFirst()) {
      // Nothing may leave the thread: a request that throws is over, the next one goes on.
      try {
        Perform(*m_current);
      } catch (...) {
        LogException("request", *m_current);
      }
      m_current.reset();
    }
  }
  GetLogger()->log(log_level::important, L"CWebService::__ServiceLoop 退出！！！");
  return 0;
}

void CWebService::Perform(CRequest& request) {
  request.SetCutFlag(&m_bCut);
  if (request.GetTransport() == kTransportWebService) {
    PerformWebService(request);
  } else {
    PerformWebApi(request);
  }
}

void CWebService::PerformWebService(CRequest& request) {
  const int kind = request.GetRequestId();
  const int id = request.GetId();
  em_utility::logger* logger = GetLogger();
  CMainFrame* frame = CMainFrame::GetInstance();
  frame->SetCursorState(kCursorBusy);
  std::string reply;
  try {
    for (int attempt = 0; attempt < kMaxTries && !m_bCut; ++attempt) {
      if (!request.SendRequest()) {
        reply.clear();
        logger->log(log_level::error,
                    L"第%d次发送请求失败，请检查网络连接! pRequest->GetRequestId() = %d, "
                    L"pRequest->GetId() = %d",
                    attempt, kind, id);
        break;
      }
      int result = request.Receive(reply, kReceiveSeconds);
      if (result == 0) {
        logger->log(log_level::important,
                    L"第%d次请求webservice成功! pRequest->GetRequestId() = %d, "
                    L"pRequest->GetId() = %d, nRes = %d",
                    attempt, kind, id, result);
        break;
      }
      reply.clear();
      logger->log(log_level::error,
                  L"第%d次请求webservice失败! pRequest->GetRequestId() = %d, "
                  L"pRequest->GetId() = %d, nRes = %d",
                  attempt, kind, id, result);
    }
  } catch (...) {
    // A request that cannot be performed ends as a failed one: an empty reply.
    reply.clear();
    LogException("web-service request", request);
  }
  frame->SetCursorState(kCursorEndBusy);
  if (m_bCut) return DropCut(request);
  frame->OnWebServiceReply(reply, kind, id);
}

void CWebService::PerformWebApi(CRequest& request) {
  const std::string resultType = request.GetResultType();
  boost::shared_ptr<proto::base> record = MakeResultRecord(resultType);
  if (!record) {
    GetLogger()->log(log_level::error, "CWebService: request %d has no result type %s",
                     request.GetRequestId(), resultType.c_str());
    return;
  }
  try {
    // Whether the call succeeded shows in the record: an unfilled one stores nothing.
    request.PerformApi(record);
  } catch (...) {
    LogException("web-API request", request);
    record = MakeResultRecord(resultType);
  }
  if (m_bCut) return DropCut(request);
  CMainFrame* frame = CMainFrame::GetInstance();
  frame->SetCursorState(kCursorEndBusy);
  frame->OnApiReply(record, request.GetRequestId(), request.GetId());
}

void CWebService::DropCut(const CRequest& request) {
  GetLogger()->log(log_level::important, "CWebService: request %d (item %d) cut by the stop",
                   request.GetRequestId(), request.GetId());
  DeleteRequestParam(request.GetRequestId(), request.GetId());
}
