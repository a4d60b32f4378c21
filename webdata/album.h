// Album: an album of the web API's album detail, with its songs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "webdata/serialize.h"
#include "webdata/song.h"

class Album : public ISerialize {
 public:
  static constexpr uint32_t kFlagPlay = 0x1;   // "is_play" was not 0
  static constexpr uint32_t kFlagCheck = 0x2;  // "is_check" was 3

  // Load reads the keys, "songs" last, and only ever sets flag bits. Save writes nothing. Both
  // return false for a tree without children.
  bool Serialize(boost::property_tree::wiptree& tree, bool load, int option) override;
  using ISerialize::Serialize;

  bool IsPlayable() const { return (m_nFlags & kFlagPlay) && !(m_nFlags & kFlagCheck); }
  bool IsNotPlayable() const { return !(m_nFlags & kFlagPlay); }
  bool IsCheck() const { return (m_nFlags & kFlagCheck) != 0; }

  int GetAlbumId() const { return m_nAlbumId; }
  std::wstring GetAlbumName() const { return m_strAlbumName; }
  int GetArtistId() const { return m_nArtistId; }
  int GetSongCount() const { return m_nSongCount; }
  int GetCdCount() const { return m_nCdCount; }
  int GetPlayCount() const { return m_nPlayCount; }
  int GetCollects() const { return m_nCollects; }
  uint32_t GetFlags() const { return m_nFlags; }
  std::wstring GetLogo() const { return m_strLogo; }
  std::wstring GetArtistName() const { return m_strArtistName; }
  std::wstring GetDescription() const { return m_strDescription; }
  std::wstring GetLanguage() const { return m_strLanguage; }
  std::wstring GetSubTitle() const { return m_strSubTitle; }
  const std::vector<SongPtr>& GetSongs() const { return m_songs; }

 private:
  int m_nAlbumId = 0;
  std::wstring m_strAlbumName;
  int m_nArtistId = 0;
  int m_nSongCount = 0;
  int m_nCdCount = 0;
  int m_nPlayCount = 0;
  int m_nCollects = 0;
  uint32_t m_nFlags = 0;
  std::wstring m_strLogo;
  std::wstring m_strArtistName;
  std::wstring m_strDescription;
  std::wstring m_strLanguage;
  std::wstring m_strSubTitle;
  std::vector<SongPtr> m_songs;
};
