// Compiles TinyXML's tinyxmlparser.cpp inside namespace em_utility.
#include "em_tinyxml.h"

namespace em_utility {
#include "tinyxmlparser.cpp"
}  // namespace em_utility
