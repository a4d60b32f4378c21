#include "webdata/song_list.h"

using boost::property_tree::wiptree;

bool SerializeSongList(std::vector<SongPtr>& songs, wiptree& tree, bool load, const wchar_t* key,
                       int option, bool wrap) {
  if (load) {
    songs.clear();
    boost::optional<wiptree&> list = tree.get_child_optional(key);
    if (!list) return true;
    for (auto& child : *list) {
      SongPtr song = MakeSongPtr();
      bool loaded;
      if (child.first.empty()) {
        loaded = song->Serialize(child.second, true, option);
      } else {
        wiptree member;
        member.push_back(child);
        loaded = song->Serialize(member, true, option);
      }
      if (loaded) songs.push_back(song);
    }
    return true;
  }

  wiptree list;
  for (const SongPtr& song : songs) {
    if (wrap) {
      wiptree element;
      if (!song->Serialize(element, false, option)) return false;
      list.push_back(std::make_pair(std::wstring(), element));
    } else if (!song->Serialize(list, false, option)) {
      return false;
    }
  }
  tree.put_child(key, list);
  return true;
}
