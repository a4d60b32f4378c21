// The shape of one web-API call, shared by the request queue's requests and the web-API client:
// where the API is, the header lines, the address, and the GET that both of them perform.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include <curl/curl.h>

class CurlReplyBuffer;

namespace web_api {

// The API hosts from the settings' ApiURL (thread's ANSI code page); the default API host when
// ApiURL is empty. Reads only: the settings are not changed or saved.
std::vector<std::string> ApiHosts();

// The header lines of a call, in their order; host names the "host: " line. A POST sends no
// Accept-Encoding line and ends with an empty "Expect:" so that no continue reply is awaited.
std::vector<std::string> HeaderLines(const std::string& host, bool post);

// host + path, "?" + query when there is one, "&access_token=" + token when there is one. No
// scheme: the transfer library takes HTTP.
std::string BuildUrl(const std::string& host, const std::string& path, const std::string& query,
                     const std::string& accessToken);

// The options of every exchange with the API: verbose; the URL; the header list; 10 s per
// perform; at most 2 redirects; body and head collected in the two buffers, each up to its
// ceiling (a Content-Length above the body's is refused before the body comes).
void SetTransferOptions(CURL* curl, const std::string& url, curl_slist* headers,
                        CurlReplyBuffer& body, CurlReplyBuffer& head);

// One GET of the API: accepted encoding "gzip" (the library decodes), or every encoding it
// supports when anyEncoding is set; the header list; 10 s per perform; at most 2 redirects
// followed; up to 3 performs while it cannot connect or send. status receives the response code,
// 0 when none could be read; body the reply body. False, with a log line, when no transfer handle
// was had or the transfer did not complete (no connection, time-out, a body past ceiling): the
// body is empty then. A transfer is abandoned as soon as cut (when given) is set: the library
// looks at it about once a second while it waits, and more often while data arrive.
bool PerformGet(const std::string& url, curl_slist* headers, bool anyEncoding, uint32_t ceiling,
                long& status, std::string& body, const std::atomic<bool>* cut = nullptr);

}  // namespace web_api
