#include "webdata/album.h"

#include "webdata/song_list.h"
#include "webdata/tree_fields.h"

using boost::property_tree::wiptree;

bool Album::Serialize(wiptree& tree, bool load, int) {
  using namespace tree_fields;
  if (tree.empty()) return false;
  if (!load) return true;
  m_nAlbumId = ReadInt(tree, L"album_id");
  m_strAlbumName = ReadText(tree, L"album_name");
  m_nArtistId = ReadInt(tree, L"artist_id");
  m_nSongCount = ReadInt(tree, L"song_count");
  m_nCdCount = ReadInt(tree, L"cd_count");
  m_nPlayCount = ReadInt(tree, L"play_count");
  m_nCollects = ReadInt(tree, L"collects");
  if (ReadInt(tree, L"is_check") == 3) m_nFlags |= kFlagCheck;
  if (ReadInt(tree, L"is_play") != 0) m_nFlags |= kFlagPlay;
  m_strLogo = ReadText(tree, L"logo");
  m_strArtistName = ReadText(tree, L"artist_name");
  m_strDescription = ReadText(tree, L"description");
  m_strLanguage = ReadText(tree, L"language");
  m_strSubTitle = ReadText(tree, L"sub_title");
  SerializeSongList(m_songs, tree, true, L"songs", 0, false);
  return true;
}
