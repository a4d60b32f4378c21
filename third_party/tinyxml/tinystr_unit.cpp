// Compiles TinyXML's tinystr.cpp inside namespace em_utility.
#include "em_tinyxml.h"

namespace em_utility {
#include "tinystr.cpp"
}  // namespace em_utility
