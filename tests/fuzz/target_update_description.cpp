// The update description: the downloaded file read back by ReadUpdateFile and parsed as a reply
// of kind 4, as the update check does, into a fresh manager each time.
#include "fuzz/fuzz_harness.h"

#include "app/main_frame.h"
#include "support/temp_dir.h"
#include "webdata/web_data_manager.h"
#include "webdata/web_request_kind.h"

namespace fuzz {

namespace {

void Run(const uint8_t* data, size_t size) {
  static const std::wstring path = WorkFolder() + L"update.xml";
  testsupport::WriteFileBytes(path, std::string(reinterpret_cast<const char*>(data), size));
  CWebDataManager manager;
  manager.ParseWebServiceXml(ReadUpdateFile(path.c_str()), WebRequestKind::UpdateFile, 1);
  UpdateInfo info = manager.GetUpdateInfo();
  (void)info.tip.GetLength();
}

}  // namespace

// Lines are read 1023 bytes at a time, so a few of them reach every cut.
extern const Target kUpdateDescriptionTarget = {
    "update_description", "update_description", 8 << 10, false, nullptr, &Run, nullptr};

}  // namespace fuzz
