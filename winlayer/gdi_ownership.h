// What the wrappers of GDI objects, DCs, menus and image lists share: each comes in a managed
// form that owns its handle and frees it when it goes or when another handle is attached, and
// a handle form that only borrows one. A managed wrapper cannot be copied (both copies would
// free the one handle); a handle wrapper copies freely.
#pragma once

#include <windows.h>

#include <type_traits>

namespace winlayer_detail {

struct NonCopyable {
  NonCopyable() = default;
  NonCopyable(const NonCopyable&) = delete;
  NonCopyable& operator=(const NonCopyable&) = delete;
};
struct Copyable {};

template <bool t_bManaged>
using CopyPolicy = typename std::conditional<t_bManaged, NonCopyable, Copyable>::type;

// The handle bookkeeping. T keeps the handle in a member of the familiar name (m_hFont, m_hDC,
// m_hMenu, ...) and names it through a static Slot(T&); a static Free(handle) releases one.
template <class T, class THandle, bool t_bManaged>
class HandleWrapper : private CopyPolicy<t_bManaged> {
 public:
  operator THandle() const { return Handle(); }  // NOLINT: the Windows API takes these
  bool IsNull() const { return Handle() == nullptr; }

  // A managed wrapper frees the handle it held unless it is the same one.
  void Attach(THandle handle) {
    if (t_bManaged && Handle() && Handle() != handle) T::Free(Handle());
    Handle() = handle;
  }
  THandle Detach() {
    THandle handle = Handle();
    Handle() = nullptr;
    return handle;
  }

 protected:
  // For the most derived destructor, while the member still exists.
  void ReleaseOwned() {
    if (t_bManaged && Handle()) T::Free(Handle());
  }
  // Frees the handle whichever the form (it is how borrowed handles are freed on purpose);
  // FALSE when there was none.
  BOOL FreeHeld() {
    if (!Handle()) return FALSE;
    BOOL ok = T::Free(Handle());
    Handle() = nullptr;
    return ok;
  }
  // Holds a freshly made handle in place of the old one and returns it.
  THandle Keep(THandle handle) {
    Attach(handle);
    return handle;
  }

 private:
  THandle& Handle() { return T::Slot(static_cast<T&>(*this)); }
  THandle Handle() const { return T::Slot(const_cast<T&>(static_cast<const T&>(*this))); }
};

}  // namespace winlayer_detail
