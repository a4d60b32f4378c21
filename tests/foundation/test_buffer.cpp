#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "foundation/buffer.h"
#include "foundation/byte_ops.h"

namespace {

std::string Drain(CBuffer& buffer) {
  std::string bytes(buffer.GetCount(), '\0');
  if (!bytes.empty()) {
    EXPECT_EQ(bytes.size(), buffer.Read(&bytes[0], bytes.size()));
  }
  return bytes;
}

void WriteText(CBuffer& buffer, const std::string& text) {
  ASSERT_EQ(text.size(), buffer.Write(text.data(), text.size()));
}

// A 4-byte ring holding "cdef" from read position 2, its write position wrapped round to 2.
void MakeFullWrapped(CBuffer& buffer) {
  WriteText(buffer, "abcd");
  char skip[2];
  ASSERT_EQ(2u, buffer.Read(skip, 2));
  WriteText(buffer, "ef");
  ASSERT_TRUE(buffer.IsFull());
}

template <class T>
void ExpectRoundTrip(T value) {
  CBuffer buffer(1);  // the values of more than one byte make it grow
  T back{};
  buffer << value >> back;
  EXPECT_TRUE(value == back && !buffer.IsReadFailed()) << sizeof(T) << "-byte value";
}

}  // namespace

TEST(Buffer, GrowsToTwiceTheNeedOrTwiceTheCapacity) {
  CBuffer fresh(0);
  EXPECT_EQ(8192u, fresh.GetCapacity());
  for (uint32_t i = 0; i < fresh.GetCapacity(); ++i) ASSERT_EQ(0, *fresh.PosToPtr(i));
  // Each row: capacity, two writes, the capacity after them.
  const struct {
    uint32_t capacity;
    std::string first, second;
    uint32_t grown;
  } cases[] = {{4, "12345", "", 10}, {4, "1234", "5", 10}, {100, std::string(100, 'x'), "y", 202}};
  for (const auto& c : cases) {
    CBuffer buffer(c.capacity);
    buffer.Write(c.first.data(), c.first.size());
    buffer.Write(c.second.data(), c.second.size());
    EXPECT_EQ(c.grown, buffer.GetCapacity()) << c.capacity << " " << c.first;
  }
  CBuffer typed(4);
  typed << 1 << 2.0;  // the larger of 2 x 4 and 2 x 4 + 2 x 8
  EXPECT_EQ(24u, typed.GetCapacity());
}

TEST(Buffer, WrappedRingKeepsItsOrderThroughGrowth) {
  CBuffer buffer(4);
  MakeFullWrapped(buffer);
  WriteText(buffer, "g");
  EXPECT_EQ("cdefg", Drain(buffer));

  // A long run of uneven writes and reads through many wraps and growths.
  CBuffer ring(16);
  std::string expected, got;
  unsigned char next = 0;
  for (int round = 0; round < 300; ++round) {
    std::string chunk;
    for (int i = 0; i < round % 37 + 1; ++i) chunk += static_cast<char>(next++);
    WriteText(ring, chunk);
    expected += chunk;
    std::string part(ring.GetCount() / 2 + 1, '\0');
    ASSERT_EQ(part.size(), ring.Read(&part[0], part.size()));
    got += part;
  }
  EXPECT_EQ(expected, got + Drain(ring));
}

// A write or read that ends exactly at the ring's end leaves its position at the start.
TEST(Buffer, PositionsEndingAtTheRingsEndWrapToItsStart) {
  CBuffer buffer(8);
  WriteText(buffer, "abc");
  EXPECT_EQ("abc", Drain(buffer));
  WriteText(buffer, "defgh");  // from 3 to the end
  EXPECT_EQ(0u, buffer.GetWritePos());
  EXPECT_EQ(3u, buffer.WritableSpan());
  EXPECT_EQ("defgh", Drain(buffer));
  EXPECT_EQ(0u, buffer.GetReadPos());
  EXPECT_EQ(8u, buffer.GetCapacity());
}

TEST(Buffer, FailedReadIsStickyUntilCleared) {
  CBuffer buffer(8);
  WriteText(buffer, "xy");
  char out[3] = {'-', '-', '-'};
  EXPECT_EQ(0u, buffer.Read(out, 3));
  EXPECT_TRUE(buffer.IsReadFailed());
  EXPECT_EQ('-', out[0]);
  EXPECT_EQ(0u, buffer.Read(out, 1));  // would fit, but the flag holds
  int wide = 77;
  buffer >> wide;
  EXPECT_EQ(77, wide);

  buffer.SetReadFailed(false);
  EXPECT_EQ(0u, buffer.Read(out, 0));  // zero bytes from a non-empty ring: no failure
  EXPECT_FALSE(buffer.IsReadFailed());
  EXPECT_EQ(1u, buffer.Read(out, 1));
  EXPECT_EQ('x', out[0]);
  CBuffer empty(8);
  EXPECT_EQ(0u, empty.Read(out, 0));
  EXPECT_TRUE(empty.IsReadFailed());
}

TEST(Buffer, RejectedWritesChangeNothing) {
  CBuffer buffer(8);
  WriteText(buffer, "abc");
  EXPECT_EQ(0u, buffer.Write(nullptr, 5));
  // Twice the need would not fit in 32 bits: refused before a byte is read.
  EXPECT_EQ(0u, buffer.Write("zz", 0xFFFFFFF0u));
  EXPECT_EQ(8u, buffer.GetCapacity());
  buffer.WriteString(nullptr);
  EXPECT_EQ("abc", Drain(buffer));
}

enum class Colour : short { kRed = 0x0102 };

TEST(Buffer, StreamsEveryPlainValueTypeInMachineOrder) {
  // Each size once, and the Windows types that fixed overloads would make ambiguous.
  ExpectRoundTrip<char>('c');
  ExpectRoundTrip<Colour>(Colour::kRed);
  ExpectRoundTrip<DWORD>(0xDEADBEEF);
  ExpectRoundTrip<LONG>(-8);
  ExpectRoundTrip<double>(2.25);
  CBuffer buffer(8);
  buffer << 0x01020304;
  EXPECT_EQ("\x04\x03\x02\x01", Drain(buffer));
}

TEST(BufferAppend, LeavesTheSourceAsItWasAndOntoItselfDoubles) {
  CBuffer source(4);
  MakeFullWrapped(source);
  CBuffer target(2);
  WriteText(target, "z");
  target << source;
  EXPECT_EQ("zcdef", Drain(target));
  source >> target;
  EXPECT_EQ("cdef", Drain(target));
  EXPECT_TRUE(source.IsFull());
  CBuffer empty(4);
  target << empty;
  EXPECT_TRUE(target.IsEmpty());  // an empty source is not mistaken for a full one

  source << source;  // grows first
  EXPECT_EQ("cdefcdef", Drain(source));
  WriteText(source, "hello");
  source << source;  // fits as it is
  EXPECT_EQ("hellohello", Drain(source));
}

TEST(Buffer, ReserveKeepsTheWritePositionInRange) {
  CBuffer buffer(8);
  WriteText(buffer, "123456");
  char skip[2];
  buffer.Read(skip, 2);
  WriteText(buffer, "78");
  ASSERT_TRUE(buffer.Reserve(buffer.GetCount()));  // exactly full
  EXPECT_EQ(0u, buffer.GetWritePos());
  WriteText(buffer, "9");
  EXPECT_EQ("3456789", Drain(buffer));
}

TEST(Buffer, AttachedBytesAreUsedInPlaceUntilGrowth) {
  char bytes[] = {'a', 'b', 'c'};
  {
    CBuffer buffer(bytes, 3);
    char first;
    buffer.Read(&first, 1);
    WriteText(buffer, "d");
    WriteText(buffer, "e");  // full: the ring moves to pool storage
    EXPECT_FALSE(buffer.IsAttached());
    EXPECT_EQ("bcde", Drain(buffer));
  }
  EXPECT_EQ('d', bytes[0]);  // written in place, then left alone (not freed)

  CBuffer none(nullptr, 0);  // no positions until it grows: nothing divides by the capacity
  none.SetReadPos(5, true);
  none.SetWritePos(7, true);
  EXPECT_EQ(nullptr, none.PosToPtr(3));
  EXPECT_EQ(0u, none.ReadableSpan() + none.WritableSpan() + none.GetCount());
  EXPECT_EQ(CBuffer::kNotFound, none.Find("a", 1));
  WriteText(none, "xy");
  EXPECT_EQ("xy", Drain(none));
}

TEST(Buffer, ComparesAndSearchesAcrossTheWrap) {
  CBuffer wrapped(4);
  MakeFullWrapped(wrapped);
  CBuffer straight(16);
  WriteText(straight, "cdef");
  EXPECT_TRUE(wrapped == straight);
  EXPECT_EQ(0u, wrapped.Find("ef", 2));  // ring positions
  EXPECT_EQ(CBuffer::kNotFound, wrapped.Find("fc", 2));
  CBuffer retry(8);
  WriteText(retry, "aab");
  EXPECT_EQ(1u, retry.Find("ab", 2));  // begins inside a failed partial match
  EXPECT_EQ(1u, FindBytes("aab", 3, "ab", 2));
}
