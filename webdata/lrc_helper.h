// LrcHelper: the web-API client of the lyric upload. It obtains an OAuth2 access token with the
// password grant, renews it with the refresh grant, can take the server's clock, and uploads a
// saved lyric file as the signed call "Songs.AddLyricFile" in a multipart form.
//
// Every call blocks its caller until the exchange ends (up to 3 performs of 10 s each). There is
// no lock: the client belongs to one thread, the lyric editor's.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>

#include "webdata/api_param.h"
#include "webdata/curl_transfer.h"

// {path, query}. The token and time requests carry their whole query in the path.
using ApiPath = std::pair<std::string, std::string>;

// The address of the site's lyric help page, which the login dialog and the main frame open.
std::wstring LyricHelpUrl();

class LrcHelper : public boost::enable_shared_from_this<LrcHelper> {
 public:
  // The process-wide client, made by the first call.
  static boost::shared_ptr<LrcHelper> Instance();

  // The API host from the settings (or the default host, then written into them); no tokens.
  LrcHelper();

  // The password grant with the user name and the password text the login left. A reply saying
  // the refresh token is at fault makes it try once more.
  bool Login(const std::wstring& user, const std::wstring& password);
  // The refresh grant; on the same replies it tries once more with the refresh token now held.
  bool RefreshToken(const std::string& refreshToken);
  // Takes the offset of the server's clock from the local one.
  bool SyncTime();
  // Uploads the lyric file at path for the song. True when the site answered with a result
  // (status "ok" or "failed", with err, and the address of the kept lyric).
  bool UploadLyric(int songId, const std::string& path, std::string& status, std::string& err,
                   std::wstring& lyric);

  std::string BuildSignedQuery(const std::string& method, const std::vector<ApiParam>& params);
  ApiPath BuildAddLyricFileQuery(int songId);
  CurlHeaderList BuildHeaders(bool useDefaultHost, bool post);
  std::string BuildUrl(const ApiPath& path, bool useDefaultHost, bool post);
  static std::string UrlEncode(const std::string& text);
  // A whole request as text, with the header block of BuildHeaders (first host); a POST carries
  // the query as a form body.
  std::string BuildRawRequest(const ApiPath& path, bool post);

  int GetTimeOffset() const { return m_nTimeOffset; }
  void SetServerTime(int serverTime);

 private:
  bool Login(const std::wstring& user, const std::wstring& password, int repeats);
  bool RefreshToken(const std::string& refreshToken, int repeats);
  // The GET shared by the time sync and the grants (see web_api::PerformGet).
  bool Transfer(const ApiPath& path, bool useDefaultHost, bool anyEncoding, long& status,
                std::string& body);
  // One token grant to the default host. On a reply that blames the refresh token, the result of
  // repeat when repeats are left, else false.
  template <class Repeat>
  bool Grant(const ApiPath& path, bool anyEncoding, int repeats, Repeat repeat);
  const std::string& FirstHost() const { return m_vecHosts.front(); }
  // The host of a call: the default host for a GET that asks for it, else the first host.
  const std::string& HostOf(bool useDefaultHost, bool post) const;

  std::vector<std::string> m_vecHosts;
  std::string m_strAccessToken;
  std::string m_strRefreshToken;
  int m_nExpiresIn = 0;
  int m_nTimeOffset = 0;
};
