// The upload posts its form through the library's form calls, which newer versions mark as
// superseded; they stay supported.
#define CURL_DISABLE_DEPRECATION

#include "webdata/lrc_helper.h"

#include <cstdio>

#include "foundation/site_addresses.h"
#include "foundation/text_convert.h"
#include "webdata/api_call.h"
#include "webdata/api_signing.h"
#include "webdata/proto_replies.h"
#include "webdata/reply_limits.h"

namespace {

const char kGrantPath[] = "/api";
const char kTokenPath[] = "/oauth2/token?";
const char kTimePath[] = "/index/get-callid";
const char kUploadMethod[] = "Songs.AddLyricFile";
const char kLyricPart[] = "lyric";

// A grant that the site answers with one of these texts is tried once more, never again: a site
// that always answers so must not keep the editor waiting for ever.
constexpr int kGrantRepeats = 1;
const char* const kTokenTexts[] = {"Refresh token has expired", "Invalid refresh token",
                                   "No \"refresh_token\" parameter found"};

bool BlamesRefreshToken(const std::string& body) {
  for (const char* text : kTokenTexts) {
    if (body.find(text) != std::string::npos) return true;
  }
  return false;
}

// The user's name and password are encoded as every other parameter is, and besides with "&",
// "=", "+", "%" and "#" escaped: sent as they are, they would end or change the value that the
// site decodes.
std::string EncodeCredential(const std::wstring& text) {
  return web_api::UrlEncode(em_utility::wide_to_ansi(text), "&=+%#");
}

struct FormFree {
  void operator()(curl_httppost* form) const { curl_formfree(form); }
};
using CurlForm = std::unique_ptr<curl_httppost, FormFree>;

}  // namespace

std::wstring LyricHelpUrl() {
  return L"http://" + std::wstring(em_utility::ansi_to_wide(site::HomeHost())) + L"/lyrichelp";
}

boost::shared_ptr<LrcHelper> LrcHelper::Instance() {
  static const boost::shared_ptr<LrcHelper> instance(new LrcHelper);
  return instance;
}

LrcHelper::LrcHelper() : m_vecHosts(web_api::ApiHosts()) {}

std::string LrcHelper::BuildSignedQuery(const std::string& method,
                                        const std::vector<ApiParam>& params) {
  return web_api::BuildSignedQuery(method, params, web_api::CurrentCallId());
}

std::string LrcHelper::UrlEncode(const std::string& text) {
  return web_api::UrlEncode(text);
}

ApiPath LrcHelper::BuildAddLyricFileQuery(int songId) {
  return ApiPath(
      web_api::kMethodPath,
      BuildSignedQuery(kUploadMethod, {{"song_id", std::to_string(songId)}, {"type", "1"}}));
}

const std::string& LrcHelper::HostOf(bool useDefaultHost, bool post) const {
  return useDefaultHost && !post ? site::DefaultApiHost() : FirstHost();
}

CurlHeaderList LrcHelper::BuildHeaders(bool useDefaultHost, bool post) {
  return MakeHeaderList(web_api::HeaderLines(HostOf(useDefaultHost, post), post));
}

std::string LrcHelper::BuildUrl(const ApiPath& path, bool useDefaultHost, bool post) {
  return web_api::BuildUrl(HostOf(useDefaultHost, post), path.first, path.second, m_strAccessToken);
}

std::string LrcHelper::BuildRawRequest(const ApiPath& path, bool post) {
  std::string text = post ? "POST " + path.first
                          : "GET " + path.first + (path.second.empty() ? "" : "?" + path.second);
  text += " HTTP/1.1\r\n";
  for (const std::string& line : web_api::HeaderLines(FirstHost(), post)) text += line + "\r\n";
  if (post) {
    text += "Content-Length: " + std::to_string(path.second.size()) + "\r\n";
    text += "Content-Type: application/x-www-form-urlencoded\r\n";
  }
  text += "\r\n";
  if (post) text += path.second;
  return text;
}

void LrcHelper::SetServerTime(int serverTime) {
  m_nTimeOffset = serverTime - web_api::LocalSeconds();
}

bool LrcHelper::SyncTime() {
  ApiPath path(std::string(web_api::kMethodPath) + kTimePath + "?client_id=" + web_api::kApiKey,
               std::string());
  long status = 0;
  std::string body;
  if (!Transfer(path, false, false, status, body) || status != 200) return false;
  proto::timestamp timestamp;
  if (!timestamp.FromJsonString(body)) return false;
  SetServerTime(timestamp.GetData());
  return true;
}

bool LrcHelper::Transfer(const ApiPath& path, bool useDefaultHost, bool anyEncoding, long& status,
                         std::string& body) {
  CurlHeaderList headers = BuildHeaders(useDefaultHost, false);
  return web_api::PerformGet(BuildUrl(path, useDefaultHost, false), headers.get(), anyEncoding,
                             reply_limits::kWebApiSmallBytes, status, body);
}

template <class Repeat>
bool LrcHelper::Grant(const ApiPath& path, bool anyEncoding, int repeats, Repeat repeat) {
  long status = 0;
  std::string body;
  if (!Transfer(path, true, anyEncoding, status, body)) return false;
  if (status != 200) return repeats > 0 && BlamesRefreshToken(body) && repeat(repeats - 1);

  proto::accesstoken token;
  if (!token.FromJsonString(body)) return false;
  m_strAccessToken = em_utility::wide_to_ansi(token.GetAccessToken());
  m_strRefreshToken = em_utility::wide_to_ansi(token.GetRefreshToken());
  m_nExpiresIn = token.GetExpiresIn();
  return true;
}

bool LrcHelper::Login(const std::wstring& user, const std::wstring& password) {
  return Login(user, password, kGrantRepeats);
}

bool LrcHelper::Login(const std::wstring& user, const std::wstring& password, int repeats) {
  ApiPath path(std::string(kGrantPath) + kTokenPath + "grant_type=password&" +
                   "client_id=" + web_api::kApiKey + "&username=" + EncodeCredential(user) +
                   "&password=" + EncodeCredential(password),
               std::string());
  return Grant(path, true, repeats, [&](int left) { return Login(user, password, left); });
}

bool LrcHelper::RefreshToken(const std::string& refreshToken) {
  return RefreshToken(refreshToken, kGrantRepeats);
}

bool LrcHelper::RefreshToken(const std::string& refreshToken, int repeats) {
  ApiPath path(std::string(web_api::kMethodPath) + kTokenPath + "grant_type=refresh_token&" +
                   "refresh_token=" + refreshToken + "&client_id=" + web_api::kApiKey,
               std::string());
  return Grant(path, false, repeats,
               [this](int left) { return RefreshToken(m_strRefreshToken, left); });
}

bool LrcHelper::UploadLyric(int songId, const std::string& path, std::string& status,
                            std::string& err, std::wstring& lyric) {
  ApiPath target = BuildAddLyricFileQuery(songId);
  CurlReplyBuffer bodyBuffer(reply_limits::kWebApiSmallBytes);
  CurlReplyBuffer headBuffer(reply_limits::kWebApiHeadBytes);

  curl_httppost* first = nullptr;
  curl_httppost* last = nullptr;
  CURLFORMcode formed = curl_formadd(&first, &last, CURLFORM_COPYNAME, kLyricPart, CURLFORM_FILE,
                                     path.c_str(), CURLFORM_END);
  CurlForm form(first);
  if (formed != CURL_FORMADD_OK) {
    std::fputs("curl_formadd error.\n", stderr);
    return false;
  }

  CurlEasyHandle handle(curl_easy_init());
  if (!handle) return false;
  CurlHeaderList headers = BuildHeaders(false, true);
  std::string url = BuildUrl(target, false, true);
  CURL* curl = handle.get();
  web_api::SetTransferOptions(curl, url, headers.get(), bodyBuffer, headBuffer);
  curl_easy_setopt(curl, CURLOPT_HEADER, 0L);
  curl_easy_setopt(curl, CURLOPT_HTTPPOST, form.get());
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 0L);
  PerformWithRetry(curl, bodyBuffer, headBuffer);

  long code = 0;
  std::string body = bodyBuffer.Text();
  if (!GetResponseCode(curl, code) || code != 200) {
    // The site blames the refresh token: renew it for the next upload; this one has failed.
    if (BlamesRefreshToken(body)) RefreshToken(m_strRefreshToken);
    return false;
  }
  proto::uploadResult result;
  if (!result.FromJsonString(body)) return false;
  status = em_utility::wide_to_ansi(result.GetStatus());
  err = em_utility::wide_to_ansi(result.GetErr());
  lyric = result.GetLyric();
  return true;
}
