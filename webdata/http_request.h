// CRequest: one request of the request queue, over one of two transports.
//
// Transport 0, the web service: a GET written by hand onto a TCP socket, its reply read back and
// framed by Content-Length, chunked coding or the peer's silence, gunzipped when it says so; the
// text is XML for the web-data manager. Transport 1, the web API: a signed method call through
// the transfer library whose JSON reply loads straight into a reply record.
//
// Made on the UI thread, then performed by the queue's worker: one thread at a time.
#pragma once

#include <winsock2.h>

#include <atomic>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "webdata/api_param.h"
#include "webdata/curl_transfer.h"
#include "webdata/exchange_deadline.h"

class ISerialize;

enum RequestTransport { kTransportWebService = 0, kTransportWebApi = 1 };

// Results of CRequest::Receive besides 0 (a reply) and the Windows Sockets error codes.
constexpr int kReceiveTimedOut = 258;  // no reply in time, or the exchange passed its deadline
constexpr int kReceiveFailed = -1;     // the first read failed, or no memory for the reply
constexpr int kReceiveNotOk = -2;      // a status other than 2xx, or no status line
constexpr int kReceiveTooLarge = -3;   // the reply, or its inflated text, passed its ceiling
constexpr int kReceiveCut = -4;        // the owner's cut flag was set (the queue is stopping)

class CRequest {
 public:
  // A web-service request of the given kind and item id.
  CRequest(int kind, int id, int transport);
  // A web-API request whose reply loads into the record type named by resultType.
  CRequest(int kind, const std::string& resultType, int id, int transport);
  virtual ~CRequest();
  CRequest(const CRequest&) = delete;
  CRequest& operator=(const CRequest&) = delete;

  int GetRequestId() const { return m_nRequestId; }
  int GetId() const { return m_nId; }
  int GetTransport() const { return m_nTransport; }
  std::string GetResultType() const { return m_strResultType; }
  // The web-service address without scheme: host[:port] followed by path and query.
  void SetUrl(const std::string& url) { m_strUrl = url; }
  // The method call of a web-API request: its signed query on the method path.
  void SetApiParams(const std::string& method, const std::vector<ApiParam>& params);

  // Starts the exchange's deadline, connects (a refused connection fails at once, a silent peer
  // after 10 s) and sends the GET of the address. False for an address that does not split, a
  // host that cannot be found, or a connection or send that fails.
  bool SendRequest();
  // Waits at most timeout whole seconds (and up to one more) for the reply to begin, then reads
  // it whole into out and closes the connection. 0 with the text of a 2xx reply (which may be
  // empty), else one of the results above or the sockets error of a failed wait; out is left as
  // it was then. The deadline started by SendRequest bounds every wait.
  int Receive(std::string& out, unsigned timeout);
  // The time the next exchange has as a whole, from SendRequest to the end of its Receive
  // (reply_limits::kWebServiceMilliseconds unless set).
  void LimitExchangeTime(DWORD milliseconds) { m_dwExchangeTime = milliseconds; }
  // A flag of the owner that ends every exchange of this request as soon as it is set: a
  // connect or a wait for data sees it within a fraction of a second, the web-API transfer
  // within about a second. It must outlive the request's exchanges.
  void SetCutFlag(const std::atomic<bool>* cut) { m_pCut = cut; }
  bool IsCut() const { return m_pCut && m_pCut->load(); }

  // The web-API exchange; true when the reply had status 200 and loaded into the record.
  bool PerformApi(boost::shared_ptr<ISerialize> record);

  // The signed query of a method call at this moment (see api_signing.h).
  static std::string BuildSignedQuery(const std::string& method,
                                      const std::vector<ApiParam>& params);
  static std::string UrlEncode(const std::string& text);
  // The header list of an API call to the first host, GET or POST variant.
  CurlHeaderList BuildHeaders(bool post) const;
  // The first host, path and query, and the access token when one is held.
  std::string BuildUrl(const std::string& path, const std::string& query) const;

 private:
  bool Connect(const in_addr& address, unsigned short port);
  int ReceiveReply(std::string& out, unsigned timeout);
  // Replaces a gzip body by its text: 0, or kReceiveTooLarge past the ceiling. A damaged stream
  // gives what it held, as the site's replies always have.
  int Inflate(std::string& body);
  // Splits the first read into head and body start and collects the rest of the body as the
  // head frames it. 0, or why the reply is refused.
  int ParseReply(const char* firstRead, int count, std::string& body, bool& gzip);
  // Appends what has arrived (up to 64 KiB); the count, 0 or less when the peer closed or
  // stayed silent for more than 2 s, or when the reply has to stop (m_nStopResult says why).
  int ReceiveMore(std::string& text);
  void DecodeChunked(std::string& chunkText, std::string& body);
  // Waits at most milliseconds, cut to the deadline, for the socket to become readable: 1, 0 for
  // not yet, or SOCKET_ERROR.
  int WaitReadable(DWORD milliseconds);
  // Notes that the reply has to stop because the owner cut it, the deadline passed or the reply
  // grew past its ceiling; true when it has to.
  bool MustStop();
  void CloseSocket();

  std::vector<std::string> m_vecHosts;
  std::string m_strAccessToken;
  std::string m_strUrl;
  int m_nRequestId;
  int m_nId;
  SOCKET m_socket = INVALID_SOCKET;
  int m_nTransport;
  std::string m_strPath;
  std::string m_strQuery;
  std::string m_strResultType;

  DWORD m_dwExchangeTime;
  CExchangeDeadline m_deadline;
  unsigned m_nReceived = 0;  // bytes of the reply read so far, head and framing included
  int m_nStopResult = 0;     // why the reply was stopped: kReceiveCut, kReceiveTimedOut, ...
  const std::atomic<bool>* m_pCut = nullptr;
};

// Sends all length bytes, again and again as the socket takes them; the count sent, which is
// short when a send fails (logged). 0 for no data.
int SendAll(SOCKET socket, const char* data, int length, int flags);
