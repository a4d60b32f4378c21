#include "winlayer/window_map.h"

#include <unordered_map>

namespace window_map {
namespace {

struct Slot {
  CWindowImplCore* object;
  WNDPROC orphanSuper;
};

// Readers (every message) share the lock; binding and unbinding take it exclusively.
class Table {
 public:
  bool Find(HWND hWnd, Slot* slot) {
    AcquireSRWLockShared(&m_lock);
    auto it = m_slots.find(hWnd);
    bool found = it != m_slots.end();
    if (found) *slot = it->second;
    ReleaseSRWLockShared(&m_lock);
    return found;
  }
  // An orphan entry of an earlier window with the same handle value gives way to an object.
  bool Insert(HWND hWnd, CWindowImplCore* object) {
    AcquireSRWLockExclusive(&m_lock);
    Slot& slot = m_slots[hWnd];
    bool inserted = slot.object == nullptr;
    if (inserted) slot = Slot{object, nullptr};
    ReleaseSRWLockExclusive(&m_lock);
    return inserted;
  }
  bool Erase(HWND hWnd, CWindowImplCore* object) {
    AcquireSRWLockExclusive(&m_lock);
    auto it = m_slots.find(hWnd);
    bool erased = it != m_slots.end() && it->second.object == object;
    if (erased) m_slots.erase(it);
    ReleaseSRWLockExclusive(&m_lock);
    return erased;
  }
  void SetOrphan(HWND hWnd, WNDPROC orphanSuper) {
    AcquireSRWLockExclusive(&m_lock);
    m_slots[hWnd] = Slot{nullptr, orphanSuper};
    ReleaseSRWLockExclusive(&m_lock);
  }

 private:
  SRWLOCK m_lock = SRWLOCK_INIT;
  std::unordered_map<HWND, Slot> m_slots;
};

Table& TheTable() {
  static Table table;
  return table;
}

thread_local CWindowImplCore* t_pending = nullptr;

}  // namespace

Entry Lookup(HWND hWnd) {
  Entry entry;
  Slot slot;
  if (TheTable().Find(hWnd, &slot)) {
    entry.object = slot.object;
    entry.orphanSuper = slot.orphanSuper;
    if (entry.object) return entry;
  }
  if (t_pending && TheTable().Insert(hWnd, t_pending)) {
    entry.object = t_pending;
    entry.orphanSuper = nullptr;
    entry.newlyBound = true;
    t_pending = nullptr;  // one creation, one window
  }
  return entry;
}

bool Bind(HWND hWnd, CWindowImplCore* object) {
  return TheTable().Insert(hWnd, object);
}

bool Unbind(HWND hWnd, CWindowImplCore* object) {
  return TheTable().Erase(hWnd, object);
}

void Orphan(HWND hWnd, WNDPROC superProc) {
  TheTable().SetOrphan(hWnd, superProc);
}

void ForgetOrphan(HWND hWnd) {
  TheTable().Erase(hWnd, nullptr);
}

PendingCreation::PendingCreation(CWindowImplCore* object) : m_previous(t_pending) {
  t_pending = object;
}

PendingCreation::~PendingCreation() {
  t_pending = m_previous;
}

void ForgetPending(CWindowImplCore* object) {
  if (t_pending == object) t_pending = nullptr;
}

}  // namespace window_map
