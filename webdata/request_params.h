// Parameter records that travel on the heap with a request, from the front end that queues it to
// the result handler, which frees them.
#pragma once

#include <cstdint>

// Six numbers whose roles depend on the request kind:
//   0: the result handler acts on the reply only when it is 0
//   1: not read
//   2: the type a radio-songs request sends
//   3: the list id a radio-songs request sends; the album id an album-detail request sends
//   4: the album id an album detail is cached under; the list id of the radio-song cache key
//   5: the type id of the radio-song cache key
struct WebRequestParam {
  int32_t fields[6] = {0, 0, 0, 0, 0, 0};
};

// One page of album promotions; the cache keeps a copy as its key.
struct AlbumPromotionParam {
  int32_t sort_id = 0;
  int32_t page = 0;  // counted from 0; the request sends page + 1
  uint32_t key1 = 0;
  uint32_t key2 = 0;
};
