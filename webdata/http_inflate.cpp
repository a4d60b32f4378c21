#include "webdata/http_inflate.h"

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr unsigned kWindowSize = 16384;
// 32 + 15: zlib or gzip header, recognised by inflate itself.
constexpr int kAutoHeaderWindowBits = 47;

// A growing heap block handed to the caller as text. Grows geometrically: a large body must not
// be copied once per window.
class TextBlock {
 public:
  explicit TextBlock(size_t limit) : m_limit(limit) {}
  ~TextBlock() { std::free(m_data); }

  // False when memory runs out or the text would pass the limit.
  bool Append(const unsigned char* bytes, size_t count) {
    if (count > m_limit - m_size || !Reserve(m_size + count + 1)) return false;
    std::memcpy(m_data + m_size, bytes, count);
    m_size += count;
    return true;
  }

  // Gives the block away, NUL-terminated; null when not even the terminator fits.
  char* Release(unsigned* length) {
    if (!Reserve(m_size + 1)) return nullptr;
    m_data[m_size] = '\0';
    if (length) *length = static_cast<unsigned>(m_size);
    char* data = m_data;
    m_data = nullptr;
    return data;
  }

 private:
  bool Reserve(size_t needed) {
    if (needed <= m_capacity) return true;
    size_t capacity = m_capacity ? m_capacity : kWindowSize + 1;
    while (capacity < needed) capacity *= 2;
    // The text and its terminator never need more than this.
    const size_t most = m_limit == SIZE_MAX ? SIZE_MAX : m_limit + 1;
    if (capacity > most) capacity = needed > most ? needed : most;
    char* grown = static_cast<char*>(std::realloc(m_data, capacity));
    if (!grown) return false;
    m_data = grown;
    m_capacity = capacity;
    return true;
  }

  const size_t m_limit;
  char* m_data = nullptr;
  size_t m_size = 0;
  size_t m_capacity = 0;
};

}  // namespace

int InflateHttpBody(const char* data, unsigned length, char** out, bool gzip, unsigned* outLength,
                    unsigned limit) {
  *out = nullptr;
  if (outLength) *outLength = 0;

  z_stream stream;
  std::memset(&stream, 0, sizeof stream);
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
  stream.avail_in = data ? length : 0;
  int result = gzip ? inflateInit2(&stream, kAutoHeaderWindowBits) : inflateInit(&stream);
  if (result != Z_OK) return result;

  TextBlock block(limit);
  unsigned char window[kWindowSize];
  for (;;) {
    stream.next_out = window;
    stream.avail_out = kWindowSize;
    int step = inflate(&stream, Z_NO_FLUSH);
    // Whatever the step produced before an error is kept: a caller gets all there was.
    if (!block.Append(window, kWindowSize - stream.avail_out)) {
      result = Z_MEM_ERROR;
      break;
    }
    if (step == Z_MEM_ERROR || step == Z_DATA_ERROR) {
      result = step;
      break;
    }
    if (step == Z_NEED_DICT) {
      result = Z_DATA_ERROR;
      break;
    }
    // A window left partly empty means inflate has nothing more to give.
    if (stream.avail_out != 0) {
      result = step == Z_STREAM_END ? Z_OK : Z_DATA_ERROR;
      break;
    }
  }
  inflateEnd(&stream);
  *out = block.Release(outLength);
  if (!*out) result = Z_MEM_ERROR;
  return result;
}
