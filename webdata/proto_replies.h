// The web API's replies: server time, lyric upload result, OAuth2 tokens, and the album and track
// details that carry an Album or a Song.
#pragma once

#include <string>

#include <boost/shared_ptr.hpp>

#include "webdata/album.h"
#include "webdata/proto_base.h"
#include "webdata/song.h"

namespace proto {

// The time-sync reply. Either direction reads: true only for status "ok" (default "err") and a
// "data" above 0. The base fields are not read.
class timestamp : public base {
 public:
  bool Serialize(boost::property_tree::wiptree& tree, bool load, int option) override;
  using ISerialize::Serialize;
  int GetData() const { return m_nData; }

 private:
  int m_nData = 0;
};

// The lyric upload reply. Either direction reads "status", "err" and "lyric" inside the required
// child "data" (its absence fails the load after status and err are read).
class uploadResult : public base {
 public:
  bool Serialize(boost::property_tree::wiptree& tree, bool load, int option) override;
  using ISerialize::Serialize;
  std::wstring GetStatus() const { return m_strStatus; }
  std::wstring GetErr() const { return m_strErr; }
  std::wstring GetLyric() const { return m_strLyric; }

 private:
  std::wstring m_strStatus;
  std::wstring m_strErr;
  std::wstring m_strLyric;
};

// The OAuth2 token replies (password and refresh grants). Load always succeeds; save writes
// nothing.
class accesstoken : public base {
 public:
  bool Serialize(boost::property_tree::wiptree& tree, bool load, int option) override;
  using ISerialize::Serialize;
  std::wstring GetAccessToken() const { return m_strAccessToken; }
  std::wstring GetRefreshToken() const { return m_strRefreshToken; }
  std::wstring GetTokenType() const { return m_strTokenType; }
  std::wstring GetScope() const { return m_strScope; }
  int GetExpiresIn() const { return m_nExpiresIn; }

 private:
  std::wstring m_strAccessToken;
  std::wstring m_strRefreshToken;
  std::wstring m_strTokenType;
  std::wstring m_strScope;
  int m_nExpiresIn = 0;
};

// The album-detail reply (request kind 7): the frame, then the Album in the required child
// "data" (or at the sub-path inside it). The Album is made by the first load and reused.
class albumdetail : public base {
 public:
  explicit albumdetail(std::wstring subPath = std::wstring()) : m_strSubPath(std::move(subPath)) {}
  bool Serialize(boost::property_tree::wiptree& tree, bool load, int option) override;
  using ISerialize::Serialize;
  boost::shared_ptr<Album> GetAlbum() const { return m_album; }

 private:
  boost::shared_ptr<Album> m_album;
  std::wstring m_strSubPath;
};

// The track-detail reply (request kind 6), as albumdetail with a Song from the pools.
class songdetail : public base {
 public:
  explicit songdetail(std::wstring subPath = std::wstring()) : m_strSubPath(std::move(subPath)) {}
  bool Serialize(boost::property_tree::wiptree& tree, bool load, int option) override;
  using ISerialize::Serialize;
  SongPtr GetSong() const { return m_song; }

 private:
  SongPtr m_song;
  std::wstring m_strSubPath;
};

}  // namespace proto
