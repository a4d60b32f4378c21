// Compressed bodies for tests and benchmarks of the inflating readers.
#pragma once

#include <string>

namespace testsupport {

// The bytes deflated whole: windowBits 31 writes a gzip stream, 15 a zlib one, -15 raw deflate.
std::string Deflate(const std::string& plain, int windowBits);

}  // namespace testsupport
