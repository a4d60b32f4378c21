#include "webdata/song.h"

#include <new>

#include "foundation/cache_names.h"
#include "foundation/config.h"
#include "foundation/pool_alloc.h"
#include "webdata/tree_fields.h"

using boost::property_tree::wiptree;

// Pool blocks are aligned to 4 bytes only.
static_assert(alignof(Song) <= 4, "Song must fit the pools' 4-byte alignment");

// How one key is read and written. Numbers save as unsigned decimals; the three flags each have
// their own rule, as the web API gives and takes them.
struct Song::FieldRule {
  enum Kind {
    kNumber,     // integer read, unsigned decimal written
    kText,       // text read and written
    kDemo,       // integer read (not 0 = true), "0" or "1" written
    kFavourite,  // boolean read ("1", "0", "true", "false"), "true" or "false" written
    kAuthority,  // integer read (not 0 = true), "true" or "false" written
  };
  const wchar_t* key;
  Kind kind;
  int Song::*number;
  std::wstring Song::*text;
  bool Song::*flag;
};

// The song object's keys in the web API's order.
const Song::FieldRule Song::kFields[] = {
    {L"song_id", FieldRule::kNumber, &Song::m_nSongId, nullptr, nullptr},
    {L"song_name", FieldRule::kText, nullptr, &Song::m_strSongName, nullptr},
    {L"album_id", FieldRule::kNumber, &Song::m_nAlbumId, nullptr, nullptr},
    {L"album_name", FieldRule::kText, nullptr, &Song::m_strAlbumName, nullptr},
    {L"artist_id", FieldRule::kNumber, &Song::m_nArtistId, nullptr, nullptr},
    {L"artist_name", FieldRule::kText, nullptr, &Song::m_strArtistName, nullptr},
    {L"lyric_text", FieldRule::kText, nullptr, &Song::m_strLyricText, nullptr},
    {L"lyric", FieldRule::kText, nullptr, &Song::m_strLyric, nullptr},
    {L"lyric_trc", FieldRule::kText, nullptr, &Song::m_strLyricTrc, nullptr},
    {L"lyric_karaok", FieldRule::kText, nullptr, &Song::m_strLyricKaraok, nullptr},
    {L"recommends", FieldRule::kNumber, &Song::m_nRecommends, nullptr, nullptr},
    {L"length", FieldRule::kNumber, &Song::m_nLength, nullptr, nullptr},
    {L"logo", FieldRule::kText, nullptr, &Song::m_strLogo, nullptr},
    {L"artist_logo", FieldRule::kText, nullptr, &Song::m_strArtistLogo, nullptr},
    {L"singers", FieldRule::kText, nullptr, &Song::m_strSingers, nullptr},
    {L"track_url", FieldRule::kText, nullptr, &Song::m_strTrackUrl, nullptr},
    {L"play_counts", FieldRule::kNumber, &Song::m_nPlayCounts, nullptr, nullptr},
    {L"play_seconds", FieldRule::kNumber, &Song::m_nPlaySeconds, nullptr, nullptr},
    {L"album_logo", FieldRule::kText, nullptr, &Song::m_strAlbumLogo, nullptr},
    {L"lyric_file", FieldRule::kText, nullptr, &Song::m_strLyricFile, nullptr},
    {L"demo", FieldRule::kDemo, nullptr, nullptr, &Song::m_bDemo},
    {L"level", FieldRule::kText, nullptr, &Song::m_strLevel, nullptr},
    {L"quality", FieldRule::kText, nullptr, &Song::m_strQuality, nullptr},
    {L"hash", FieldRule::kText, nullptr, &Song::m_strHash, nullptr},
    {L"res_id", FieldRule::kNumber, &Song::m_nResId, nullptr, nullptr},
    {L"default_resource_id", FieldRule::kNumber, &Song::m_nDefaultResourceId, nullptr, nullptr},
    {L"cd_serial", FieldRule::kNumber, &Song::m_nCdSerial, nullptr, nullptr},
    {L"track", FieldRule::kNumber, &Song::m_nTrack, nullptr, nullptr},
    {L"rec_note", FieldRule::kText, nullptr, &Song::m_strRecNote, nullptr},
    {L"title", FieldRule::kText, nullptr, &Song::m_strTitle, nullptr},
    {L"name", FieldRule::kText, nullptr, &Song::m_strName, nullptr},
    {L"favourite", FieldRule::kFavourite, nullptr, nullptr, &Song::m_bFavourite},
    {L"play_authority", FieldRule::kAuthority, nullptr, nullptr, &Song::m_bPlayAuthority},
    {L"flag", FieldRule::kNumber, &Song::m_nFlag, nullptr, nullptr},
    {L"mv_id", FieldRule::kText, nullptr, &Song::m_strMvId, nullptr},
};

void* Song::operator new(std::size_t size) {
  void* p = Lirak::PoolAlloc(static_cast<uint32_t>(size));
  if (!p) throw std::bad_alloc();
  return p;
}

void Song::operator delete(void* p) {
  Lirak::PoolFree(p);
}

bool Song::Serialize(wiptree& tree, bool load, int) {
  using namespace tree_fields;
  if (!load) {
    for (const FieldRule& field : kFields) {
      switch (field.kind) {
        case FieldRule::kNumber:
          WriteUnsigned(tree, field.key, this->*field.number);
          break;
        case FieldRule::kText:
          WriteText(tree, field.key, this->*field.text);
          break;
        case FieldRule::kDemo:
          WriteInt(tree, field.key, this->*field.flag ? 1 : 0);
          break;
        case FieldRule::kFavourite:
        case FieldRule::kAuthority:
          WriteBoolText(tree, field.key, this->*field.flag);
          break;
      }
    }
    return true;
  }

  if (tree.empty()) return false;
  for (const FieldRule& field : kFields) {
    switch (field.kind) {
      case FieldRule::kNumber:
        this->*field.number = ReadInt(tree, field.key);
        break;
      case FieldRule::kText:
        this->*field.text = ReadText(tree, field.key);
        break;
      case FieldRule::kDemo:
      case FieldRule::kAuthority:
        this->*field.flag = ReadInt(tree, field.key) != 0;
        break;
      case FieldRule::kFavourite:
        this->*field.flag = ReadBool(tree, field.key);
        break;
    }
  }
  // Replies that have no track address give the file to listen to under another key.
  if (m_strTrackUrl.empty()) m_strTrackUrl = ReadText(tree, L"listen_file");
  SetLocalPaths();
  return true;
}

void Song::SetLocalPaths() {
  const CString tempFolder = GetConfig()->GetSystemTempPath();
  const CString name =
      Sha1Name(CString(m_strSongName.c_str(), static_cast<int>(m_strSongName.size())));
  // The id keeps two songs of one name apart: sharing a file, one would play the other's audio.
  m_strMp3Path = std::wstring(tempFolder.GetString()) + name.GetString() + L"_" +
                 std::to_wstring(m_nSongId) + L".mp3";
  m_strLyricPath = std::wstring(tempFolder.GetString()) + std::to_wstring(m_nSongId) + L".lrc";
}

SongPtr MakeSongPtr() {
  return SongPtr(new Song());
}
