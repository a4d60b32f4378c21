#include "webdata/reply_shape.h"

#include <cstring>
#include <string_view>

#include "foundation/logger.h"
#include "webdata/reply_limits.h"

namespace {

namespace log_level = em_utility::log_level;

bool Refuse(const char* what, const char* limit, int value) {
  GetLogger()->log(log_level::error, "%s refused: %s %d", what, limit, value);
  return false;
}

// The position just past the first occurrence of end at or after from; the text's size when
// there is none (an unfinished construct takes the rest of the text).
size_t SkipPast(const std::string& text, size_t from, const char* end) {
  size_t at = text.find(end, from);
  return at == std::string::npos ? text.size() : at + std::strlen(end);
}

// The position just past the '>' that ends the tag beginning at from; quoted attribute values
// may hold a '>'.
size_t SkipTag(const std::string& text, size_t from, bool& selfClosing) {
  char quote = 0;
  for (size_t i = from; i < text.size(); ++i) {
    char c = text[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>') {
      selfClosing = i > from && text[i - 1] == '/';
      return i + 1;
    }
  }
  selfClosing = true;
  return text.size();
}

// An element begins with '<' and a letter, '_' or a byte above 126 (the reader takes every such
// byte for a letter). Anything else after '<' is unknown markup to it, which ends at the first
// '>' whatever quotes stand before it.
bool StartsElement(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '_' || u >= 0x7F;
}

// The reader takes a quoted value of an XML declaration whole, '>' and all, so with quotes in
// any other form a declaration could end later for it than at its first '>' (at end), and the
// text between could hide elements. The plain form the site writes: after "<?xml", name="value"
// or name='value' pairs after spaces, values without quotes, white space or angle brackets,
// then "?>".
bool IsPlainDeclaration(const std::string& text, size_t i, size_t end) {
  for (;;) {
    const size_t spaces = i;
    while (i < end && text[i] == ' ') ++i;
    if (i + 1 == end && text[i] == '?') return true;
    const size_t name = i;
    while (i < end && ((text[i] >= 'a' && text[i] <= 'z') || (text[i] >= 'A' && text[i] <= 'Z'))) {
      ++i;
    }
    if (name == spaces || i == name || i + 2 >= end || text[i] != '=') return false;
    const char quote = text[++i];
    if (quote != '"' && quote != '\'') return false;
    for (++i; i < end && text[i] != quote; ++i) {
      const char c = text[i];
      if (c == '"' || c == '\'' || c == '<' || c == '>' || c == ' ' || c == '\t' || c == '\r' ||
          c == '\n') {
        return false;
      }
    }
    if (i++ >= end) return false;
  }
}

// "<?xml" in any case of its letters, as the reader matches it.
bool StartsDeclaration(const std::string& text, size_t at) {
  if (text.compare(at, 2, "<?") != 0 || text.size() - at < 5) return false;
  for (size_t n = 0; n < 3; ++n) {
    if ((text[at + 2 + n] | 0x20) != "xml"[n]) return false;
  }
  return true;
}

}  // namespace

bool JsonShapeWithinLimits(const std::wstring& text) {
  int depth = 0;
  int values = 1;
  bool inString = false;
  for (size_t i = 0; i < text.size(); ++i) {
    wchar_t c = text[i];
    if (inString) {
      if (c == L'\\') {
        ++i;
      } else if (c == L'"') {
        inString = false;
      }
      continue;
    }
    if (c == L'"') {
      inString = true;
    } else if (c == L'[' || c == L'{') {
      if (++depth > reply_limits::kJsonDepth) {
        return Refuse("JSON", "nested deeper than", reply_limits::kJsonDepth);
      }
    } else if (c == L']' || c == L'}') {
      --depth;
    } else if (c == L',' && ++values > reply_limits::kJsonValues) {
      // Every value after the first of an array or object follows a comma.
      return Refuse("JSON", "more values than", reply_limits::kJsonValues);
    }
  }
  return true;
}

bool XmlShapeWithinLimits(const std::string& text) {
  int depth = 0;
  int elements = 0;
  for (size_t i = text.find('<'); i < text.size(); i = text.find('<', i)) {
    if (text.compare(i, 4, "<!--") == 0) {
      i = SkipPast(text, i + 4, "-->");
    } else if (text.compare(i, 9, "<![CDATA[") == 0) {
      i = SkipPast(text, i + 9, "]]>");
    } else if (StartsDeclaration(text, i)) {
      const size_t end = text.find('>', i);
      if (end != std::string::npos &&
          std::string_view(text).substr(i, end - i).find_first_of("\"'") != std::string::npos &&
          !IsPlainDeclaration(text, i + 5, end)) {
        return Refuse("XML", "declaration not plain at", static_cast<int>(i));
      }
      i = SkipPast(text, i + 5, ">");
    } else if (text.compare(i, 2, "</") == 0) {
      // Outside every element an end tag is unknown markup to the reader: it closes nothing.
      if (depth > 0) --depth;
      i = SkipPast(text, i + 2, ">");
    } else if (i + 1 >= text.size() || !StartsElement(text[i + 1])) {
      // Declarations of other kinds, processing instructions and the like.
      i = SkipPast(text, i + 1, ">");
    } else {
      if (++elements > reply_limits::kXmlElements) {
        return Refuse("XML", "more elements than", reply_limits::kXmlElements);
      }
      bool selfClosing = false;
      i = SkipTag(text, i + 1, selfClosing);
      if (!selfClosing && ++depth > reply_limits::kXmlDepth) {
        return Refuse("XML", "nested deeper than", reply_limits::kXmlDepth);
      }
    }
  }
  return true;
}
