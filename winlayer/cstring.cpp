#include "winlayer/cstring.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <new>

namespace {

constexpr long kLocked = -1;  // GetBuffer handed the buffer out: one owner, never shared
constexpr long kStatic = -2;  // the shared empty block; never freed

int SafeLength(const wchar_t* text) { return text ? static_cast<int>(wcslen(text)) : 0; }

}  // namespace

CString::Data* CString::EmptyData() {
  static struct Holder {
    Holder() {
      auto* d = new (block) CString::Data;
      d->refs.store(kStatic);
      d->length = 0;
      d->capacity = 0;
      d->chars()[0] = 0;
    }
    alignas(CString::Data) unsigned char block[sizeof(CString::Data) + sizeof(wchar_t)];
  } holder;
  return reinterpret_cast<CString::Data*>(holder.block);
}

CString::Data* CString::AllocData(int capacity) {
  size_t bytes = sizeof(Data) + (static_cast<size_t>(capacity) + 1) * sizeof(wchar_t);
  void* raw = std::malloc(bytes);
  if (!raw) throw std::bad_alloc();
  auto* d = new (raw) CString::Data;
  d->refs.store(1);
  d->length = 0;
  d->capacity = capacity;
  d->chars()[0] = 0;
  return d;
}

CString::Data* CString::Header() const { return reinterpret_cast<Data*>(m_chars) - 1; }

CString::CString() : m_chars(EmptyData()->chars()) {}

CString::CString(const wchar_t* text) : CString() { Assign(text, SafeLength(text)); }

CString::CString(const wchar_t* text, int length) : CString() {
  Assign(text, text ? std::max(length, 0) : 0);
}

CString::CString(wchar_t ch, int repeat) : CString() {
  if (repeat <= 0) return;
  PrepareWrite(repeat);
  std::fill(m_chars, m_chars + repeat, ch);
  SetLength(repeat);
}

CString::CString(const CString& other) : CString() { *this = other; }

CString::CString(CString&& other) noexcept : m_chars(other.m_chars) {
  other.m_chars = EmptyData()->chars();
}

CString::~CString() { Release(); }

void CString::Release() {
  Data* d = Header();
  long refs = d->refs.load();
  if (refs == kStatic) return;
  if (refs == kLocked || d->refs.fetch_sub(1) == 1) {
    d->~Data();
    std::free(d);
  }
  m_chars = EmptyData()->chars();
}

CString& CString::operator=(const CString& other) {
  if (this == &other) return *this;
  Data* src = other.Header();
  long refs = src->refs.load();
  if (refs == kLocked) {
    // Its buffer is being written through GetBuffer: take a private copy of what is there.
    Assign(other.m_chars, src->length);
    return *this;
  }
  if (refs != kStatic) src->refs.fetch_add(1);
  Release();
  m_chars = other.m_chars;
  return *this;
}

CString& CString::operator=(CString&& other) noexcept {
  if (this != &other) {
    Release();
    m_chars = other.m_chars;
    other.m_chars = EmptyData()->chars();
  }
  return *this;
}

CString& CString::operator=(const wchar_t* text) {
  Assign(text, SafeLength(text));
  return *this;
}

CString& CString::operator=(wchar_t ch) {
  Assign(&ch, 1);
  return *this;
}

CString& CString::operator+=(const CString& other) {
  Append(other.m_chars, other.GetLength());
  return *this;
}

CString& CString::operator+=(const wchar_t* text) {
  Append(text, SafeLength(text));
  return *this;
}

CString& CString::operator+=(wchar_t ch) {
  Append(&ch, 1);
  return *this;
}

void CString::Empty() { Release(); }

void CString::PrepareWrite(int capacity) {
  Data* d = Header();
  long refs = d->refs.load();
  bool owned = refs == 1 || refs == kLocked;
  if (owned && capacity <= d->capacity) return;
  int newCapacity = capacity;
  if (owned && capacity > d->capacity) {
    // Appending one piece at a time should not copy the text every time.
    newCapacity = std::max(capacity, d->capacity + d->capacity / 2);
  }
  Data* fresh = AllocData(std::max(newCapacity, d->length));
  wmemcpy(fresh->chars(), m_chars, static_cast<size_t>(d->length) + 1);
  fresh->length = d->length;
  if (refs == kLocked) fresh->refs.store(kLocked);
  Release();
  m_chars = fresh->chars();
}

void CString::SetLength(int length) {
  Data* d = Header();
  if (d->refs.load() == kStatic) return;  // nothing was ever written
  d->length = length;
  m_chars[length] = 0;
}

void CString::Assign(const wchar_t* text, int length) {
  if (length <= 0) {
    Release();
    return;
  }
  // The text may live inside this string's own buffer.
  Data* d = Header();
  if (text >= m_chars && text <= m_chars + d->length) {
    CString copy(text, length);
    *this = std::move(copy);
    return;
  }
  if (d->refs.load() != 1 || d->capacity < length) {
    Data* fresh = AllocData(length);
    Release();
    m_chars = fresh->chars();
  }
  wmemcpy(m_chars, text, static_cast<size_t>(length));
  SetLength(length);
}

void CString::Append(const wchar_t* text, int length) {
  if (!text || length <= 0) return;
  int oldLength = GetLength();
  if (text >= m_chars && text <= m_chars + oldLength) {
    CString copy(text, length);  // appending a piece of itself
    Append(copy.m_chars, length);
    return;
  }
  PrepareWrite(oldLength + length);
  wmemcpy(m_chars + oldLength, text, static_cast<size_t>(length));
  SetLength(oldLength + length);
}

void CString::SetAt(int index, wchar_t ch) {
  if (index < 0 || index >= GetLength()) return;
  PrepareWrite(GetLength());
  m_chars[index] = ch;
}

wchar_t* CString::GetBuffer(int minLength) {
  PrepareWrite(std::max(minLength, GetLength()));
  Header()->refs.store(kLocked);
  return m_chars;
}

wchar_t* CString::GetBufferSetLength(int length) {
  length = std::max(length, 0);
  wchar_t* buffer = GetBuffer(length);
  Header()->length = length;
  buffer[length] = 0;
  return buffer;
}

void CString::ReleaseBuffer(int newLength) {
  Data* d = Header();
  if (d->refs.load() == kStatic) return;
  if (newLength < 0) newLength = static_cast<int>(wcsnlen(m_chars, static_cast<size_t>(d->capacity)));
  SetLength(std::min(newLength, d->capacity));
  d->refs.store(1);
}

CString CString::Left(int count) const {
  count = std::clamp(count, 0, GetLength());
  return count == GetLength() ? *this : CString(m_chars, count);
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
  int length = GetLength();
  first = std::clamp(first, 0, length);
  count = std::clamp(count, 0, length - first);
  if (first == 0 && count == length) return *this;
  return CString(m_chars + first, count);
}

CString CString::Right(int count) const {
  count = std::clamp(count, 0, GetLength());
  return Mid(GetLength() - count, count);
}

int CString::Find(wchar_t ch, int start) const {
  if (start < 0 || start >= GetLength()) return -1;
  const wchar_t* hit = wcschr(m_chars + start, ch);
  return hit && ch ? static_cast<int>(hit - m_chars) : -1;
}

int CString::Find(const wchar_t* sub, int start) const {
  if (!sub || start < 0 || start > GetLength()) return -1;
  const wchar_t* hit = wcsstr(m_chars + start, sub);
  return hit ? static_cast<int>(hit - m_chars) : -1;
}

int CString::ReverseFind(wchar_t ch) const {
  for (int i = GetLength() - 1; i >= 0; --i) {
    if (m_chars[i] == ch) return i;
  }
  return -1;
}

int CString::FindOneOf(const wchar_t* chars) const {
  if (!chars) return -1;
  size_t n = wcscspn(m_chars, chars);
  return static_cast<int>(n) < GetLength() ? static_cast<int>(n) : -1;
}

int CString::Replace(const wchar_t* oldText, const wchar_t* newText) {
  int oldLength = SafeLength(oldText);
  if (oldLength == 0) return 0;
  int newLength = SafeLength(newText);
  CString result;
  int count = 0;
  int pos = 0;
  for (int hit; (hit = Find(oldText, pos)) >= 0; pos = hit + oldLength) {
    result.Append(m_chars + pos, hit - pos);
    result.Append(newText, newLength);
    ++count;
  }
  if (count == 0) return 0;
  result.Append(m_chars + pos, GetLength() - pos);
  *this = std::move(result);
  return count;
}

int CString::Replace(wchar_t oldCh, wchar_t newCh) {
  int count = 0;
  for (int i = 0; i < GetLength(); ++i) {
    if (m_chars[i] == oldCh) {
      if (count++ == 0) PrepareWrite(GetLength());
      m_chars[i] = newCh;
    }
  }
  return count;
}

int CString::Remove(wchar_t ch) {
  int length = GetLength();
  if (Find(ch) < 0) return 0;
  PrepareWrite(length);
  int kept = 0;
  for (int i = 0; i < length; ++i) {
    if (m_chars[i] != ch) m_chars[kept++] = m_chars[i];
  }
  SetLength(kept);
  return length - kept;
}

int CString::Delete(int index, int count) {
  int length = GetLength();
  if (index < 0) index = 0;
  if (count <= 0 || index >= length) return length;
  count = std::min(count, length - index);
  PrepareWrite(length);
  wmemmove(m_chars + index, m_chars + index + count, static_cast<size_t>(length - index - count));
  SetLength(length - count);
  return length - count;
}

int CString::Insert(int index, wchar_t ch) {
  wchar_t text[2] = {ch, 0};
  return Insert(index, text);
}

int CString::Insert(int index, const wchar_t* text) {
  int length = GetLength();
  index = std::clamp(index, 0, length);
  CString piece(text);  // the text may point into this string
  int add = piece.GetLength();
  if (add == 0) return length;
  PrepareWrite(length + add);
  wmemmove(m_chars + index + add, m_chars + index, static_cast<size_t>(length - index));
  wmemcpy(m_chars + index, piece.m_chars, static_cast<size_t>(add));
  SetLength(length + add);
  return length + add;
}

CString& CString::MakeUpper() {
  if (!IsEmpty()) {
    PrepareWrite(GetLength());
    CharUpperBuffW(m_chars, static_cast<DWORD>(GetLength()));
  }
  return *this;
}

CString& CString::MakeLower() {
  if (!IsEmpty()) {
    PrepareWrite(GetLength());
    CharLowerBuffW(m_chars, static_cast<DWORD>(GetLength()));
  }
  return *this;
}

CString& CString::MakeReverse() {
  if (GetLength() > 1) {
    PrepareWrite(GetLength());
    std::reverse(m_chars, m_chars + GetLength());
  }
  return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }

CString& CString::TrimLeft() {
  int skip = 0;
  while (skip < GetLength() && iswspace(m_chars[skip])) ++skip;
  if (skip > 0) Delete(0, skip);
  return *this;
}

CString& CString::TrimRight() {
  int end = GetLength();
  while (end > 0 && iswspace(m_chars[end - 1])) --end;
  if (end < GetLength()) *this = Left(end);
  return *this;
}

CString& CString::Trim(wchar_t ch) { return TrimRight(ch).TrimLeft(ch); }

CString& CString::TrimLeft(wchar_t ch) {
  int skip = 0;
  while (skip < GetLength() && m_chars[skip] == ch) ++skip;
  if (skip > 0) Delete(0, skip);
  return *this;
}

CString& CString::TrimRight(wchar_t ch) {
  int end = GetLength();
  while (end > 0 && m_chars[end - 1] == ch) --end;
  if (end < GetLength()) *this = Left(end);
  return *this;
}

int CString::Compare(const wchar_t* text) const { return wcscmp(m_chars, text ? text : L""); }

int CString::CompareNoCase(const wchar_t* text) const {
  return _wcsicmp(m_chars, text ? text : L"");
}

CString CString::Tokenize(const wchar_t* delimiters, int& start) const {
  if (start < 0) return CString();
  int length = GetLength();
  if (!delimiters || !*delimiters) {
    if (start < length) {
      CString rest = Mid(start);
      start = length;
      return rest;
    }
    start = -1;
    return CString();
  }
  int pos = start;
  while (pos < length && wcschr(delimiters, m_chars[pos])) ++pos;
  if (pos >= length) {
    start = -1;
    return CString();
  }
  int end = pos;
  while (end < length && !wcschr(delimiters, m_chars[end])) ++end;
  start = end < length ? end + 1 : end;
  return Mid(pos, end - pos);
}

void CString::Format(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(format, args);
  va_end(args);
}

void CString::AppendFormat(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  AppendFormatV(format, args);
  va_end(args);
}

void CString::FormatV(const wchar_t* format, va_list args) {
  CString result;
  result.AppendFormatV(format, args);
  *this = std::move(result);
}

void CString::AppendFormatV(const wchar_t* format, va_list args) {
  if (!format) return;
  // msvcrt's functions: "%s" is a wide string there, unlike mingw's own swprintf family.
  va_list measure;
  va_copy(measure, args);
  int add = _vscwprintf(format, measure);
  va_end(measure);
  if (add <= 0) return;
  // The arguments may point into this string, so format into a fresh block.
  int oldLength = GetLength();
  CString result;
  result.PrepareWrite(oldLength + add);
  wmemcpy(result.m_chars, m_chars, static_cast<size_t>(oldLength));
  _vsnwprintf(result.m_chars + oldLength, static_cast<size_t>(add) + 1, format, args);
  result.SetLength(oldLength + add);
  *this = std::move(result);
}

bool CString::LoadString(unsigned id) {
  const wchar_t* resource = nullptr;
  // With a zero buffer size the function hands out a pointer into the resource itself.
  int length = ::LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&resource), 0);
  if (length <= 0 || !resource) {
    Empty();
    return false;
  }
  Assign(resource, length);
  return true;
}

CString operator+(const CString& a, const CString& b) {
  CString r(a);
  r += b;
  return r;
}

CString operator+(const CString& a, const wchar_t* b) {
  CString r(a);
  r += b;
  return r;
}

CString operator+(const wchar_t* a, const CString& b) {
  CString r(a);
  r += b;
  return r;
}

CString operator+(const CString& a, wchar_t b) {
  CString r(a);
  r += b;
  return r;
}

CString operator+(wchar_t a, const CString& b) {
  CString r(a);
  r += b;
  return r;
}

bool operator==(const CString& a, const CString& b) {
  return a.GetLength() == b.GetLength() &&
         wmemcmp(a.GetString(), b.GetString(), static_cast<size_t>(a.GetLength())) == 0;
}
bool operator==(const CString& a, const wchar_t* b) { return a.Compare(b) == 0; }
bool operator==(const wchar_t* a, const CString& b) { return b.Compare(a) == 0; }
bool operator!=(const CString& a, const CString& b) { return !(a == b); }
bool operator!=(const CString& a, const wchar_t* b) { return !(a == b); }
bool operator!=(const wchar_t* a, const CString& b) { return !(a == b); }
bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
