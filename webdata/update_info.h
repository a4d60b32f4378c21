// UpdateInfo: the update description, the newest version and where to get it.
#pragma once

#include <string>

#include "winlayer/cstring.h"

struct UpdateInfo {
  unsigned major = 0;
  unsigned minor = 0;
  unsigned build = 0;
  unsigned revision = 0;
  std::string version_text;
  CString url;  // where the new version is downloaded
  CString tip;  // shown in the update dialog
};
