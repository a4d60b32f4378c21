// CLockedMap: a keyed map that several threads share, every operation under one CLock.
//
// The record type decides how a record is held and where its key comes from (the key policy):
//   - CLockedMap<Song> holds boost::shared_ptr<Song> keyed by Song::GetSongId; Find hands out a
//     copy of the pointer, so the song stays alive while the caller holds it, even when another
//     thread replaces the entry meanwhile.
//   - CLockedMap<Record, FieldKey<&Record::nId>> holds records by value keyed by one of their
//     fields; lookups copy the record out, updates and inserts copy it in.
// A search of the caller's own runs through GetLock, which holds the lock for as long as the
// returned access lives.
#pragma once

#include <map>
#include <utility>

#include <boost/shared_ptr.hpp>

#include "foundation/lock.h"

// Records shared through boost::shared_ptr and keyed by their song id. An empty pointer is no
// record.
template <class Record>
struct SharedSongKey {
  using Value = boost::shared_ptr<Record>;
  using Key = int;
  static bool IsEmpty(const Value& value) { return !value; }
  static Key KeyOf(const Value& value) { return value->GetSongId(); }
};

namespace locked_map_detail {
template <class T>
struct MemberOf;
template <class R, class F>
struct MemberOf<F R::*> {
  using Record = R;
  using Field = F;
};
}  // namespace locked_map_detail

// Records held by value and keyed by the data member Field (for example &Record::nId).
template <auto Field>
struct FieldKey {
  using Value = typename locked_map_detail::MemberOf<decltype(Field)>::Record;
  using Key = typename locked_map_detail::MemberOf<decltype(Field)>::Field;
  static bool IsEmpty(const Value&) { return false; }
  static Key KeyOf(const Value& value) { return value.*Field; }
};

template <class Record, class KeyPolicy = SharedSongKey<Record>>
class CLockedMap {
 public:
  using Key = typename KeyPolicy::Key;
  using Value = typename KeyPolicy::Value;
  using Map = std::map<Key, Value>;

  // The map itself, reachable only while this object lives, and locked all that time.
  class Access {
   public:
    explicit Access(CLockedMap& owner) : m_guard(owner.m_lock), m_map(owner.m_map) {}
    Map& operator*() const { return m_map; }
    Map* operator->() const { return &m_map; }

   private:
    CLockGuard m_guard;
    Map& m_map;
  };

  CLockedMap() = default;
  CLockedMap(const CLockedMap&) = delete;
  CLockedMap& operator=(const CLockedMap&) = delete;

  // A copy of the stored value and *found = true; an empty value and *found = false when the key
  // is absent. found may be null.
  Value Find(Key key, bool* found) {
    CLockGuard guard(m_lock);
    auto it = m_map.find(key);
    bool present = it != m_map.end();
    if (found) *found = present;
    return present ? it->second : Value();
  }

  // Replaces the entry with the value's key; false (and nothing stored) when there is none or
  // the value is empty.
  bool Update(Value value) {
    if (KeyPolicy::IsEmpty(value)) return false;
    Key key = KeyPolicy::KeyOf(value);
    CLockGuard guard(m_lock);
    auto it = m_map.find(key);
    if (it == m_map.end()) return false;
    it->second = std::move(value);
    return true;
  }

  // Adds the value under its key unless the key is present: an existing entry keeps its value.
  void Insert(Value value) {
    if (KeyPolicy::IsEmpty(value)) return;
    Key key = KeyPolicy::KeyOf(value);
    CLockGuard guard(m_lock);
    m_map.try_emplace(key, std::move(value));
  }

  // Usage: { auto songs = map.GetLock(); for (auto& entry : *songs) ... }
  Access GetLock() { return Access(*this); }

 private:
  Map m_map;
  CLock m_lock;
};
