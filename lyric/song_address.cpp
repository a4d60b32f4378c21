#include "lyric/song_address.h"

#include "lyric/lrc_tag_number.h"

namespace {

// The id after word and one separating character ("song/123?x" gives 123).
int IdAfter(const CString& text, const wchar_t* word, int wordLength) {
  int start = text.Find(word) + wordLength + 1;
  if (start >= text.GetLength()) return 0;
  const wchar_t* chars = text.GetString();
  return ReadTagInt(chars + start, chars + text.GetLength());
}

}  // namespace

SongAddress ParseSongAddress(const CString& text, const CString& label) {
  SongAddress address;
  bool onSite = text.Find(L"www.") >= 0 && !label.IsEmpty() && text.Find(label + L".") >= 0;
  if (!onSite) return address;
  if (text.Find(L"song") >= 0) {
    address.isSong = true;
    address.songId = IdAfter(text, L"song", 4);
  }
  if (text.Find(L"album") >= 0) {
    address.isAlbum = true;
    address.albumId = IdAfter(text, L"album", 5);
  }
  return address;
}
