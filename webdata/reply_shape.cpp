#include "webdata/reply_shape.h"

#include <cstring>

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
    } else if (text.compare(i, 2, "<!") == 0 || text.compare(i, 2, "<?") == 0) {
      i = SkipPast(text, i + 2, ">");
    } else if (text.compare(i, 2, "</") == 0) {
      --depth;
      i = SkipPast(text, i + 2, ">");
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
