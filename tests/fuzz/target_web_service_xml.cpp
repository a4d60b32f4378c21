// The web-service XML parser: CWebDataManager::ParseWebServiceXml with every kind of reply the
// request queue delivers (0-5), each into a fresh manager so that no input depends on another.
#include "fuzz/fuzz_harness.h"

#include "webdata/web_data_manager.h"
#include "webdata/web_request_kind.h"

namespace fuzz {

namespace {

void Run(const uint8_t* data, size_t size) {
  const std::string reply = GuardedText(data, size);
  CWebDataManager manager;
  // Kinds 1 and 3 carry their request's record in the item id, as the queue hands them over.
  WebRequestParam songs;
  songs.fields[4] = 900;
  songs.fields[5] = 1;
  AlbumPromotionParam promotions;
  promotions.sort_id = 10;
  promotions.key1 = 10;
  const int ids[] = {0, RequestParamId(&songs), 7, RequestParamId(&promotions), 0, 123};
  for (int kind = WebRequestKind::RadioTypes; kind <= WebRequestKind::SongDetail; ++kind) {
    manager.ParseWebServiceXml(reply, kind, ids[kind]);
  }
  // What the frame's handlers read back.
  (void)manager.GetRadioTypes().types.size();
  (void)manager.GetRadioLists().size();
  (void)manager.GetUpdateInfo().url.GetLength();
}

}  // namespace

extern const Target kWebServiceXmlTarget = {
    "web_service_xml", "web_service_xml", 64 << 10, false, nullptr, &Run, nullptr};

}  // namespace fuzz
