// CBuffer: a growable byte ring. Network transfers write received bytes in and read them back;
// typed values stream in and out in the machine's byte order.
//
// A read that asks for more than is stored fails as a whole and sets a sticky flag: every later
// read fails too until SetReadFailed(false), so a caller can stream several values and test once.
// Storage comes from the memory pools unless the buffer was attached to the caller's bytes.
// One thread at a time.
#pragma once

#include <cstdint>
#include <type_traits>

class CBuffer {
 public:
  static constexpr uint32_t kDefaultCapacity = 8192;
  static constexpr uint8_t kFlagNotOwned = 0x2;
  static constexpr uint8_t kFlagReadFailed = 0x4;
  static constexpr uint32_t kNotFound = 0xFFFFFFFFu;

  // A zero-filled, empty ring; capacity 0 means the default.
  explicit CBuffer(uint32_t capacity = kDefaultCapacity);
  // Attaches the caller's bytes as a full ring without copying them; they are never freed here and
  // must outlive the buffer or its first growth, whichever comes first.
  CBuffer(void* data, uint32_t length);
  virtual ~CBuffer();
  CBuffer(const CBuffer&) = delete;
  CBuffer& operator=(const CBuffer&) = delete;

  // Appends length bytes, growing the ring when they do not fit. Returns length, or 0 (nothing
  // changed) for null data, zero length or when the storage cannot grow.
  uint32_t Write(const void* data, uint32_t length);
  // Takes exactly length bytes, or none: see the sticky flag above. A length of 0 succeeds only
  // when something is stored.
  uint32_t Read(void* out, uint32_t length);
  // Moves the readable bytes, unwrapped, into new storage of the given capacity (twice the old one
  // when the request is below the count, the default for 0). False when that cannot be allocated.
  bool Reserve(uint32_t capacity);
  // The characters of a zero-terminated text, without the terminator; null writes nothing.
  void WriteString(const char* text);

  // Appends the other buffer's readable bytes, leaving the other as it was. Appending a buffer to
  // itself doubles its content.
  CBuffer& operator<<(const CBuffer& other);
  // Appends this buffer's readable bytes to other, leaving this one as it was.
  CBuffer& operator>>(CBuffer& other);

  bool IsEmpty() const { return m_nCount == 0; }
  bool IsFull() const { return m_nCount == m_nCapacity; }
  uint32_t GetCount() const { return m_nCount; }
  uint32_t GetCapacity() const { return m_nCapacity; }
  uint32_t GetReadPos() const { return m_nReadPos; }
  uint32_t GetWritePos() const { return m_nWritePos; }
  bool IsAttached() const { return (m_nFlags & kFlagNotOwned) != 0; }
  bool IsReadFailed() const { return (m_nFlags & kFlagReadFailed) != 0; }
  void SetReadFailed(bool failed);
  // Forgets the content; the storage stays.
  void Clear();

  // Move a position (taken modulo the capacity) and recount. Equal positions mean an empty ring
  // for SetReadPos(pos, true) and SetWritePos(pos, false), a full one otherwise. A buffer without
  // storage (attached with length 0) has no positions: these then do nothing.
  void SetReadPos(uint32_t position, bool emptyWhenEqual);
  void SetWritePos(uint32_t position, bool fullWhenEqual);

  // Contiguous bytes readable at the read position / writable at the write position.
  uint32_t ReadableSpan() const;
  uint32_t WritableSpan() const;
  // The storage at a ring position (modulo the capacity).
  unsigned char* PosToPtr(uint32_t position) const;

  // Same readable bytes in the same order, each from its own read position.
  bool operator==(const CBuffer& other) const;
  // Ring position where the byte sequence begins among the readable bytes, or kNotFound.
  uint32_t Find(const void* bytes, uint32_t length) const;

  // Debug output on the standard output: positions, then the readable bytes as characters or hex.
  void Dump() const;
  void DumpChars() const;
  void DumpHex() const;

  // Typed streaming of plain values of 1, 2, 4 or 8 bytes (char to double, DWORD, LONG, enums),
  // copied in the machine's byte order. A template rather than fixed overloads: the Windows types
  // DWORD and LONG are neither int nor unsigned, so any fixed set leaves some call ambiguous.
  template <class T>
  static constexpr bool kStreamable = (std::is_arithmetic_v<T> || std::is_enum_v<T> ||
                                       std::is_class_v<T>)&&std::is_trivially_copyable_v<T> &&
                                      (sizeof(T) == 1 || sizeof(T) == 2 || sizeof(T) == 4 ||
                                       sizeof(T) == 8);

  template <class T, class = std::enable_if_t<kStreamable<T>>>
  CBuffer& operator<<(const T& value) {
    return Put(&value);
  }
  // From a pointer; null writes nothing.
  template <class T, class = std::enable_if_t<kStreamable<T>>>
  CBuffer& Put(const T* value) {
    if (value) Write(value, sizeof(T));
    return *this;
  }
  // The variable stays unchanged when the read fails.
  template <class T, class = std::enable_if_t<kStreamable<T>>>
  CBuffer& operator>>(T& value) {
    Get(&value);
    return *this;
  }
  template <class T, class = std::enable_if_t<kStreamable<T>>>
  uint32_t Get(T* value) {
    return Read(value, sizeof(T));
  }

 private:
  // Grows as a write of length bytes needs: to the larger of twice the count after it and twice
  // the capacity. False when the storage cannot grow (nothing changed then).
  bool MakeRoom(uint32_t length);
  void AdvanceWrite(uint32_t length);
  void Recount(bool equalMeansFull);
  template <class F>
  void ForEachReadable(F f) const;

  unsigned char* m_pData;
  uint32_t m_nCount;
  uint32_t m_nCapacity;
  uint32_t m_nReadPos;
  uint32_t m_nWritePos;
  uint8_t m_nFlags;
};
