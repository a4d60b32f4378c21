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
  ASSERT_EQ(2u, buffer.GetWritePos());
}

template <class T>
void ExpectRoundTrip(T value) {
  CBuffer buffer(1);  // the values of more than one byte make it grow
  buffer << value;
  EXPECT_EQ(sizeof(T), buffer.GetCount());
  T back{};
  buffer >> back;
  EXPECT_FALSE(buffer.IsReadFailed());
  EXPECT_TRUE(value == back) << sizeof(T) << "-byte value";
}

}  // namespace

TEST(Buffer, GrowsToTwiceTheNeedOrTwiceTheCapacity) {
  CBuffer fresh(0);
  EXPECT_EQ(8192u, fresh.GetCapacity());
  for (uint32_t i = 0; i < fresh.GetCapacity(); ++i) ASSERT_EQ(0, *fresh.PosToPtr(i));

  CBuffer a(4);
  WriteText(a, "12345");  // 2 x (0 + 5) beats 2 x 4
  EXPECT_EQ(10u, a.GetCapacity());
  CBuffer b(4);
  WriteText(b, "1234");
  WriteText(b, "5");
  EXPECT_EQ(10u, b.GetCapacity());
  CBuffer c(100);
  WriteText(c, std::string(100, 'x'));
  WriteText(c, "y");
  EXPECT_EQ(202u, c.GetCapacity());
  CBuffer typed(4);
  typed << 1 << 2.0;  // the larger of 2 x 4 and 2 x 4 + 2 x 8
  EXPECT_EQ(24u, typed.GetCapacity());
}

TEST(Buffer, WrappedRingKeepsItsOrderThroughGrowth) {
  CBuffer buffer(4);
  MakeFullWrapped(buffer);
  WriteText(buffer, "g");
  EXPECT_EQ(10u, buffer.GetCapacity());
  EXPECT_EQ('c', *buffer.PosToPtr(0));  // the new storage starts with the oldest byte
  EXPECT_EQ(5u, buffer.GetWritePos());
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

TEST(Buffer, FailedReadIsStickyUntilCleared) {
  CBuffer buffer(8);
  WriteText(buffer, "xy");
  char out[3] = {'-', '-', '-'};
  EXPECT_EQ(0u, buffer.Read(out, 3));
  EXPECT_TRUE(buffer.IsReadFailed());
  EXPECT_EQ(2u, buffer.GetCount());
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
  EXPECT_EQ(0u, buffer.Read(nullptr, 1));
  EXPECT_TRUE(buffer.IsReadFailed());

  CBuffer empty(8);
  EXPECT_EQ(0u, empty.Read(out, 0));
  EXPECT_TRUE(empty.IsReadFailed());
}

TEST(Buffer, RejectedWritesChangeNothing) {
  CBuffer buffer(8);
  WriteText(buffer, "abc");
  EXPECT_EQ(0u, buffer.Write(nullptr, 5));
  EXPECT_EQ(0u, buffer.Write("zz", 0));
  // Twice the need would not fit in 32 bits: refused before a byte is read.
  EXPECT_EQ(0u, buffer.Write("zz", 0xFFFFFFF0u));
  EXPECT_EQ(8u, buffer.GetCapacity());
  buffer.WriteString(nullptr);
  buffer.WriteString("de");
  EXPECT_EQ("abcde", Drain(buffer));
}

enum class Colour : short { kRed = 0x0102 };

TEST(Buffer, StreamsEveryPlainValueTypeInMachineOrder) {
  // Each size once, and the Windows types that fixed overloads would make ambiguous.
  ExpectRoundTrip<char>('c');
  ExpectRoundTrip<bool>(true);
  ExpectRoundTrip<short>(-1234);
  ExpectRoundTrip<Colour>(Colour::kRed);
  ExpectRoundTrip<DWORD>(0xDEADBEEF);
  ExpectRoundTrip<LONG>(-8);
  ExpectRoundTrip<float>(1.5f);
  ExpectRoundTrip<long long>(-(1LL << 40));
  ExpectRoundTrip<double>(2.25);

  CBuffer buffer(8);
  buffer << 0x01020304;
  EXPECT_EQ("\x04\x03\x02\x01", Drain(buffer));
  const short* none = nullptr;
  buffer.Put(none);
  EXPECT_TRUE(buffer.IsEmpty());
  short value = 0x1234, back = 0;
  buffer.Put(&value);
  EXPECT_EQ(2u, buffer.Get(&back));
  EXPECT_EQ(0x1234, back);
  EXPECT_EQ(0u, buffer.Get(&back));
}

TEST(BufferAppend, LeavesTheSourceAsItWas) {
  CBuffer source(4);
  MakeFullWrapped(source);
  CBuffer target(2);
  WriteText(target, "z");
  target << source;
  EXPECT_EQ("zcdef", Drain(target));
  source >> target;
  EXPECT_EQ("cdef", Drain(target));
  EXPECT_TRUE(source.IsFull());
  EXPECT_EQ(2u, source.GetReadPos());
  EXPECT_EQ("cdef", Drain(source));

  CBuffer empty(4);
  target << empty;
  EXPECT_TRUE(empty.IsEmpty());  // an empty source is not mistaken for a full one
  EXPECT_TRUE(target.IsEmpty());
}

TEST(BufferAppend, OntoItselfDoublesTheContent) {
  CBuffer plain(64);
  WriteText(plain, "hello");
  plain << plain;
  EXPECT_EQ("hellohello", Drain(plain));
  CBuffer wrapped(4);
  MakeFullWrapped(wrapped);
  wrapped << wrapped;
  EXPECT_EQ("cdefcdef", Drain(wrapped));
}

TEST(Buffer, ReserveKeepsTheWritePositionInRange) {
  CBuffer buffer(8);
  WriteText(buffer, "123456");
  char skip[2];
  buffer.Read(skip, 2);
  WriteText(buffer, "78");
  ASSERT_TRUE(buffer.Reserve(buffer.GetCount()));  // exactly full
  EXPECT_EQ(6u, buffer.GetCapacity());
  EXPECT_EQ(0u, buffer.GetWritePos());
  EXPECT_EQ(0u, buffer.WritableSpan());
  WriteText(buffer, "9");
  EXPECT_EQ("3456789", Drain(buffer));

  CBuffer small(8);
  WriteText(small, "abcd");
  small.Reserve(2);  // below the count: twice the old capacity
  EXPECT_EQ(16u, small.GetCapacity());
  EXPECT_EQ("abcd", Drain(small));
  small.Reserve(0);
  EXPECT_EQ(8192u, small.GetCapacity());
}

TEST(Buffer, AttachedBytesAreUsedInPlaceUntilGrowth) {
  char bytes[] = {'a', 'b', 'c'};
  {
    CBuffer buffer(bytes, 3);
    EXPECT_TRUE(buffer.IsAttached());
    EXPECT_TRUE(buffer.IsFull());
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
  EXPECT_EQ(4u, none.GetCapacity());
  EXPECT_EQ("xy", Drain(none));
}

TEST(Buffer, PositionsSpansAndCounts) {
  CBuffer buffer(8);
  WriteText(buffer, "abcdef");
  EXPECT_EQ(6u, buffer.ReadableSpan());
  EXPECT_EQ(2u, buffer.WritableSpan());
  buffer.SetReadPos(13, true);  // 13 mod 8
  EXPECT_EQ(5u, buffer.GetReadPos());
  EXPECT_EQ(1u, buffer.GetCount());
  buffer.SetReadPos(6, true);
  EXPECT_TRUE(buffer.IsEmpty());
  buffer.SetReadPos(6, false);
  EXPECT_TRUE(buffer.IsFull());
  EXPECT_EQ(2u, buffer.ReadableSpan());  // up to the end of the storage
  buffer.SetWritePos(2, false);          // wrapped: 6, 7, 0, 1
  EXPECT_EQ(4u, buffer.GetCount());
  EXPECT_EQ(4u, buffer.WritableSpan());
  buffer.SetWritePos(6, true);
  EXPECT_TRUE(buffer.IsFull());
  buffer.Clear();
  EXPECT_EQ(0u, buffer.GetReadPos() + buffer.GetWritePos() + buffer.GetCount());
}

TEST(Buffer, ComparesAndSearchesAcrossTheWrap) {
  CBuffer wrapped(4);
  MakeFullWrapped(wrapped);
  CBuffer straight(16);
  WriteText(straight, "cdef");
  EXPECT_TRUE(wrapped == straight);
  WriteText(straight, "g");
  EXPECT_FALSE(wrapped == straight);

  EXPECT_EQ(3u, wrapped.Find("de", 2));
  EXPECT_EQ(0u, wrapped.Find("ef", 2));  // ring positions
  EXPECT_EQ(CBuffer::kNotFound, wrapped.Find("fc", 2));
  EXPECT_EQ(CBuffer::kNotFound, wrapped.Find("cdefg", 5));
  EXPECT_EQ(CBuffer::kNotFound, wrapped.Find(nullptr, 1));
  CBuffer retry(8);
  WriteText(retry, "aab");
  EXPECT_EQ(1u, retry.Find("ab", 2));  // begins inside a failed partial match
  EXPECT_EQ(1u, FindBytes("aab", 3, "ab", 2));
}

TEST(Buffer, DumpsPositionsAndBytes) {
  CBuffer buffer(4);
  WriteText(buffer, "aAb");
  char skip;
  buffer.Read(&skip, 1);
  testing::internal::CaptureStdout();
  buffer.Dump();
  buffer.DumpChars();
  buffer.DumpHex();
  fflush(stdout);
  EXPECT_EQ("size:4,cnt:2,rpos:1,wpos:3\nA\tb\t\n41\t62\t\n",
            testing::internal::GetCapturedStdout());
}
