// CArtist: an artist as the web service describes it, with the local copies of its pictures.
#pragma once

#include "winlayer/cstring.h"

struct CArtist {
  static constexpr int kPictures = 5;

  CArtist() = default;
  CArtist(const CArtist&) = default;  // the artist cache copies artists in and out
  CArtist& operator=(const CArtist&) = default;
  virtual ~CArtist() = default;

  int artist_id = 0;
  CString artist_name;
  CString artist_desc;
  CString location;
  int album_count = 0;
  CString local_pic_path[kPictures];  // made from pic_url; empty when that is empty
  CString pic_url[kPictures];         // "pic_url1" to "pic_url5"
};
