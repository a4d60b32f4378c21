// How much a server may send and how long a web-service exchange may take. A reply past one of
// these is broken or hostile: its request fails with a log line, instead of filling the memory or
// the disk or holding a thread. Each ceiling is many times what the site sends.
#pragma once

#include <cstdint>

namespace reply_limits {

// Web-service XML: radio types and lists, promotion pages, artists, song details and the update
// description when it comes through the request queue. The longest list is tens of kilobytes.
// Counted as the bytes come off the socket (head and chunk framing included), and again after
// inflation.
constexpr uint32_t kWebServiceBytes = 8u << 20;

// Web-API JSON: track and album details with their songs, grants, upload results; counted after
// the transfer library has decoded the body.
constexpr uint32_t kWebApiBytes = 4u << 20;

// Web-API replies that the lyric editor reads on the UI thread: the grants, the time sync and the
// upload result, a few hundred bytes each. The JSON reader compares member names without regard
// to case, character by character through the locale, so megabytes of long names cost it seconds
// (4 MiB of one 34-character name: 14 s); kept small, such a reply cannot freeze the window.
constexpr uint32_t kWebApiSmallBytes = 64u << 10;

// The head of a web-API reply (all its header lines together).
constexpr uint32_t kWebApiHeadBytes = 64u << 10;

// Files fetched by HttpDownloadFile: cover pictures and the update description.
constexpr uint32_t kDownloadFileBytes = 16u << 20;

// Files of the song buffering: lyric files, and song audio streamed to disk.
constexpr uint32_t kLyricFileBytes = 1u << 20;
constexpr uint32_t kSongFileBytes = 512u << 20;

// One whole raw-socket exchange: connect, send and every read. Well above the waits of its single
// steps (10 s to connect, up to 9 s for the first byte, 2 s between pieces), so only a server that
// trickles or never ends reaches it.
constexpr uint32_t kWebServiceMilliseconds = 30000;

// Each send and each read of a WinINet download (pictures, the update description, songs and
// lyrics) when the server says nothing: the wait Windows gives them by default.
constexpr uint32_t kDownloadWaitMilliseconds = 30000;

// The trees the readers build from a reply (see reply_shape.h). The site's replies nest four or
// five deep, and its longest lists have some thousands of values or elements. Each value or
// element costs the reader a few hundred bytes (a flat 2 MB JSON reply took 400 MB, 8 MB of empty
// XML elements 300 MB), so the counts bound the memory where the byte ceilings cannot.
constexpr int kJsonDepth = 64;
constexpr int kJsonValues = 100000;
constexpr int kXmlDepth = 64;
constexpr int kXmlElements = 100000;

}  // namespace reply_limits
