#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
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

// Readable bytes without consuming them.
std::string Peek(const CBuffer& buffer) {
  std::string bytes;
  for (uint32_t i = 0; i < buffer.GetCount(); ++i) {
    bytes += static_cast<char>(*buffer.PosToPtr(buffer.GetReadPos() + i));
  }
  return bytes;
}

void WriteText(CBuffer& buffer, const std::string& text) {
  ASSERT_EQ(text.size(), buffer.Write(text.data(), text.size()));
}

// A 4-byte ring holding "cdef" with its read position at 2 and write position wrapped to 2.
void MakeFullWrapped(CBuffer& buffer) {
  WriteText(buffer, "abcd");
  char skip[2];
  ASSERT_EQ(2u, buffer.Read(skip, 2));
  WriteText(buffer, "ef");
  ASSERT_EQ(4u, buffer.GetCapacity());
  ASSERT_TRUE(buffer.IsFull());
  ASSERT_EQ(2u, buffer.GetReadPos());
  ASSERT_EQ(2u, buffer.GetWritePos());
}

}  // namespace

TEST(Buffer, DefaultCapacityIsZeroFilledAndEmpty) {
  CBuffer buffer(0);
  EXPECT_EQ(8192u, buffer.GetCapacity());
  EXPECT_TRUE(buffer.IsEmpty());
  EXPECT_FALSE(buffer.IsAttached());
  for (uint32_t i = 0; i < buffer.GetCapacity(); ++i) ASSERT_EQ(0, *buffer.PosToPtr(i));
}

TEST(Buffer, GrowsToTwiceTheNeedOrTwiceTheCapacity) {
  CBuffer a(4);
  WriteText(a, "12345");
  EXPECT_EQ(10u, a.GetCapacity());

  CBuffer b(4);
  WriteText(b, "1234");
  WriteText(b, "5");
  EXPECT_EQ(10u, b.GetCapacity());

  CBuffer c(100);
  WriteText(c, std::string(100, 'x'));
  WriteText(c, "y");
  EXPECT_EQ(202u, c.GetCapacity());
  EXPECT_EQ(std::string(100, 'x') + "y", Drain(c));

  // Room left: no growth.
  CBuffer d(8);
  WriteText(d, "1234");
  WriteText(d, "5678");
  EXPECT_EQ(8u, d.GetCapacity());
}

TEST(Buffer, WrappedRingKeepsItsOrderThroughGrowth) {
  CBuffer buffer(4);
  WriteText(buffer, "abc");
  char two[2];
  ASSERT_EQ(2u, buffer.Read(two, 2));
  WriteText(buffer, "def");  // wraps: "c" at 2, "def" at 3, 0, 1
  EXPECT_TRUE(buffer.IsFull());
  EXPECT_EQ(2u, buffer.GetWritePos());
  WriteText(buffer, "g");
  EXPECT_EQ(10u, buffer.GetCapacity());
  EXPECT_EQ(0u, buffer.GetReadPos());
  EXPECT_EQ(5u, buffer.GetWritePos());
  EXPECT_EQ('c', *buffer.PosToPtr(0));  // the new storage starts with the oldest byte
  EXPECT_EQ("cdefg", Drain(buffer));
}

TEST(Buffer, LongRunOfWritesAndReadsStaysInOrder) {
  CBuffer buffer(16);
  std::string expected, got;
  unsigned char next = 0;
  for (int round = 0; round < 300; ++round) {
    std::string chunk;
    for (int i = 0; i < round % 37 + 1; ++i) chunk += static_cast<char>(next++);
    WriteText(buffer, chunk);
    expected += chunk;
    std::string part(buffer.GetCount() / 2 + 1, '\0');
    ASSERT_EQ(part.size(), buffer.Read(&part[0], part.size()));
    got += part;
  }
  got += Drain(buffer);
  EXPECT_EQ(expected, got);
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
  EXPECT_EQ(2u, buffer.GetCount());

  buffer.SetReadFailed(false);
  EXPECT_EQ(1u, buffer.Read(out, 1));
  EXPECT_EQ('x', out[0]);
  EXPECT_EQ(0u, buffer.Read(nullptr, 1));
  EXPECT_TRUE(buffer.IsReadFailed());
}

TEST(Buffer, ZeroLengthReadFailsOnlyWhenEmpty) {
  CBuffer buffer(8);
  char out;
  WriteText(buffer, "a");
  EXPECT_EQ(0u, buffer.Read(&out, 0));
  EXPECT_FALSE(buffer.IsReadFailed());
  EXPECT_EQ(1u, buffer.GetCount());

  CBuffer empty(8);
  EXPECT_EQ(0u, empty.Read(&out, 0));
  EXPECT_TRUE(empty.IsReadFailed());
}

TEST(Buffer, RejectedWritesChangeNothing) {
  CBuffer buffer(8);
  WriteText(buffer, "abc");
  EXPECT_EQ(0u, buffer.Write(nullptr, 5));
  EXPECT_EQ(0u, buffer.Write("zz", 0));
  // A length whose doubled need does not fit in 32 bits is refused before any byte is read.
  EXPECT_EQ(0u, buffer.Write("zz", 0xFFFFFFF0u));
  EXPECT_EQ(8u, buffer.GetCapacity());
  buffer.WriteString(nullptr);
  buffer.WriteString("de");
  EXPECT_EQ("abcde", Drain(buffer));
}

enum class Colour : short { kRed = 0x0102 };

TEST(Buffer, StreamsEveryPlainValueTypeInMachineOrder) {
  CBuffer buffer(4);
  char c = 'c';
  signed char sc = -5;
  unsigned char uc = 250;
  short s = -1234;
  unsigned short us = 60000;
  int i = -100000;
  unsigned u = 4000000000u;
  long l = -7;
  DWORD dw = 0xDEADBEEF;
  LONG lg = -8;
  float f = 1.5f;
  long long ll = -(1LL << 40);
  unsigned long long ull = ~0ULL - 1;
  double d = 2.25;
  bool b = true;
  wchar_t wc = L'字';
  buffer << c << sc << uc << s << us << i << u << l << dw << lg << f << ll << ull << d << b << wc
         << Colour::kRed;
  EXPECT_EQ(3u + 4 + 4 * 6 + 8 * 3 + 1 + 2 + 2, buffer.GetCount());

  char c2 = 0;
  signed char sc2 = 0;
  unsigned char uc2 = 0;
  short s2 = 0;
  unsigned short us2 = 0;
  int i2 = 0;
  unsigned u2 = 0;
  long l2 = 0;
  DWORD dw2 = 0;
  LONG lg2 = 0;
  float f2 = 0;
  long long ll2 = 0;
  unsigned long long ull2 = 0;
  double d2 = 0;
  bool b2 = false;
  wchar_t wc2 = 0;
  Colour colour2{};
  buffer >> c2 >> sc2 >> uc2 >> s2 >> us2 >> i2 >> u2 >> l2 >> dw2 >> lg2 >> f2 >> ll2 >> ull2 >>
      d2 >> b2 >> wc2 >> colour2;
  EXPECT_FALSE(buffer.IsReadFailed());
  EXPECT_EQ(c, c2);
  EXPECT_EQ(sc, sc2);
  EXPECT_EQ(uc, uc2);
  EXPECT_EQ(s, s2);
  EXPECT_EQ(us, us2);
  EXPECT_EQ(i, i2);
  EXPECT_EQ(u, u2);
  EXPECT_EQ(l, l2);
  EXPECT_EQ(dw, dw2);
  EXPECT_EQ(lg, lg2);
  EXPECT_EQ(f, f2);
  EXPECT_EQ(ll, ll2);
  EXPECT_EQ(ull, ull2);
  EXPECT_EQ(d, d2);
  EXPECT_EQ(b, b2);
  EXPECT_EQ(wc, wc2);
  EXPECT_EQ(Colour::kRed, colour2);
  EXPECT_TRUE(buffer.IsEmpty());

  buffer << 0x01020304;
  EXPECT_EQ("\x04\x03\x02\x01", Peek(buffer));
}

TEST(Buffer, PointerVariantsAndFailedTypedReads) {
  CBuffer buffer(4);
  const int* none = nullptr;
  buffer.Put(none);
  EXPECT_TRUE(buffer.IsEmpty());
  short value = 0x1234;
  buffer.Put(&value);
  EXPECT_EQ(2u, buffer.GetCount());

  int wide = 77;
  buffer >> wide;  // 4 bytes wanted, 2 stored
  EXPECT_EQ(77, wide);
  EXPECT_TRUE(buffer.IsReadFailed());
  buffer.SetReadFailed(false);
  short back = 0;
  EXPECT_EQ(2u, buffer.Get(&back));
  EXPECT_EQ(0x1234, back);
  EXPECT_EQ(0u, buffer.Get(&back));
}

TEST(Buffer, TypedWriteIntoFullRingGrows) {
  CBuffer buffer(4);
  buffer << 1;
  ASSERT_TRUE(buffer.IsFull());
  buffer << 2.0;  // larger of 2 x 4 and 2 x 4 + 2 x 8
  EXPECT_EQ(24u, buffer.GetCapacity());
  int first = 0;
  double second = 0;
  buffer >> first >> second;
  EXPECT_EQ(1, first);
  EXPECT_EQ(2.0, second);
}

TEST(BufferAppend, LeavesTheSourceAsItWas) {
  CBuffer source(4);
  MakeFullWrapped(source);
  CBuffer target(2);
  WriteText(target, "z");
  target << source;
  EXPECT_EQ("zcdef", Drain(target));
  EXPECT_TRUE(source.IsFull());
  EXPECT_EQ(2u, source.GetReadPos());
  EXPECT_EQ("cdef", Drain(source));

  CBuffer empty(4);
  CBuffer other(4);
  WriteText(other, "q");
  other << empty;
  EXPECT_TRUE(empty.IsEmpty());  // the empty source is not mistaken for a full one
  EXPECT_EQ(1u, other.GetCount());

  CBuffer from(8);
  WriteText(from, "abc");
  CBuffer to(8);
  from >> to;
  EXPECT_EQ("abc", Drain(to));
  EXPECT_EQ("abc", Drain(from));
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

  CBuffer empty(4);
  empty << empty;
  EXPECT_TRUE(empty.IsEmpty());
}

TEST(Buffer, ReserveKeepsPositionsInRange) {
  CBuffer buffer(8);
  WriteText(buffer, "123456");
  char skip[2];
  buffer.Read(skip, 2);
  WriteText(buffer, "78");
  ASSERT_TRUE(buffer.Reserve(buffer.GetCount()));  // exactly full: write position wraps to 0
  EXPECT_EQ(6u, buffer.GetCapacity());
  EXPECT_TRUE(buffer.IsFull());
  EXPECT_EQ(0u, buffer.GetWritePos());
  EXPECT_EQ(6u, buffer.ReadableSpan());
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

TEST(Buffer, AttachedBytesAreReadInPlaceAndCopiedOnGrowth) {
  char bytes[] = {'a', 'b', 'c'};
  {
    CBuffer buffer(bytes, 3);
    EXPECT_TRUE(buffer.IsAttached());
    EXPECT_TRUE(buffer.IsFull());
    char first;
    buffer.Read(&first, 1);
    EXPECT_EQ('a', first);
    WriteText(buffer, "d");
    WriteText(buffer, "e");  // full: the ring moves to pool storage
    EXPECT_FALSE(buffer.IsAttached());
    EXPECT_EQ("bcde", Drain(buffer));
  }
  EXPECT_EQ('d', bytes[0]);  // the caller's bytes were written in place, then left alone
  EXPECT_EQ('b', bytes[1]);
}

TEST(Buffer, AttachedWithLengthZeroHasNoPositionsUntilItGrows) {
  CBuffer buffer(nullptr, 0);
  EXPECT_EQ(0u, buffer.GetCapacity());
  buffer.SetReadPos(5, true);
  buffer.SetWritePos(7, true);
  EXPECT_EQ(nullptr, buffer.PosToPtr(3));
  EXPECT_EQ(0u, buffer.ReadableSpan());
  EXPECT_EQ(0u, buffer.WritableSpan());
  EXPECT_EQ(0u, buffer.GetCount());
  EXPECT_EQ(CBuffer::kNotFound, buffer.Find("a", 1));
  char out;
  EXPECT_EQ(0u, buffer.Read(&out, 1));
  buffer.SetReadFailed(false);
  WriteText(buffer, "xy");
  EXPECT_EQ(4u, buffer.GetCapacity());
  EXPECT_EQ("xy", Drain(buffer));
}

TEST(Buffer, PositionsSpansAndCounts) {
  CBuffer buffer(8);
  WriteText(buffer, "abcdef");
  EXPECT_EQ(6u, buffer.ReadableSpan());
  EXPECT_EQ(2u, buffer.WritableSpan());

  buffer.SetReadPos(13, true);  // 13 mod 8 = 5
  EXPECT_EQ(5u, buffer.GetReadPos());
  EXPECT_EQ(1u, buffer.GetCount());
  buffer.SetReadPos(6, true);
  EXPECT_TRUE(buffer.IsEmpty());
  buffer.SetReadPos(6, false);
  EXPECT_TRUE(buffer.IsFull());
  EXPECT_EQ(2u, buffer.ReadableSpan());  // up to the end of the storage
  EXPECT_EQ(0u, buffer.WritableSpan());

  buffer.SetWritePos(2, false);  // wrapped: reads 6, 7, 0, 1
  EXPECT_EQ(4u, buffer.GetCount());
  EXPECT_EQ(2u, buffer.ReadableSpan());
  EXPECT_EQ(4u, buffer.WritableSpan());
  buffer.SetWritePos(6, true);
  EXPECT_TRUE(buffer.IsFull());
  buffer.SetWritePos(6, false);
  EXPECT_TRUE(buffer.IsEmpty());
  EXPECT_EQ(buffer.PosToPtr(1), buffer.PosToPtr(9));

  buffer.SetReadFailed(true);
  buffer.Clear();
  EXPECT_EQ(0u, buffer.GetReadPos());
  EXPECT_EQ(0u, buffer.GetWritePos());
  EXPECT_TRUE(buffer.IsReadFailed());
  EXPECT_EQ(8u, buffer.GetCapacity());
}

TEST(Buffer, EqualityComparesReadableBytesInOrder) {
  CBuffer wrapped(4);
  MakeFullWrapped(wrapped);
  CBuffer straight(16);
  WriteText(straight, "cdef");
  EXPECT_TRUE(wrapped == straight);
  EXPECT_TRUE(wrapped == wrapped);
  WriteText(straight, "g");
  EXPECT_FALSE(wrapped == straight);
  CBuffer other(16);
  WriteText(other, "cdeg");
  EXPECT_FALSE(wrapped == other);
}

TEST(Buffer, FindsSequencesAcrossTheWrap) {
  CBuffer buffer(4);
  MakeFullWrapped(buffer);  // "cdef" from position 2
  EXPECT_EQ(3u, buffer.Find("de", 2));
  EXPECT_EQ(0u, buffer.Find("ef", 2));
  EXPECT_EQ(2u, buffer.Find("cdef", 4));
  EXPECT_EQ(CBuffer::kNotFound, buffer.Find("fc", 2));
  EXPECT_EQ(CBuffer::kNotFound, buffer.Find("cdefg", 5));
  EXPECT_EQ(CBuffer::kNotFound, buffer.Find(nullptr, 1));
  EXPECT_EQ(CBuffer::kNotFound, buffer.Find("c", 0));

  CBuffer retry(8);
  WriteText(retry, "aab");
  EXPECT_EQ(1u, retry.Find("ab", 2));  // starts inside a failed partial match
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
  EXPECT_EQ("size:4,cnt:2,rpos:1,wpos:3\nA\tb\t\n41\t62\t\n", testing::internal::GetCapturedStdout());
}

TEST(ByteOps, RingCopiesWrapAndReversalsMirror) {
  char ring[5] = {'0', '1', '2', '3', '4'};
  RingCopyIn("abc", 3, ring, 3, 5);
  EXPECT_EQ(std::string("c12ab"), std::string(ring, 5));
  char out[4] = {};
  RingCopyOut(out, 4, ring, 4, 5);
  EXPECT_EQ(std::string("bc12"), std::string(out, 4));

  unsigned char six[6] = {1, 2, 3, 4, 5, 6};
  ReverseBytes<6>(six);
  EXPECT_EQ(6, six[0]);
  EXPECT_EQ(4, six[2]);
  EXPECT_EQ(1, six[5]);
  unsigned value = 0x11223344;
  ReverseBytes<4>(&value);
  EXPECT_EQ(0x44332211u, value);
  unsigned short pair = 0xAABB;
  ReverseBytes<2>(&pair);
  EXPECT_EQ(0xBBAA, pair);
  unsigned long long eight = 0x0102030405060708ULL;
  ReverseBytes<8>(&eight);
  EXPECT_EQ(0x0807060504030201ULL, eight);

  EXPECT_EQ(1u, FindBytes("aab", 3, "ab", 2));
  EXPECT_EQ(kBytesNotFound, FindBytes("aab", 3, "ba", 2));
  EXPECT_EQ(kBytesNotFound, FindBytes(nullptr, 3, "a", 1));
  EXPECT_EQ(kBytesNotFound, FindBytes("a", 1, "aa", 2));
}
