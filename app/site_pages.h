// Addresses of the site's pages that the program opens in the browser.
#pragma once

#include "winlayer/cstring.h"

// "http://" and the site's home host, followed by path ("" for the home page itself).
CString SitePage(const wchar_t* path = L"");
