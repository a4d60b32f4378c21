// The kinds of data request the program makes of the site. The same numbers name a request in
// the queue, the reply the parser reads and the result the main frame dispatches.
//
// A request's item id is an int: an id for most kinds, the address of a heap parameter record
// for kinds 1, 3 and 7 (the program is 32-bit, so an address fits). The record travels with the
// request to the result handler, which frees it with DeleteRequestParam.
#pragma once

#include <cstdint>

#include "webdata/request_params.h"

struct WebRequestKind {
  enum : int {
    RadioTypes = 0,       // web service, no item id
    RadioSongs = 1,       // web service, WebRequestParam
    Artist = 2,           // web service, artist id
    AlbumPromotions = 3,  // web service, AlbumPromotionParam
    UpdateFile = 4,       // web service (static files); no item id through the queue
    SongDetail = 5,       // web service, song id
    TrackDetail = 6,      // web API, song id
    AlbumDetail = 7,      // web API, WebRequestParam
  };
  static bool IsValid(int kind) { return kind >= RadioTypes && kind <= AlbumDetail; }
  static bool IsWebApi(int kind) { return kind == TrackDetail || kind == AlbumDetail; }
  static bool CarriesRecord(int kind) {
    return kind == RadioSongs || kind == AlbumPromotions || kind == AlbumDetail;
  }
};

static_assert(sizeof(void*) == sizeof(int), "item ids carry record addresses");

// An item id of -1 marks a result that only fills the caches; it carries no record.
constexpr int kNoDispatch = -1;

// The parameter record an item id carries; null for 0 and kNoDispatch.
template <class Record>
Record* RequestParamRecord(int itemId) {
  if (itemId == kNoDispatch) return nullptr;
  return reinterpret_cast<Record*>(static_cast<intptr_t>(itemId));
}

template <class Record>
int RequestParamId(Record* record) {
  return static_cast<int>(reinterpret_cast<intptr_t>(record));
}

// Frees the parameter record of a result of kind 1, 3 or 7; other kinds carry none.
inline void DeleteRequestParam(int kind, int itemId) {
  if (kind == WebRequestKind::AlbumPromotions) {
    delete RequestParamRecord<AlbumPromotionParam>(itemId);
  } else if (kind == WebRequestKind::RadioSongs || kind == WebRequestKind::AlbumDetail) {
    delete RequestParamRecord<WebRequestParam>(itemId);
  }
}

// Holds the parameter record of a result while it is handled: frees it when the holder goes,
// also when the handling throws, unless Release has handed the item id on to the next owner.
class ScopedRequestParam {
 public:
  ScopedRequestParam(int kind, int itemId) : m_kind(kind), m_itemId(itemId) {}
  ~ScopedRequestParam() { DeleteRequestParam(m_kind, m_itemId); }
  ScopedRequestParam(const ScopedRequestParam&) = delete;
  ScopedRequestParam& operator=(const ScopedRequestParam&) = delete;

  int Release() {
    int itemId = m_itemId;
    m_itemId = 0;
    return itemId;
  }

 private:
  int m_kind;
  int m_itemId;
};
