#include "app/site_pages.h"

#include "foundation/site_addresses.h"
#include "foundation/text_convert.h"

CString SitePage(const wchar_t* path) {
  return em_utility::utf8_to_wide("http://" + site::HomeHost()) + path;
}
