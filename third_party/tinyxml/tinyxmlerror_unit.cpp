// Compiles TinyXML's tinyxmlerror.cpp inside namespace em_utility.
#include "em_tinyxml.h"

namespace em_utility {
#include "tinyxmlerror.cpp"
}  // namespace em_utility
