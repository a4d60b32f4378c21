#include "foundation/buffer.h"

#include <cstdio>
#include <cstring>

#include "foundation/byte_ops.h"
#include "foundation/pool_alloc.h"

CBuffer::CBuffer(uint32_t capacity)
    : m_pData(nullptr), m_nCount(0), m_nCapacity(0), m_nReadPos(0), m_nWritePos(0), m_nFlags(0) {
  if (capacity == 0) capacity = kDefaultCapacity;
  m_pData = static_cast<unsigned char*>(Lirak::PoolAlloc(capacity));
  // Without storage the buffer starts with capacity 0 and gets storage on its first write.
  if (m_pData) {
    m_nCapacity = capacity;
    std::memset(m_pData, 0, capacity);
  }
}

CBuffer::CBuffer(void* data, uint32_t length)
    : m_pData(static_cast<unsigned char*>(data)),
      m_nCount(length),
      m_nCapacity(length),
      m_nReadPos(0),
      m_nWritePos(0),
      m_nFlags(kFlagNotOwned) {}

CBuffer::~CBuffer() {
  if (!IsAttached()) Lirak::PoolFree(m_pData);
}

uint32_t CBuffer::Write(const void* data, uint32_t length) {
  if (!data || length == 0) return 0;
  if (!MakeRoom(length)) return 0;
  RingCopyIn(data, length, m_pData, m_nWritePos, m_nCapacity);
  AdvanceWrite(length);
  return length;
}

uint32_t CBuffer::Read(void* out, uint32_t length) {
  if (IsReadFailed()) return 0;
  if (m_nCount == 0 || !out || m_nCount < length) {
    m_nFlags |= kFlagReadFailed;
    return 0;
  }
  RingCopyOut(out, length, m_pData, m_nReadPos, m_nCapacity);
  m_nReadPos = RingAdvance(m_nReadPos, length, m_nCapacity);
  m_nCount -= length;
  return length;
}

bool CBuffer::Reserve(uint32_t capacity) {
  uint32_t newCapacity = capacity;
  if (capacity < m_nCount) {
    if (m_nCapacity > UINT32_MAX / 2) return false;
    newCapacity = 2 * m_nCapacity;
  }
  if (newCapacity == 0) newCapacity = kDefaultCapacity;
  if (newCapacity == m_nCapacity) return true;

  auto* storage = static_cast<unsigned char*>(Lirak::PoolAlloc(newCapacity));
  if (!storage) return false;
  if (m_nCount) RingCopyOut(storage, m_nCount, m_pData, m_nReadPos, m_nCapacity);
  if (!IsAttached()) Lirak::PoolFree(m_pData);
  m_nFlags &= ~kFlagNotOwned;
  m_pData = storage;
  m_nCapacity = newCapacity;
  m_nReadPos = 0;
  // A ring filled to the brim has its write position back at the start, not one past the end.
  m_nWritePos = m_nCount % newCapacity;
  return true;
}

void CBuffer::WriteString(const char* text) {
  if (text) Write(text, static_cast<uint32_t>(std::strlen(text)));
}

CBuffer& CBuffer::operator<<(const CBuffer& other) {
  // Room first, then read the source: when the source is this buffer, growing moves the bytes,
  // and with room for all of them the copy never overwrites what it still has to read.
  const uint32_t total = other.m_nCount;
  if (total == 0 || !MakeRoom(total)) return *this;
  const unsigned char* source = other.m_pData;
  const uint32_t sourceCapacity = other.m_nCapacity;
  uint32_t position = other.m_nReadPos;
  uint32_t left = total;
  while (left) {
    uint32_t span = sourceCapacity - position < left ? sourceCapacity - position : left;
    RingCopyIn(source + position, span, m_pData, m_nWritePos, m_nCapacity);
    AdvanceWrite(span);
    position = (position + span) % sourceCapacity;
    left -= span;
  }
  return *this;
}

CBuffer& CBuffer::operator>>(CBuffer& other) {
  other << *this;
  return *this;
}

void CBuffer::SetReadFailed(bool failed) {
  if (failed) {
    m_nFlags |= kFlagReadFailed;
  } else {
    m_nFlags &= ~kFlagReadFailed;
  }
}

void CBuffer::Clear() {
  m_nCount = 0;
  m_nReadPos = 0;
  m_nWritePos = 0;
}

void CBuffer::SetReadPos(uint32_t position, bool emptyWhenEqual) {
  if (m_nCapacity == 0) return;
  m_nReadPos = position % m_nCapacity;
  Recount(!emptyWhenEqual);
}

void CBuffer::SetWritePos(uint32_t position, bool fullWhenEqual) {
  if (m_nCapacity == 0) return;
  m_nWritePos = position % m_nCapacity;
  Recount(fullWhenEqual);
}

uint32_t CBuffer::ReadableSpan() const {
  if (IsEmpty()) return 0;
  if (m_nWritePos > m_nReadPos) return m_nCount;
  return m_nCapacity - m_nReadPos;
}

uint32_t CBuffer::WritableSpan() const {
  if (IsFull()) return 0;
  if (m_nWritePos >= m_nReadPos) return m_nCapacity - m_nWritePos;
  return m_nReadPos - m_nWritePos;
}

unsigned char* CBuffer::PosToPtr(uint32_t position) const {
  if (m_nCapacity == 0) return m_pData;
  return m_pData + position % m_nCapacity;
}

bool CBuffer::operator==(const CBuffer& other) const {
  if (this == &other) return true;
  if (m_nCount != other.m_nCount) return false;
  for (uint32_t i = 0; i < m_nCount; ++i) {
    if (m_pData[(m_nReadPos + i) % m_nCapacity] !=
        other.m_pData[(other.m_nReadPos + i) % other.m_nCapacity]) {
      return false;
    }
  }
  return true;
}

uint32_t CBuffer::Find(const void* bytes, uint32_t length) const {
  uint32_t offset =
      FindByteSequence([this](uint32_t i) { return m_pData[(m_nReadPos + i) % m_nCapacity]; },
                       m_nCount, bytes, length);
  if (offset == kBytesNotFound) return kNotFound;
  return (m_nReadPos + offset) % m_nCapacity;
}

void CBuffer::Dump() const {
  std::printf("size:%ld,cnt:%ld,rpos:%ld,wpos:%ld\n", static_cast<long>(m_nCapacity),
              static_cast<long>(m_nCount), static_cast<long>(m_nReadPos),
              static_cast<long>(m_nWritePos));
}

void CBuffer::DumpChars() const {
  ForEachReadable([](unsigned char c) { std::printf("%c\t", c); });
  std::printf("\n");
}

void CBuffer::DumpHex() const {
  ForEachReadable([](unsigned char c) { std::printf("%X\t", c); });
  std::printf("\n");
}

bool CBuffer::MakeRoom(uint32_t length) {
  if (length <= m_nCapacity - m_nCount) return true;
  // Twice the count after the write must still fit in 32 bits, or the ring would come out smaller
  // than the bytes to be copied into it.
  if (length > UINT32_MAX / 2 - m_nCount) return false;
  uint32_t wanted = 2 * (m_nCount + length);
  if (m_nCapacity <= UINT32_MAX / 2 && 2 * m_nCapacity > wanted) wanted = 2 * m_nCapacity;
  return Reserve(wanted);
}

void CBuffer::AdvanceWrite(uint32_t length) {
  m_nWritePos = RingAdvance(m_nWritePos, length, m_nCapacity);
  m_nCount += length;
}

void CBuffer::Recount(bool equalMeansFull) {
  if (m_nReadPos == m_nWritePos) {
    m_nCount = equalMeansFull ? m_nCapacity : 0;
  } else {
    m_nCount = (m_nWritePos + m_nCapacity - m_nReadPos) % m_nCapacity;
  }
}

template <class F>
void CBuffer::ForEachReadable(F f) const {
  for (uint32_t i = 0; i < m_nCount; ++i) f(m_pData[(m_nReadPos + i) % m_nCapacity]);
}
