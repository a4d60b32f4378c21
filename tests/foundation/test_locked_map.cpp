#include <gtest/gtest.h>

#include <boost/make_shared.hpp>
#include <boost/weak_ptr.hpp>

#include <thread>
#include <vector>

#include <windows.h>

#include "foundation/locked_map.h"
#include "support/gtest_cstring.h"

namespace {

// Stands in for the catalogue's song record: all the map needs is the id.
struct StubSong {
  StubSong(int id, const wchar_t* name) : nId(id), strName(name) {}
  int GetSongId() const { return nId; }
  int nId;
  CString strName;
};
using SongPtr = boost::shared_ptr<StubSong>;
using SongMap = CLockedMap<StubSong>;

SongPtr MakeSong(int id, const wchar_t* name) {
  return boost::make_shared<StubSong>(id, name);
}

// A record kept by value and keyed by one of its fields.
struct StubAlbum {
  int nAlbumId;
  CString strTitle;
};
using AlbumMap = CLockedMap<StubAlbum, FieldKey<&StubAlbum::nAlbumId>>;

}  // namespace

TEST(LockedMap, InsertKeepsTheFirstAndUpdateReplacesIt) {
  SongMap map;
  map.Insert(MakeSong(7, L"first"));
  map.Insert(MakeSong(7, L"second"));
  bool found = false;
  SongPtr song = map.Find(7, &found);
  ASSERT_TRUE(found);
  EXPECT_EQ(L"first", song->strName);

  EXPECT_TRUE(map.Update(MakeSong(7, L"third")));
  EXPECT_EQ(L"third", map.Find(7, &found)->strName);
}

TEST(LockedMap, UnknownOrEmptyValuesStoreNothing) {
  SongMap map;
  EXPECT_FALSE(map.Update(MakeSong(3, L"x")));
  EXPECT_FALSE(map.Update(SongPtr()));
  map.Insert(SongPtr());

  bool found = true;
  EXPECT_FALSE(map.Find(3, &found));
  EXPECT_FALSE(found);
  EXPECT_FALSE(map.Find(0, nullptr));
  EXPECT_TRUE(map.GetLock()->empty());
}

TEST(LockedMap, FoundSongOutlivesItsReplacement) {
  SongMap map;
  map.Insert(MakeSong(1, L"old"));
  SongPtr held = map.Find(1, nullptr);
  boost::weak_ptr<StubSong> watch = held;
  map.Update(MakeSong(1, L"new"));
  EXPECT_EQ(L"old", held->strName);
  held.reset();
  EXPECT_TRUE(watch.expired());
}

TEST(LockedMap, GetLockHoldsOffOtherThreadsUntilReleased) {
  SongMap map;
  map.Insert(MakeSong(1, L"a"));
  HANDLE inserted = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread writer;
  {
    auto songs = map.GetLock();
    writer = std::thread([&] {
      map.Insert(MakeSong(2, L"b"));
      SetEvent(inserted);
    });
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(inserted, 100));
    EXPECT_EQ(1u, songs->size());
    // The owner itself may still use the map's operations (the lock is recursive).
    EXPECT_TRUE(map.Find(1, nullptr));
  }
  EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(inserted, 5000));
  writer.join();
  CloseHandle(inserted);
  EXPECT_EQ(2u, map.GetLock()->size());
}

TEST(LockedMap, ConcurrentUseKeepsEveryEntry) {
  SongMap map;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&map, t] {
      for (int i = 0; i < 500; ++i) {
        int id = t * 1000 + i;
        map.Insert(MakeSong(id, L"x"));
        map.Update(MakeSong(id, L"y"));
        map.Insert(MakeSong(i, L"shared"));  // the same ids from every thread
        map.Find(i, nullptr);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  auto songs = map.GetLock();
  EXPECT_EQ(2000u, songs->size());  // thread 0's own ids are the shared ones
  for (auto& entry : *songs) EXPECT_EQ(entry.first, entry.second->GetSongId());
}

TEST(LockedMap, RecordsKeyedByAFieldAreCopiedInAndOut) {
  AlbumMap map;
  map.Insert(StubAlbum{5, L"one"});
  map.Insert(StubAlbum{5, L"two"});
  bool found = false;
  StubAlbum copy = map.Find(5, &found);
  ASSERT_TRUE(found);
  EXPECT_EQ(L"one", copy.strTitle);

  copy.strTitle = L"changed";  // a copy: the stored record stays as it was
  EXPECT_EQ(L"one", map.Find(5, nullptr).strTitle);

  EXPECT_TRUE(map.Update(copy));
  EXPECT_EQ(L"changed", map.Find(5, nullptr).strTitle);
  EXPECT_FALSE(map.Update(StubAlbum{6, L"none"}));
  StubAlbum absent = map.Find(6, &found);
  EXPECT_FALSE(found);
  EXPECT_EQ(0, absent.nAlbumId);
}
