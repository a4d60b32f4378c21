// Compiles TinyXML's tinyxml.cpp inside namespace em_utility.
#include "em_tinyxml.h"

namespace em_utility {
#include "tinyxml.cpp"
}  // namespace em_utility
