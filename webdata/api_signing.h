// The signed query of a web-API method call, shared by the request queue's requests and the
// lyric upload: one rule, one key, one secret.
//
// The query is the caller's parameters in their order ("name=value&", trimmed and encoded), then
// "api_key=KEY&method=METHOD&call_id=ID&api_sig=SIG". The signature is the MD5 (lower-case hex)
// of every name followed by its value, the caller's parameters plus api_key, method and call_id,
// in byte order of the names, the first value of a repeated name winning, values trimmed and not
// encoded, followed by the shared secret. The server checks it the same way.
#pragma once

#include <string>
#include <vector>

#include "webdata/api_param.h"

namespace web_api {

// Path of the method calls (and prefix of the refresh grant and the time sync).
extern const char kMethodPath[];
// Sent as api_key and client_id.
extern const char kApiKey[];
// Only ever inside the signature.
extern const char kSharedSecret[];

// Bytes of 0x80 and above become "%XX" (upper-case hex), a space "%20", an apostrophe "%27";
// every other byte is kept, "&", "=", "+", "%" and "/" included, unless it is one of
// alsoEscaped, which are escaped too.
std::string UrlEncode(const std::string& text, const char* alsoEscaped = "");

// Calendar seconds since 1970 by the local clock, the low 32 bits as a signed number.
int LocalSeconds();

// The call id of this moment: LocalSeconds (no server correction) in decimal.
std::string CurrentCallId();

// The signed query (without "?") for the given call id; empty for an empty method.
std::string BuildSignedQuery(const std::string& method, const std::vector<ApiParam>& params,
                             const std::string& callId);

}  // namespace web_api
