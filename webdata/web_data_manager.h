// CWebDataManager: the main frame's store of everything fetched from the site's web service and
// web API, and the front end through which the windows ask for it.
//
// A front end looks in the cache of its kind: on a hit it calls the main frame's result handler
// at once, on the caller's thread; on a miss it queues a request (CWebService), whose answer
// comes back on the queue's worker through the main frame into ParseWebServiceXml or
// StoreApiResult, after which the frame's handler runs for the same kind and reads the data back
// with the look-ups.
//
// Every cache has its own lock, held for one map operation only and never together with another.
// Cache entries are never replaced or removed: the first reply stored for a key stays. Only the
// radio types with their lists and the update description are replaced by newer replies; they
// are replaced whole under their lock, and read as copies, so no reader sees them half-written.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "foundation/lock.h"
#include "foundation/scoped_handle.h"
#include "webdata/artist.h"
#include "webdata/proto_replies.h"
#include "webdata/radio_records.h"
#include "webdata/request_params.h"
#include "webdata/song_item.h"
#include "webdata/update_info.h"

namespace em_utility {
class TiXmlElement;
}

// The radio category tree with the tick count (GetTickCount) of the reply it came from.
struct RadioTypeTable {
  std::vector<RadioType> types;
  DWORD loadTime = 0;
};

// The songs of one radio list with the tick count of their parse.
struct RadioSongEntry {
  std::vector<CSongItem> songs;
  DWORD loadTime = 0;
};

// Album-promotion pages are told apart by their two key words alone, as one unsigned 64-bit
// number with key 2 high: the sort id and page of the record play no part.
struct AlbumPromotionKeyLess {
  static uint64_t Key(const AlbumPromotionParam& p) {
    return (static_cast<uint64_t>(p.key2) << 32) | p.key1;
  }
  bool operator()(const AlbumPromotionParam& a, const AlbumPromotionParam& b) const {
    return Key(a) < Key(b);
  }
};
using AlbumPromotionCache =
    std::map<AlbumPromotionParam, std::vector<RadioList>, AlbumPromotionKeyLess>;

class CWebDataManager {
 public:
  // How long the radio types count as current (12 hours and 1 ms, exclusive).
  static constexpr DWORD kRadioTypesLifetime = 43200001;
  // How long RequestArtist waits for the reply.
  static constexpr DWORD kArtistWait = 30000;

  CWebDataManager();
  virtual ~CWebDataManager();
  CWebDataManager(const CWebDataManager&) = delete;
  CWebDataManager& operator=(const CWebDataManager&) = delete;

  // ----- front ends (UI thread) -----
  void RequestRadioTypes();
  void RequestAlbumPromotions(int sortId, int page, int key1, int key2);
  void RequestTrackDetail(int songId);
  // Looked up by field 4; the request sends field 3 (see WebRequestParam).
  void RequestAlbumDetail(int f0, int f1, int f2, int f3, int f4, int f5);
  // Looked up by (type id, list id) = (field 5, field 4); the request sends fields 3 and 2.
  void RequestRadioSongs(int f0, int f1, int f2, int f3, int f4, int f5);
  void RequestSongDetail(int songId);
  // Blocks the caller until the artist is known: the cached one, the one a reply brings within
  // kArtistWait, or a default CArtist when the reply fails or does not come in time.
  CArtist RequestArtist(int artistId);

  // ----- results (the queue's worker, through the main frame) -----
  // One web-service reply (UTF-8 XML) of a kind into its cache; see web_service_xml.cpp. The
  // count of records it read: 0 also for a reply that is not XML.
  int ParseWebServiceXml(const std::string& reply, int kind, int id);
  // A web-API result of kind 6 or 7 into its cache, keyed by the id the reply carries. A record
  // whose call failed holds no song or album and is not stored.
  void StoreApiResult(boost::shared_ptr<proto::base> result, int kind);

  // ----- look-ups -----
  RadioTypeTable GetRadioTypes() const;
  std::vector<RadioList> GetRadioLists() const;
  UpdateInfo GetUpdateInfo() const;
  // The cache itself: read it only while holding GetAlbumPromotionLock().
  const AlbumPromotionCache& GetAlbumPromotionCache() const { return m_albumPromotions; }
  CLock& GetAlbumPromotionLock() const { return m_albumPromotionLock; }
  // By (field 5, field 4); an empty entry when absent.
  RadioSongEntry GetRadioSongs(const WebRequestParam& param) const;
  std::vector<RadioList> GetAlbumPromotions(int sortId, int page, int key1, int key2) const;
  // The same page into lists; false (lists untouched) when no reply has brought it.
  bool FindAlbumPromotions(int sortId, int page, int key1, int key2,
                           std::vector<RadioList>& lists) const;
  // A default CSongItem when absent.
  CSongItem GetSongDetail(int songId) const;
  // Sets found only when the song is cached.
  boost::shared_ptr<proto::songdetail> GetTrackDetail(int songId, bool& found) const;
  bool GetAlbumDetail(int albumId, boost::shared_ptr<proto::albumdetail>& detail) const;

  // True while the radio types are not empty and younger than kRadioTypesLifetime at now, in
  // tick arithmetic that survives the counter's wrap-around.
  static bool AreRadioTypesCurrent(bool empty, DWORD loadTime, DWORD now);

  // ----- helpers that the program does not call -----
  // Form encoding: letters and digits kept, white space as "+", other bytes "%XX".
  static std::string UrlEncode(const std::string& text);
  // The promoted album of type 2 with this list id, searched in every cached page.
  bool FindPromotedAlbum(int listId, RadioList& found) const;
  // Files songs of mixed lists under their own (type id, list id) in the radio-song cache.
  void StoreRadioSongs(const std::vector<CSongItem>& songs);
  // The value of a digit by the reply decoder's rule: below 'A' c - 48, else c - 55.
  static int HexDigitValue(char c);
  static char HexDigit(int value);
  // Text in the calling thread's ANSI code page to wide text.
  static CString AnsiToWide(const char* text);

 private:
  bool FindArtist(int artistId, CArtist& artist) const;
  // Records that a reply for this artist has been handled, stored or not, and wakes the waiter.
  void NoteArtistReply(int artistId);

  // One parse per kind; each returns the count of records it read.
  int ParseRadioTypes(const em_utility::TiXmlElement* types);
  int ParseRadioSongs(const em_utility::TiXmlElement* songs);
  int ParseArtist(const em_utility::TiXmlElement* artist);
  int ParseAlbumPromotions(const em_utility::TiXmlElement* type, int id);
  int ParseUpdate(const em_utility::TiXmlElement* update);
  int ParseSongDetail(const em_utility::TiXmlElement* song);

  // The radio types, their time and the radio lists: replaced together by each kind-0 reply.
  mutable CLock m_radioTypeLock;
  RadioTypeTable m_radioTypes;
  std::vector<RadioList> m_radioLists;

  mutable CLock m_radioSongLock;
  std::map<std::pair<int, int>, RadioSongEntry> m_radioSongs;  // (type id, list id)

  mutable CLock m_artistLock;
  std::map<int, CArtist> m_artists;
  std::optional<int> m_lastArtistReply;  // the artist id of the last reply handled
  ScopedHandle<CloseHandle> m_artistEvent;

  mutable CLock m_updateLock;
  UpdateInfo m_updateInfo;

  mutable CLock m_songDetailLock;
  std::map<int, CSongItem> m_songDetails;

  mutable CLock m_trackDetailLock;
  std::map<int, boost::shared_ptr<proto::songdetail>> m_trackDetails;

  mutable CLock m_albumPromotionLock;
  AlbumPromotionCache m_albumPromotions;

  mutable CLock m_albumDetailLock;
  std::map<int, boost::shared_ptr<proto::albumdetail>> m_albumDetails;
};

// The reply decoder of song locations: "+" is a space, "%" and two characters one byte (each
// character valued by CWebDataManager::HexDigitValue, so upper-case hex digits), every other
// byte as it is. A "%" with fewer than two characters after it ends the text there.
std::string UrlDecode(const std::string& text);
