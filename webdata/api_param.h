// One parameter of a web-API method call. A call's parameters travel as a vector in the order the
// caller gives them: that order is the order of the query text.
#pragma once

#include <string>

struct ApiParam {
  std::string name;
  std::string value;
};
