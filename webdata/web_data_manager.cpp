#include "webdata/web_data_manager.h"

#include <boost/pointer_cast.hpp>

#include "app/main_frame.h"
#include "foundation/common_helpers.h"
#include "foundation/text_convert.h"
#include "foundation/text_util.h"
#include "webdata/web_request_kind.h"
#include "webdata/web_service.h"

namespace {

WebRequestParam* MakeParam(int f0, int f1, int f2, int f3, int f4, int f5) {
  auto* param = new WebRequestParam;
  const int fields[6] = {f0, f1, f2, f3, f4, f5};
  for (int i = 0; i < 6; ++i) param->fields[i] = fields[i];
  return param;
}

std::pair<int, int> RadioSongKey(const WebRequestParam& param) {
  return {param.fields[5], param.fields[4]};
}

AlbumPromotionParam MakePromotionKey(int sortId, int page, int key1, int key2) {
  AlbumPromotionParam key;
  key.sort_id = sortId;
  key.page = page;
  key.key1 = static_cast<uint32_t>(key1);
  key.key2 = static_cast<uint32_t>(key2);
  return key;
}

}  // namespace

CWebDataManager::CWebDataManager()
    : m_artistEvent(CreateEventW(nullptr, FALSE, FALSE, L"ArtistEvent")) {}

CWebDataManager::~CWebDataManager() = default;

// ----- front ends -----

namespace {

template <class Map, class Key>
bool IsCached(CLock& lock, const Map& cache, const Key& key) {
  CLockGuard guard(lock);
  return cache.count(key) != 0;
}

// A hit goes to the frame's dispatch at once, on this thread; a miss to the request queue. The
// item id (and the record it may carry) travels on either way.
void AnswerOrRequest(bool cached, int kind, int itemId) {
  if (!cached) {
    CWebService::Instance()->DispatchRequest(kind, itemId, 0);
  } else if (WebRequestKind::IsWebApi(kind)) {
    CMainFrame::GetInstance()->OnApiData(kind, itemId);
  } else {
    CMainFrame::GetInstance()->OnWebServiceData(kind, itemId);
  }
}

}  // namespace

void CWebDataManager::RequestRadioTypes() {
  bool current;
  {
    CLockGuard lock(m_radioTypeLock);
    current = AreRadioTypesCurrent(m_radioTypes.types.empty(), m_radioTypes.loadTime,
                                   GetTickCount());
  }
  AnswerOrRequest(current, WebRequestKind::RadioTypes, 0);
}

void CWebDataManager::RequestAlbumPromotions(int sortId, int page, int key1, int key2) {
  auto* param = new AlbumPromotionParam(MakePromotionKey(sortId, page, key1, key2));
  AnswerOrRequest(IsCached(m_albumPromotionLock, m_albumPromotions, *param),
                  WebRequestKind::AlbumPromotions, RequestParamId(param));
}

void CWebDataManager::RequestTrackDetail(int songId) {
  AnswerOrRequest(IsCached(m_trackDetailLock, m_trackDetails, songId),
                  WebRequestKind::TrackDetail, songId);
}

void CWebDataManager::RequestAlbumDetail(int f0, int f1, int f2, int f3, int f4, int f5) {
  WebRequestParam* param = MakeParam(f0, f1, f2, f3, f4, f5);
  AnswerOrRequest(IsCached(m_albumDetailLock, m_albumDetails, param->fields[4]),
                  WebRequestKind::AlbumDetail, RequestParamId(param));
}

void CWebDataManager::RequestRadioSongs(int f0, int f1, int f2, int f3, int f4, int f5) {
  WebRequestParam* param = MakeParam(f0, f1, f2, f3, f4, f5);
  AnswerOrRequest(IsCached(m_radioSongLock, m_radioSongs, RadioSongKey(*param)),
                  WebRequestKind::RadioSongs, RequestParamId(param));
}

void CWebDataManager::RequestSongDetail(int songId) {
  AnswerOrRequest(IsCached(m_songDetailLock, m_songDetails, songId), WebRequestKind::SongDetail,
                  songId);
}

CArtist CWebDataManager::RequestArtist(int artistId) {
  {
    // Only a reply handled from now on may end the wait.
    CLockGuard lock(m_artistLock);
    m_lastArtistReply.reset();
  }
  CArtist artist;
  if (FindArtist(artistId, artist)) return artist;
  CWebService::Instance()->DispatchRequest(WebRequestKind::Artist, artistId, 0);
  // The event is shared by name and may carry a set from an earlier reply: a wake only means
  // "look again", and the wait ends early once this artist's reply has been handled.
  const DWORD start = GetTickCount();
  for (;;) {
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= kArtistWait) break;
    if (WaitForSingleObject(m_artistEvent.get(), kArtistWait - elapsed) != WAIT_OBJECT_0) break;
    if (FindArtist(artistId, artist)) return artist;
    CLockGuard lock(m_artistLock);
    if (m_lastArtistReply == artistId) break;
  }
  FindArtist(artistId, artist);
  return artist;
}

bool CWebDataManager::FindArtist(int artistId, CArtist& artist) const {
  CLockGuard lock(m_artistLock);
  auto it = m_artists.find(artistId);
  if (it == m_artists.end()) return false;
  artist = it->second;
  return true;
}

void CWebDataManager::NoteArtistReply(int artistId) {
  {
    CLockGuard lock(m_artistLock);
    m_lastArtistReply = artistId;
  }
  SetEvent(m_artistEvent.get());
}

// ----- results -----

void CWebDataManager::StoreApiResult(boost::shared_ptr<proto::base> result, int kind) {
  if (kind == WebRequestKind::TrackDetail) {
    auto detail = boost::dynamic_pointer_cast<proto::songdetail>(result);
    if (!detail || !detail->GetSong()) return;
    CLockGuard lock(m_trackDetailLock);
    m_trackDetails.insert({detail->GetSong()->GetSongId(), detail});
  } else if (kind == WebRequestKind::AlbumDetail) {
    auto detail = boost::dynamic_pointer_cast<proto::albumdetail>(result);
    if (!detail || !detail->GetAlbum()) return;
    CLockGuard lock(m_albumDetailLock);
    m_albumDetails.insert({detail->GetAlbum()->GetAlbumId(), detail});
  }
}

// ----- look-ups -----

bool CWebDataManager::AreRadioTypesCurrent(bool empty, DWORD loadTime, DWORD now) {
  return !empty && now - loadTime < kRadioTypesLifetime;
}

RadioTypeTable CWebDataManager::GetRadioTypes() const {
  CLockGuard lock(m_radioTypeLock);
  return m_radioTypes;
}

std::vector<RadioList> CWebDataManager::GetRadioLists() const {
  CLockGuard lock(m_radioTypeLock);
  return m_radioLists;
}

UpdateInfo CWebDataManager::GetUpdateInfo() const {
  CLockGuard lock(m_updateLock);
  return m_updateInfo;
}

RadioSongEntry CWebDataManager::GetRadioSongs(const WebRequestParam& param) const {
  CLockGuard lock(m_radioSongLock);
  auto it = m_radioSongs.find(RadioSongKey(param));
  return it == m_radioSongs.end() ? RadioSongEntry() : it->second;
}

std::vector<RadioList> CWebDataManager::GetAlbumPromotions(int sortId, int page, int key1,
                                                           int key2) const {
  std::vector<RadioList> lists;
  FindAlbumPromotions(sortId, page, key1, key2, lists);
  return lists;
}

bool CWebDataManager::FindAlbumPromotions(int sortId, int page, int key1, int key2,
                                          std::vector<RadioList>& lists) const {
  CLockGuard lock(m_albumPromotionLock);
  auto it = m_albumPromotions.find(MakePromotionKey(sortId, page, key1, key2));
  if (it == m_albumPromotions.end()) return false;
  lists = it->second;
  return true;
}

CSongItem CWebDataManager::GetSongDetail(int songId) const {
  CLockGuard lock(m_songDetailLock);
  auto it = m_songDetails.find(songId);
  return it == m_songDetails.end() ? CSongItem() : it->second;
}

boost::shared_ptr<proto::songdetail> CWebDataManager::GetTrackDetail(int songId,
                                                                     bool& found) const {
  CLockGuard lock(m_trackDetailLock);
  auto it = m_trackDetails.find(songId);
  if (it == m_trackDetails.end()) return nullptr;
  found = true;
  return it->second;
}

bool CWebDataManager::GetAlbumDetail(int albumId,
                                     boost::shared_ptr<proto::albumdetail>& detail) const {
  CLockGuard lock(m_albumDetailLock);
  auto it = m_albumDetails.find(albumId);
  if (it == m_albumDetails.end()) return false;
  detail = it->second;
  return true;
}

// ----- helpers that the program does not call -----

std::string CWebDataManager::UrlEncode(const std::string& text) {
  return ::UrlEncode(text);
}

bool CWebDataManager::FindPromotedAlbum(int listId, RadioList& found) const {
  CLockGuard lock(m_albumPromotionLock);
  for (const auto& page : m_albumPromotions) {
    for (const RadioList& list : page.second) {
      if (list.type_id == 2 && list.list_id == listId) {
        found = list;
        return true;
      }
    }
  }
  return false;
}

void CWebDataManager::StoreRadioSongs(const std::vector<CSongItem>& songs) {
  std::map<std::pair<int, int>, RadioSongEntry> lists;
  const DWORD now = GetTickCount();
  for (const CSongItem& song : songs) {
    RadioSongEntry& entry = lists[{song.type_id, song.list_id}];
    entry.loadTime = now;
    entry.songs.push_back(song);
  }
  CLockGuard lock(m_radioSongLock);
  for (auto& list : lists) m_radioSongs.insert(std::move(list));
}

int CWebDataManager::HexDigitValue(char c) {
  return c < 'A' ? c - 48 : c - 55;
}

char CWebDataManager::HexDigit(int value) {
  return em_utility::hex_digit(static_cast<unsigned>(value));
}

CString CWebDataManager::AnsiToWide(const char* text) {
  return em_utility::detail::to_wide(CP_THREAD_ACP, text, text ? static_cast<int>(strlen(text)) : 0);
}
