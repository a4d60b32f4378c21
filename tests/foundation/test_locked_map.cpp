#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <thread>

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

SongPtr MakeSong(int id, const wchar_t* name) {
  return boost::make_shared<StubSong>(id, name);
}

}  // namespace

TEST(LockedMap, InsertKeepsTheFirstAndOnlyUpdateReplaces) {
  CLockedMap<StubSong> map;
  map.Insert(MakeSong(7, L"first"));
  map.Insert(MakeSong(7, L"second"));
  bool found = false;
  EXPECT_EQ(L"first", map.Find(7, &found)->strName);
  EXPECT_TRUE(found);
  EXPECT_TRUE(map.Update(MakeSong(7, L"third")));
  EXPECT_EQ(L"third", map.Find(7, nullptr)->strName);

  EXPECT_FALSE(map.Update(MakeSong(3, L"x")));
  EXPECT_FALSE(map.Update(SongPtr()));
  map.Insert(SongPtr());
  EXPECT_FALSE(map.Find(3, &found));
  EXPECT_FALSE(found);
  EXPECT_EQ(1u, map.GetLock()->size());
}

TEST(LockedMap, GetLockHoldsOffOtherThreadsUntilReleased) {
  CLockedMap<StubSong> map;
  HANDLE inserted = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread writer;
  {
    auto songs = map.GetLock();
    writer = std::thread([&] {
      map.Insert(MakeSong(2, L"b"));
      SetEvent(inserted);
    });
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(inserted, 100));
    EXPECT_TRUE(songs->empty());
    EXPECT_FALSE(map.Find(2, nullptr));  // the holder itself may still use the map
  }
  EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(inserted, 5000));
  writer.join();
  CloseHandle(inserted);
  EXPECT_TRUE(map.Find(2, nullptr));
}
