// Moving a list of songs to or from one child of a reply tree.
#pragma once

#include <vector>

#include <boost/property_tree/ptree.hpp>

#include "webdata/song.h"

// Load: the list is cleared and filled from the child key, in document order. An element of a
// JSON array loads as a song; a member of a JSON object loads from a tree holding only that
// member. Songs whose load fails are dropped; a missing key leaves the list empty. True.
// Save: with wrap, the songs become the elements of an array under key; without, each song is
// saved straight into the one object under key, over the previous ones. False when a song fails.
bool SerializeSongList(std::vector<SongPtr>& songs, boost::property_tree::wiptree& tree, bool load,
                       const wchar_t* key, int option, bool wrap);
