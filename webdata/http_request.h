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

#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "webdata/api_param.h"
#include "webdata/curl_transfer.h"

class ISerialize;

enum RequestTransport { kTransportWebService = 0, kTransportWebApi = 1 };

// Results of CRequest::Receive besides 0 (a reply) and the Windows Sockets error codes.
constexpr int kReceiveTimedOut = 258;
constexpr int kReceiveFailed = -1;

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

  // Connects (at most 10 s until the socket can write) and sends the GET of the address. False
  // for an address that does not split, a host that cannot be found, or a connection or send
  // that fails.
  bool SendRequest();
  // Waits at most timeout whole seconds (and up to one more) for the reply to begin, then reads
  // it whole into out and closes the connection. 0 with the text (which may be empty),
  // kReceiveTimedOut, kReceiveFailed when the first read fails, or the sockets error of a failed
  // wait.
  int Receive(std::string& out, unsigned timeout);

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
  // Splits the first read into head and body start and collects the rest of the body as the
  // head frames it.
  void ParseReply(const char* firstRead, int count, std::string& body, bool& gzip);
  // Appends up to 1024 more bytes; the count, 0 or less when the peer closed or stayed silent
  // for more than 2 s.
  int ReceiveMore(std::string& text);
  void DecodeChunked(std::string& chunkText, std::string& body);
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
};

// Sends all length bytes, again and again as the socket takes them; the count sent, which is
// short when a send fails (logged). 0 for no data.
int SendAll(SOCKET socket, const char* data, int length, int flags);
