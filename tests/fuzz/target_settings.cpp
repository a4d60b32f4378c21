// The settings file: CConfig::Load reading "RevIverod.cfg" in the program folder, as every
// start does. One settings object reloads each input; nothing is saved.
#include "fuzz/fuzz_harness.h"

#include <memory>

#include "foundation/config.h"
#include "support/temp_dir.h"

namespace fuzz {

namespace {

CConfig& Config() {
  // Made once: its constructor writes the defaults into the folder, which each input replaces.
  static CConfig* const config = new CConfig;
  return *config;
}

void SetUp(std::vector<Bytes>&) {
  Config();
}

void Run(const uint8_t* data, size_t size) {
  CConfig& config = Config();
  testsupport::WriteFileBytes(std::wstring(config.GetConfigPath()),
                              std::string(reinterpret_cast<const char*>(data), size));
  config.Load();
  (void)config.ApiURL.GetLength();
  (void)IsManualProxyType(config.proxy_type);
}

}  // namespace

extern const Target kSettingsTarget = {"settings", "settings", 8 << 10, false,
                                       &SetUp,     &Run,       nullptr};

}  // namespace fuzz
