// The text side of the hand-written HTTP exchange of the web service: splitting its addresses,
// the request text, reading reply headers and undoing the chunked transfer coding.
#pragma once

#include <functional>
#include <string>

// "host[:port]/path" with an optional leading "http://": the host and the port (80 when none is
// given; the digits after the colon as atoi reads them). False when there is no "/" or the host
// part is 261 bytes or longer.
bool SplitHttpUrl(const std::string& url, std::string& host, unsigned short& port);

// The GET request of a web-service address in absolute form, each line ended by CR LF: the
// request line "GET http://<url> HTTP/1.1", "Host: host:port" (port always written), the fixed
// agent, accept and language lines, "Range: bytes=first-last" unless first is -1 or last is
// 0xFFFFFFFF, "Connection: keep-alive" and the empty line. False when the address does not split.
bool BuildRangeRequest(const std::string& url, std::string& text, int first, unsigned last);

// The value after the first occurrence of name (which includes its ": ") up to the next CR LF,
// spaces trimmed at both ends. Names are matched exactly, case included, as the site writes them.
bool GetHeaderValue(std::string& value, const std::string& name, const std::string& head);

// The status code of a reply's head ("HTTP/1.1 404 Not Found" gives 404); 0 when the head does
// not begin with a status line.
int GetStatusCode(const std::string& head);

// Appends the bytes that arrive next to text; the count appended, 0 or less when no more come.
using ReceiveMoreFn = std::function<int(std::string& text)>;

// The chunk size at the start of a size line (hex; an extension after the digits is ignored).
// False when the line holds no number, a negative one, or one too large to count the chunk's data
// with its CR LF.
bool ParseChunkSize(const std::string& line, long& size);

// Decodes a chunked body that begins with text, asking receiveMore whenever a size line or a
// chunk's data is incomplete, and appends the data to body. Ends at the size-0 chunk, when the
// peer sends nothing more, or at a size line that does not parse (keeping the body so far).
// The trailer is not read.
void DecodeChunkedBody(std::string& text, std::string& body, const ReceiveMoreFn& receiveMore);
