// Where the site lives: every host name the program talks to or shows, in one place.
//
// The defaults come from the build (CMake cache variables REV_SITE_*; they point at the stand-in
// site on 127.0.0.1 so that a fresh build works against it). A host may carry a port
// ("127.0.0.1:18081"); every transport accepts that form.
//
// Test runs and the demo move the whole site at run time with two environment variables:
//   REVIVEROD_SITE   host[:port] of the web API, web service, static files and home pages
//   REVIVEROD_LOGIN  host[:port] of the login server (port 8080 when not given)
#pragma once

#include <string>

namespace site {

// Web API host used for the token grants and whenever the settings' ApiURL is empty.
const std::string& DefaultApiHost();
// Host of the web service ("/app/ws/...").
const std::string& WebServiceHost();
// Host of the static-file server ("/daruruvidev/update.xml").
const std::string& StaticFileHost();
// The site's own host, for page addresses opened in the browser and the Referer of downloads.
const std::string& HomeHost();
// The second label of the site's public host name, which pasted song and album addresses carry
// ("www." + label + ".").
const std::string& DomainLabel();
// Login server host name and port.
const std::string& LoginHost();
unsigned short LoginPort();

}  // namespace site
