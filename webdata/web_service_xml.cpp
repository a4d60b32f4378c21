// The web service's XML replies read into the web-data manager's records and caches.
//
// Every value is the text of a named child element; elements are found by name, the first one
// and then its siblings of the same name; attributes are never read. Numbers that the records
// keep in 16 bits are cut to their low 16 bits. Nothing a reply says is used as an index or a
// size: numbers only become field values and map keys.
#include <cstdio>

#include "em_tinyxml.h"
#include "foundation/cache_names.h"
#include "foundation/config.h"
#include "foundation/logger.h"
#include "foundation/text_convert.h"
#include "foundation/xml_reader.h"
#include "webdata/reply_shape.h"
#include "webdata/web_data_manager.h"
#include "webdata/web_request_kind.h"

using em_utility::TiXmlDocument;
using em_utility::TiXmlElement;

namespace {

namespace log_level = em_utility::log_level;

// Calls visit for the first child element called name and each of its same-named siblings.
template <class Visit>
void ForEachElement(const TiXmlElement* parent, const char* name, Visit visit) {
  if (!parent) return;
  for (const TiXmlElement* e = parent->FirstChildElement(name); e;
       e = e->NextSiblingElement(name)) {
    visit(e);
  }
}

int Number(const TiXmlElement* e, const char* name) {
  return GetChildInt(e, name, 0);
}

short Short(const TiXmlElement* e, const char* name) {
  return static_cast<short>(GetChildInt(e, name, 0));
}

CString Text(const TiXmlElement* e, const char* name) {
  return em_utility::utf8_to_wide(GetChildString(e, name, ""));
}

// A create time of -1 is none; a bare year is the first of January of that year (yyyymmdd).
int CreateTime(int value) {
  if (value == -1) return 0;
  // In unsigned arithmetic: a very negative value wraps instead of overflowing.
  if (value < 10000) return static_cast<int>(static_cast<uint32_t>(value) * 10000u + 101u);
  return value;
}

template <class T>
T NoneIfMinusOne(T value) {
  return value == -1 ? 0 : value;
}

const CString& AlbumCoverFolder() {
  static const CString folder = Sha1Name(L"album_cover");
  return folder;
}

// The type and sort that the lists of a sort element belong to.
struct ListOwner {
  int type_id = 0;
  CString type_name;
  short sort_id = 0;
  CString sort_name;
};

RadioList ReadList(const TiXmlElement* e, const ListOwner& owner) {
  RadioList list;
  list.type_id = owner.type_id;
  list.type_name = owner.type_name;
  list.sort_id = owner.sort_id;
  list.sort_name = owner.sort_name;
  list.list_id = Number(e, "list_id");
  list.creator_id = Number(e, "creator_id");
  list.create_time = CreateTime(Number(e, "create_time"));
  list.list_name = Text(e, "list_name");
  list.cover_url = Text(e, "cover_url");
  list.desc_text = Text(e, "desc_text");
  list.small_cover_url = Text(e, "small_cover_url");
  list.all_songs = Short(e, "all_songs");
  list.local_cover_path = AlbumCoverFolder() + L"\\" + Sha1Name(list.cover_url);
  return list;
}

ListOwner ReadTypeOwner(const TiXmlElement* type) {
  ListOwner owner;
  owner.type_id = Number(type, "type_id");
  owner.type_name = Text(type, "type_name");
  return owner;
}

// Each sort of a type element, handed to take with its owner (the type's and the sort's ids and
// names) and its lists in reply order.
template <class Take>
void ReadSorts(const TiXmlElement* type, Take take) {
  ListOwner owner = ReadTypeOwner(type);
  ForEachElement(type, "sort", [&](const TiXmlElement* sort) {
    owner.sort_id = Short(sort, "sort_id");
    owner.sort_name = Text(sort, "sort_name");
    std::vector<RadioList> lists;
    ForEachElement(sort, "list",
                   [&](const TiXmlElement* e) { lists.push_back(ReadList(e, owner)); });
    take(owner, std::move(lists));
  });
}

CSongItem ReadSong(const TiXmlElement* e, int typeId, int listId, const CString& tempPath) {
  CSongItem song;
  song.type_id = typeId;
  song.list_id = listId;
  song.song_id = Number(e, "song_id");
  song.resource_id = Number(e, "resource_id");
  song.artist_id = Number(e, "artist_id");
  song.album_id = Number(e, "album_id");
  song.track = NoneIfMinusOne(Short(e, "track"));
  song.disc_serial = NoneIfMinusOne(Short(e, "disc_serial"));
  song.artist_name = Text(e, "artist_name");
  song.album_name = Text(e, "album_name");
  song.song_name = Text(e, "song_name");
  song.real_artists = Text(e, "real_artists");
  song.cover_url = Text(e, "cover_url");
  song.lyric_url = Text(e, "lyric_url");
  song.file_size = Number(e, "file_size");
  song.content_size = Number(e, "content_size");
  song.whole_hash = Text(e, "whole_hash");
  song.content_hash = Text(e, "content_hash");
  song.song_count = Short(e, "song_count");
  song.release_time = NoneIfMinusOne(Number(e, "release_time"));
  song.lyric_locked = Number(e, "lyric_locked");
  song.song_location = em_utility::utf8_to_wide(UrlDecode(GetChildString(e, "song_location", "")));
  song.cover_cache_name = MakeKeyHash(typeId, listId) + L"\\" + Sha1Name(song.cover_url);
  song.local_audio_path.Format(L"%s%s.mp3", tempPath.GetString(),
                               Sha1Name(song.song_name).GetString());
  song.local_lyric_path.Format(L"%s%d.lrc", tempPath.GetString(), song.song_id);
  return song;
}

}  // namespace

std::string UrlDecode(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '+') {
      out += ' ';
    } else if (c == '%') {
      if (text.size() - i < 3) break;
      int value = 16 * CWebDataManager::HexDigitValue(text[i + 1]) +
                  CWebDataManager::HexDigitValue(text[i + 2]);
      out += static_cast<char>(value & 0xFF);
      i += 2;
    } else {
      out += c;
    }
  }
  return out;
}

int CWebDataManager::ParseWebServiceXml(const std::string& reply, int kind, int id) {
  em_utility::logger* logger = GetLogger();
  logger->log(log_level::normal, L"webservice:解析开始！");
  TiXmlDocument document;
  // The reader has no limits of its own: a reply too deep or too large counts as not XML.
  if (XmlShapeWithinLimits(reply)) {
    ParseXmlText(document, reply, em_utility::TIXML_ENCODING_UTF8);
  }
  if (document.Error() || !document.FirstChild()) {
    logger->log(log_level::normal, L"解析XML失败！%s", em_utility::utf8_to_wide(reply).GetString());
    // Nothing will come for a waiting artist request: let it go now, not after its time-out.
    if (kind == WebRequestKind::Artist) NoteArtistReply(id);
    return 0;
  }

  int count = 0;
  switch (kind) {
    case WebRequestKind::RadioTypes:
      count = ParseRadioTypes(document.FirstChildElement("types"));
      break;
    case WebRequestKind::RadioSongs:
      count = ParseRadioSongs(document.FirstChildElement("songs"));
      break;
    case WebRequestKind::Artist:
      count = ParseArtist(document.FirstChildElement("artist"));
      NoteArtistReply(id);
      break;
    case WebRequestKind::AlbumPromotions:
      count = ParseAlbumPromotions(document.FirstChildElement("type"), id);
      break;
    case WebRequestKind::UpdateFile:
      count = ParseUpdate(document.FirstChildElement("update"));
      break;
    case WebRequestKind::SongDetail:
      count = ParseSongDetail(document.FirstChildElement("song"));
      break;
    default:
      break;
  }
  logger->log(log_level::normal, L"webservice:解析结束！nRefItem = %d", count);
  return count;
}

int CWebDataManager::ParseRadioTypes(const TiXmlElement* root) {
  if (!root) return 0;
  RadioTypeTable table;
  table.loadTime = GetTickCount();
  std::vector<RadioList> lists;
  ForEachElement(root, "type", [&](const TiXmlElement* e) {
    RadioType type;
    type.type_id = Number(e, "type_id");
    type.type_name = Text(e, "type_name");
    ReadSorts(e, [&](const ListOwner& owner, std::vector<RadioList> sortLists) {
      RadioSort sort;
      sort.type_id = owner.type_id;
      sort.type_name = owner.type_name;
      sort.sort_id = owner.sort_id;
      sort.sort_name = owner.sort_name;
      for (RadioList& list : sortLists) {
        if (list.type_id == 2) list.flags |= RadioList::kFlagTypeTwo;
        lists.push_back(std::move(list));
      }
      type.sorts.push_back(std::move(sort));
    });
    table.types.push_back(std::move(type));
  });
  int count = static_cast<int>(lists.size());
  CLockGuard lock(m_radioTypeLock);
  m_radioTypes = std::move(table);
  m_radioLists = std::move(lists);
  return count;
}

int CWebDataManager::ParseRadioSongs(const TiXmlElement* root) {
  std::pair<int, int> key(0, 0);
  RadioSongEntry entry;
  if (root) {
    key = {Number(root, "type_id"), Number(root, "list_id")};
    entry.loadTime = GetTickCount();
    const CString tempPath = GetConfig()->GetSystemTempPath();
    ForEachElement(root, "song", [&](const TiXmlElement* e) {
      CSongItem song = ReadSong(e, key.first, key.second, tempPath);
      song.position = static_cast<short>(entry.songs.size() + 1);
      entry.songs.push_back(std::move(song));
    });
  }
  int count = static_cast<int>(entry.songs.size());
  CLockGuard lock(m_radioSongLock);
  m_radioSongs.insert({key, std::move(entry)});
  return count;
}

int CWebDataManager::ParseArtist(const TiXmlElement* root) {
  if (!root) return 0;
  CArtist artist;
  artist.artist_id = Number(root, "artist_id");
  artist.album_count = Number(root, "album_count");
  artist.artist_name = Text(root, "artist_name");
  artist.artist_desc = Text(root, "artist_desc");
  artist.artist_desc.Replace(L"\r\n\r\n", L"\r\n");
  artist.location = Text(root, "location");
  const CString pictureFolder = GetConfig()->GetArtistCoverDir();
  for (int n = 0; n < CArtist::kPictures; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "pic_url%d", n + 1);
    artist.pic_url[n] = Text(root, name);
    if (!artist.pic_url[n].IsEmpty()) {
      artist.local_pic_path[n] = pictureFolder + L"\\" + Sha1Name(artist.pic_url[n]);
    }
  }
  {
    CLockGuard lock(m_artistLock);
    m_artists.insert({artist.artist_id, artist});
  }
  GetLogger()->log(log_level::normal, L"webservice:解析艺人信息成功！ nArtistID = %d",
                   artist.artist_id);
  return 1;
}

int CWebDataManager::ParseAlbumPromotions(const TiXmlElement* root, int id) {
  std::vector<RadioList> lists;
  if (root) {
    ReadSorts(root, [&](const ListOwner&, std::vector<RadioList> sortLists) {
      for (RadioList& list : sortLists) lists.push_back(std::move(list));
    });
  }
  for (const RadioList& list : lists) {
    if (list.cover_url.Find(L".png") >= 0 || list.cover_url.Find(L".gif") >= 0) {
      OutputDebugStringW(list.list_name + L"\n");
    }
  }
  int count = static_cast<int>(lists.size());
  if (const AlbumPromotionParam* key = RequestParamRecord<AlbumPromotionParam>(id)) {
    CLockGuard lock(m_albumPromotionLock);
    m_albumPromotions.insert({*key, std::move(lists)});
  }
  return count;
}

int CWebDataManager::ParseUpdate(const TiXmlElement* root) {
  if (!root) return 0;
  UpdateInfo info;
  std::sscanf(GetChildString(root, "version", "").c_str(), "%u.%u.%u.%u", &info.major,
              &info.minor, &info.build, &info.revision);
  info.url = Text(root, "url");
  info.tip = Text(root, "tip");
  CLockGuard lock(m_updateLock);
  m_updateInfo = std::move(info);
  return 1;
}

int CWebDataManager::ParseSongDetail(const TiXmlElement* root) {
  if (!root) return 0;
  CSongItem song = ReadSong(root, 0, 0, GetConfig()->GetSystemTempPath());
  if (song.song_name.IsEmpty() || song.file_size == -1 || song.content_size == 0) return 0;
  CLockGuard lock(m_songDetailLock);
  m_songDetails.insert({song.song_id, std::move(song)});
  return 1;
}
