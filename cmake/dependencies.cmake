# Third-party code: boost headers, TinyXML (compiled inside em_utility), libcurl, zlib, GoogleTest.

# boost is header-only for what we use. /usr/include itself must stay off the mingw include
# path (it would pull in glibc headers), so a private folder holds just a link to boost.
set(REV_BOOST_SHIM "${CMAKE_BINARY_DIR}/boost-include")
file(MAKE_DIRECTORY "${REV_BOOST_SHIM}")
if(NOT EXISTS "${REV_BOOST_SHIM}/boost")
  file(CREATE_LINK /usr/include/boost "${REV_BOOST_SHIM}/boost" SYMBOLIC)
endif()
add_library(rev_boost INTERFACE)
target_include_directories(rev_boost SYSTEM INTERFACE "${REV_BOOST_SHIM}")
# BOOST_BIND_GLOBAL_PLACEHOLDERS: property_tree's JSON reader still includes the old bind header,
# which otherwise prints a deprecation note into every build that reads JSON.
target_compile_definitions(rev_boost INTERFACE BOOST_ALL_NO_LIB BOOST_THREAD_USE_LIB
                                               BOOST_BIND_GLOBAL_PLACEHOLDERS)

# TinyXML lives in namespace em_utility: thin wrapper files include the original sources
# inside the namespace (third_party/tinyxml).
add_subdirectory(third_party/tinyxml)

add_library(rev_curl STATIC IMPORTED GLOBAL)
set_target_properties(rev_curl PROPERTIES
  IMPORTED_LOCATION "${REV_DEPS}/curl/lib/libcurl.a"
  INTERFACE_INCLUDE_DIRECTORIES "${REV_DEPS}/curl/include"
  INTERFACE_LINK_LIBRARIES "z;ws2_32;crypt32;bcrypt;secur32;advapi32")

add_library(rev_zlib INTERFACE)
target_link_libraries(rev_zlib INTERFACE z)

# GoogleTest from Debian's source package, cross-built with the project.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
