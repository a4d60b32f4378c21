// TinyXML, placed in namespace em_utility (TiXmlDocument is em_utility::TiXmlDocument).
// Every standard header TinyXML includes is included first, outside the namespace, so that its
// include guards keep it out of em_utility.
#pragma once

#include <assert.h>
#include <ctype.h>
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <iostream>
#include <sstream>
#include <string>

namespace em_utility {
#include "tinyxml.h"
}  // namespace em_utility
