// Song: the record of the lyric-editing side. The song list, the lyric workspace, the player and
// the upload all share boost::shared_ptr<Song>; the web API's track and album details fill it.
//
// Songs come from the memory pools (class operator new/delete): make them with MakeSongPtr, or
// with new inside a shared pointer. A load sets the local audio and lyric paths in the system's
// temporary folder.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <utility>

#include <boost/shared_ptr.hpp>

#include "webdata/serialize.h"

class Song : public ISerialize {
 public:
  Song() = default;
  ~Song() override = default;

  static void* operator new(std::size_t size);
  static void operator delete(void* p);

  // Reads or writes the 35 keys of the web API's song object (load: false for a tree without
  // children, which then changes nothing).
  bool Serialize(boost::property_tree::wiptree& tree, bool load, int option) override;
  using ISerialize::Serialize;

  // Buffering: the song's audio file is complete / its download has started.
  bool IsBuffered() const { return m_fProgress >= 99.99999f; }
  bool IsBufferingStarted() const { return m_fProgress >= 0.0001f; }

  // The download thread of song buffering, 0 when none runs (the buffering owns the handle).
  HANDLE GetDownloadThread() const { return m_hDownloadThread; }
  void SetDownloadThread(HANDLE thread) { m_hDownloadThread = thread; }

  int GetSongId() const { return m_nSongId; }
  void SetSongId(int value) { m_nSongId = value; }
  std::wstring GetSongName() const { return m_strSongName; }
  void SetSongName(std::wstring value) { m_strSongName = std::move(value); }
  int GetAlbumId() const { return m_nAlbumId; }
  void SetAlbumId(int value) { m_nAlbumId = value; }
  std::wstring GetAlbumName() const { return m_strAlbumName; }
  void SetAlbumName(std::wstring value) { m_strAlbumName = std::move(value); }
  int GetArtistId() const { return m_nArtistId; }
  void SetArtistId(int value) { m_nArtistId = value; }
  std::wstring GetArtistName() const { return m_strArtistName; }
  void SetArtistName(std::wstring value) { m_strArtistName = std::move(value); }
  std::wstring GetLyricText() const { return m_strLyricText; }
  void SetLyricText(std::wstring value) { m_strLyricText = std::move(value); }
  std::wstring GetLyric() const { return m_strLyric; }
  void SetLyric(std::wstring value) { m_strLyric = std::move(value); }
  std::wstring GetLyricTrc() const { return m_strLyricTrc; }
  void SetLyricTrc(std::wstring value) { m_strLyricTrc = std::move(value); }
  std::wstring GetLyricKaraok() const { return m_strLyricKaraok; }
  void SetLyricKaraok(std::wstring value) { m_strLyricKaraok = std::move(value); }
  int GetRecommends() const { return m_nRecommends; }
  void SetRecommends(int value) { m_nRecommends = value; }
  int GetLength() const { return m_nLength; }
  void SetLength(int value) { m_nLength = value; }
  std::wstring GetLogo() const { return m_strLogo; }
  void SetLogo(std::wstring value) { m_strLogo = std::move(value); }
  std::wstring GetArtistLogo() const { return m_strArtistLogo; }
  void SetArtistLogo(std::wstring value) { m_strArtistLogo = std::move(value); }
  std::wstring GetSingers() const { return m_strSingers; }
  void SetSingers(std::wstring value) { m_strSingers = std::move(value); }
  std::wstring GetTrackUrl() const { return m_strTrackUrl; }
  void SetTrackUrl(std::wstring value) { m_strTrackUrl = std::move(value); }
  int GetPlayCounts() const { return m_nPlayCounts; }
  void SetPlayCounts(int value) { m_nPlayCounts = value; }
  int GetPlaySeconds() const { return m_nPlaySeconds; }
  void SetPlaySeconds(int value) { m_nPlaySeconds = value; }
  std::wstring GetAlbumLogo() const { return m_strAlbumLogo; }
  void SetAlbumLogo(std::wstring value) { m_strAlbumLogo = std::move(value); }
  std::wstring GetLyricFile() const { return m_strLyricFile; }
  void SetLyricFile(std::wstring value) { m_strLyricFile = std::move(value); }
  bool GetDemo() const { return m_bDemo; }
  void SetDemo(bool value) { m_bDemo = value; }
  std::wstring GetLevel() const { return m_strLevel; }
  void SetLevel(std::wstring value) { m_strLevel = std::move(value); }
  std::wstring GetQuality() const { return m_strQuality; }
  void SetQuality(std::wstring value) { m_strQuality = std::move(value); }
  std::wstring GetHash() const { return m_strHash; }
  void SetHash(std::wstring value) { m_strHash = std::move(value); }
  int GetResId() const { return m_nResId; }
  void SetResId(int value) { m_nResId = value; }
  int GetDefaultResourceId() const { return m_nDefaultResourceId; }
  void SetDefaultResourceId(int value) { m_nDefaultResourceId = value; }
  int GetCdSerial() const { return m_nCdSerial; }
  void SetCdSerial(int value) { m_nCdSerial = value; }
  int GetTrack() const { return m_nTrack; }
  void SetTrack(int value) { m_nTrack = value; }
  std::wstring GetRecNote() const { return m_strRecNote; }
  void SetRecNote(std::wstring value) { m_strRecNote = std::move(value); }
  std::wstring GetTitle() const { return m_strTitle; }
  void SetTitle(std::wstring value) { m_strTitle = std::move(value); }
  std::wstring GetName() const { return m_strName; }
  void SetName(std::wstring value) { m_strName = std::move(value); }
  bool GetFavourite() const { return m_bFavourite; }
  void SetFavourite(bool value) { m_bFavourite = value; }
  bool GetPlayAuthority() const { return m_bPlayAuthority; }
  void SetPlayAuthority(bool value) { m_bPlayAuthority = value; }
  int GetFlag() const { return m_nFlag; }
  void SetFlag(int value) { m_nFlag = value; }
  std::wstring GetMvId() const { return m_strMvId; }
  void SetMvId(std::wstring value) { m_strMvId = std::move(value); }
  // mv_id becomes a text of the one character.
  void SetMvIdChar(wchar_t ch) { m_strMvId.assign(1, ch); }

  // Percent of the audio file buffered.
  float GetProgress() const { return m_fProgress; }
  void SetProgress(float value) { m_fProgress = value; }
  // The note text shown beside the song.
  std::wstring GetAuxText() const { return m_strAuxText; }
  void SetAuxText(std::wstring value) { m_strAuxText = std::move(value); }
  // Temp folder + song id + ".lrc"; temp folder + Sha1Name(song name) + "_" + id + ".mp3".
  std::wstring GetLyricPath() const { return m_strLyricPath; }
  std::wstring GetMp3Path() const { return m_strMp3Path; }

 private:
  struct FieldRule;
  static const FieldRule kFields[];
  void SetLocalPaths();

  HANDLE m_hDownloadThread = nullptr;
  int m_nSongId = 0;
  std::wstring m_strSongName;
  int m_nAlbumId = 0;
  std::wstring m_strAlbumName;
  int m_nArtistId = 0;
  std::wstring m_strArtistName;
  std::wstring m_strLyricText;
  std::wstring m_strLyric;
  std::wstring m_strLyricTrc;
  std::wstring m_strLyricKaraok;
  int m_nRecommends = 0;
  int m_nLength = 0;
  std::wstring m_strLogo;
  std::wstring m_strArtistLogo;
  std::wstring m_strSingers;
  std::wstring m_strTrackUrl;
  int m_nPlayCounts = 0;
  int m_nPlaySeconds = 0;
  std::wstring m_strAlbumLogo;
  std::wstring m_strLyricFile;
  bool m_bDemo = false;
  std::wstring m_strLevel;
  std::wstring m_strQuality;
  std::wstring m_strHash;
  int m_nResId = 0;
  int m_nDefaultResourceId = 0;
  int m_nCdSerial = 0;
  int m_nTrack = 0;
  std::wstring m_strRecNote;
  std::wstring m_strTitle;
  std::wstring m_strName;
  bool m_bFavourite = false;
  bool m_bPlayAuthority = false;
  int m_nFlag = 0;
  std::wstring m_strMvId;
  float m_fProgress = 0;
  std::wstring m_strAuxText;
  std::wstring m_strLyricPath;
  std::wstring m_strMp3Path;
};

using SongPtr = boost::shared_ptr<Song>;

// A default Song from the pools, owned by the new shared pointer.
SongPtr MakeSongPtr();
