// Inflating a compressed HTTP body into a heap block of text.
#pragma once

#include <climits>

// Inflates length bytes of data: with gzip set the stream may carry a gzip or a zlib header (told
// apart by the header itself), without it a zlib header. *out always receives a heap block to be
// released with std::free (null only when no memory could be had): the output inflated so far,
// NUL-terminated, its length in *outLength when that is given. The result is 0 (Z_OK) for a
// complete stream, -3 (Z_DATA_ERROR) for a corrupt, truncated or dictionary stream, -4
// (Z_MEM_ERROR) when memory ran out or the output would pass limit bytes (inflation stops there,
// so a small bomb cannot fill the memory); the inflate state is released on every path.
int InflateHttpBody(const char* data, unsigned length, char** out, bool gzip,
                    unsigned* outLength = nullptr, unsigned limit = UINT_MAX);
