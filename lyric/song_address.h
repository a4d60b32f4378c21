// The song or album that a pasted page address of the site names.
#pragma once

#include "winlayer/cstring.h"

struct SongAddress {
  bool isSong = false;   // "www.", the domain label with its dot, and "song" all occur
  int songId = 0;        // the number after "song" and one more character, up to "?"
  bool isAlbum = false;  // the same with "album"
  int albumId = 0;       // the number after "album" and one more character
};

// Reads text as an address of the site whose domain label (second host label, without its dot)
// is label. The words may stand anywhere and in any order; an id that is not there reads 0.
SongAddress ParseSongAddress(const CString& text, const CString& label);
