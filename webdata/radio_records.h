// The music station's radio tree and lists, as the web service's XML replies give them: plain
// records copied by value into the web-data manager's caches and out again for display.
#pragma once

#include <vector>

#include "winlayer/cstring.h"

// One sort: the second level of the radio tree.
struct RadioSort {
  int type_id = -1;
  int sort_id = 0;
  CString type_name;
  CString sort_name;
};

// One category of the radio tree.
struct RadioType {
  int type_id = 0;
  CString type_name;
  std::vector<RadioSort> sorts;
};

// One radio list or promoted album: an entry of the radio library list.
struct RadioList {
  static constexpr int kBaseDate = 19870901;
  // Set in flags for the lists of type 2.
  static constexpr unsigned kFlagTypeTwo = 0x10;

  // Back to the values of a new record.
  void Reset() { *this = RadioList(); }
  // The same list: equal type and list ids.
  bool IsSameList(const RadioList& other) const {
    return type_id == other.type_id && list_id == other.list_id;
  }
  // The display order, newest first: a before b when a was created later. Lists of the same date
  // keep no particular order.
  static bool IsNewerThan(const RadioList& a, const RadioList& b) {
    return a.create_time > b.create_time;
  }

  int type_id = 0;
  CString type_name;
  int list_id = 0;
  CString list_name;
  short sort_id = 0;
  CString sort_name;
  int creator_id = 0;
  CString extra_text1;
  int create_time = 0;  // a date written yyyymmdd
  int base_date = kBaseDate;
  short all_songs = 0;
  CString desc_text;
  short extra_number = 0;
  CString extra_text2;
  CString cover_url;
  CString local_cover_path;
  CString extra_text3;
  CString small_cover_url;
  unsigned flags = 0;
};
