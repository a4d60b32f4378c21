// CSongItem: one song of a radio list or of a song-detail reply of the web service.
#pragma once

#include <cstdint>

#include "winlayer/cstring.h"

struct CSongItem {
  // Back to the values of a new record.
  void Reset() { *this = CSongItem(); }

  int extra_number1 = -1;
  int type_id = 0;
  int list_id = 0;
  int song_id = 0;  // the song list's key; a song without one (0) is not listed
  int resource_id = 0;
  int artist_id = 0;
  int album_id = 0;
  short extra_number2 = 0;
  CString artist_name;
  CString album_name;
  CString real_artists;
  short extra_number3 = 0;
  short disc_serial = 0;
  short song_count = 0;
  short track = 0;
  CString extra_text1;
  CString extra_text2;
  CString cover_url;
  CString extra_text3;
  CString lyric_url;
  int extra_number4 = 0;
  int extra_number5 = 0;
  short extra_number6 = 0;
  int extra_number7 = 0;
  int file_size = 0;
  int extra_number8 = 0;
  int extra_number9 = 0;
  short position = 0;  // 1-based place in its reply
  CString whole_hash;
  CString content_hash;
  int content_size = 0;
  int release_time = 0;
  CString local_lyric_path;
  CString cover_cache_name;
  CString local_audio_path;
  CString song_name;
  CString song_location;
  int lyric_locked = 0;
  float extra_real = 0;
  int extra_number10 = 0;
  CString extra_text4;
  uint8_t extra_flag = 0;
};
