#include "webdata/api_signing.h"

#include <cstdint>
#include <cstring>
#include <ctime>
#include <map>

#include "foundation/md5.h"
#include "foundation/str_util.h"

namespace web_api {

const char kMethodPath[] = "/sdk";
const char kApiKey[] = "7d41c0e9b3f2a65817ce04d9a8b36f2c";
const char kSharedSecret[] = "e5b80a3fd19c27466f0b8d2ec4a1957b";

namespace {

std::string Trimmed(std::string text) {
  str_trim(text);
  return text;
}

}  // namespace

std::string UrlEncode(const std::string& text, const char* alsoEscaped) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) {
    if (c >= 0x80 || c == ' ' || c == '\'' || (c != 0 && std::strchr(alsoEscaped, c))) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

int LocalSeconds() {
  return static_cast<int32_t>(static_cast<uint32_t>(std::time(nullptr)));
}

std::string CurrentCallId() {
  return std::to_string(LocalSeconds());
}

std::string BuildSignedQuery(const std::string& method, const std::vector<ApiParam>& params,
                             const std::string& callId) {
  if (method.empty()) return std::string();

  std::string query;
  // std::map orders std::string keys byte-wise; emplace keeps the first value of a name.
  std::map<std::string, std::string> signedValues;
  for (const ApiParam& param : params) {
    query += UrlEncode(Trimmed(param.name)) + "=" + UrlEncode(Trimmed(param.value)) + "&";
    signedValues.emplace(param.name, param.value);
  }
  query +=
      std::string("api_key=") + kApiKey + "&method=" + method + "&call_id=" + callId + "&api_sig=";
  signedValues.emplace("api_key", kApiKey);
  signedValues.emplace("method", method);
  signedValues.emplace("call_id", callId);

  std::string text;
  for (const auto& entry : signedValues) text += Trimmed(entry.first) + Trimmed(entry.second);
  text += kSharedSecret;
  return query + em_utility::md5_string(text.data(), static_cast<uint32_t>(text.size()));
}

}  // namespace web_api
