// CString: the program's wide (UTF-16) text type.
//
// Copies share one reference-counted buffer (the count is atomic, so worker threads may copy a
// string that another thread also copies); a string is copied privately before it is changed.
// While a buffer handed out by GetBuffer is not yet released, copies take a private copy instead
// of sharing it.
//
// Format and AppendFormat follow the Windows printf rules for wide text: "%s" is a wide string,
// "%S" a narrow one.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdarg>
#include <cwchar>

class CString {
 public:
  CString();
  CString(const wchar_t* text);  // NOLINT: implicit, as text literals are passed everywhere
  CString(const wchar_t* text, int length);
  CString(wchar_t ch, int repeat = 1);
  CString(const CString& other);
  CString(CString&& other) noexcept;
  ~CString();

  CString& operator=(const CString& other);
  CString& operator=(CString&& other) noexcept;
  CString& operator=(const wchar_t* text);
  CString& operator=(wchar_t ch);

  CString& operator+=(const CString& other);
  CString& operator+=(const wchar_t* text);
  CString& operator+=(wchar_t ch);

  int GetLength() const { return Header()->length; }
  bool IsEmpty() const { return Header()->length == 0; }
  void Empty();

  const wchar_t* GetString() const { return m_chars; }
  operator const wchar_t*() const { return m_chars; }  // NOLINT: the Windows API takes these

  // Index must be within 0..GetLength()-1.
  wchar_t GetAt(int index) const { return m_chars[index]; }
  wchar_t operator[](int index) const { return m_chars[index]; }
  void SetAt(int index, wchar_t ch);

  // A writable buffer of at least minLength characters (plus the terminator). Call
  // ReleaseBuffer before using the string again; -1 takes the length up to the first NUL.
  wchar_t* GetBuffer(int minLength = 0);
  wchar_t* GetBufferSetLength(int length);
  void ReleaseBuffer(int newLength = -1);

  CString Left(int count) const;
  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString Right(int count) const;

  // -1 when absent. A start outside the string gives -1.
  int Find(wchar_t ch, int start = 0) const;
  int Find(const wchar_t* sub, int start = 0) const;
  int ReverseFind(wchar_t ch) const;
  int FindOneOf(const wchar_t* chars) const;

  // Return the number of replacements / the new length, as the Windows string classes do.
  int Replace(const wchar_t* oldText, const wchar_t* newText);
  int Replace(wchar_t oldCh, wchar_t newCh);
  int Remove(wchar_t ch);
  int Delete(int index, int count = 1);
  int Insert(int index, wchar_t ch);
  int Insert(int index, const wchar_t* text);

  CString& MakeUpper();
  CString& MakeLower();
  CString& MakeReverse();
  CString& Trim();
  CString& TrimLeft();
  CString& TrimRight();
  CString& Trim(wchar_t ch);
  CString& TrimLeft(wchar_t ch);
  CString& TrimRight(wchar_t ch);

  int Compare(const wchar_t* text) const;
  int CompareNoCase(const wchar_t* text) const;

  // The next token after position start, delimited by any of the given characters; start moves
  // past it and becomes -1 when no token is left.
  CString Tokenize(const wchar_t* delimiters, int& start) const;

  void Format(const wchar_t* format, ...);
  void AppendFormat(const wchar_t* format, ...);
  void FormatV(const wchar_t* format, va_list args);
  void AppendFormatV(const wchar_t* format, va_list args);

  // Loads a string-table resource of the program; false (and empty) when there is none.
  // (windows.h turns the name into LoadStringW everywhere alike.)
  bool LoadString(unsigned id);

 private:
  // The characters follow this header in one heap block. refs counts the strings sharing the
  // block; a negative count marks the shared empty block or a buffer handed out by GetBuffer.
  struct Data {
    std::atomic<long> refs;
    int length;
    int capacity;  // characters, not counting the terminator
    wchar_t* chars() { return reinterpret_cast<wchar_t*>(this + 1); }
  };

  static Data* EmptyData();
  static Data* AllocData(int capacity);
  Data* Header() const;
  void Release();
  // Makes the buffer private and able to hold capacity characters, keeping the text.
  void PrepareWrite(int capacity);
  void Assign(const wchar_t* text, int length);
  void Append(const wchar_t* text, int length);
  void SetLength(int length);

  wchar_t* m_chars;  // points into a Data block, just after its header
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, const wchar_t* b);
CString operator+(const wchar_t* a, const CString& b);
CString operator+(const CString& a, wchar_t b);
CString operator+(wchar_t a, const CString& b);

bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, const wchar_t* b);
bool operator==(const wchar_t* a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, const wchar_t* b);
bool operator!=(const wchar_t* a, const CString& b);
bool operator<(const CString& a, const CString& b);
