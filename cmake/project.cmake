# Helpers shared by every folder's CMakeLists.txt.

# Windows system libraries the program uses; static libraries pass them on to executables.
add_library(rev_winlibs INTERFACE)
target_link_libraries(rev_winlibs INTERFACE
  gdiplus comctl32 comdlg32 shell32 ole32 oleaut32 strmiids uuid version wininet ws2_32
  msimg32 gdi32 user32 imm32 winmm advapi32 kernel32)

set(REV_WARNINGS -Wall -Wextra)

# rev_library(<name> [DEPENDS <targets>...])
# One static library from every .cpp of the calling folder. Files are globbed so that adding a
# file to a folder needs no edit here.
function(rev_library name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp"
                                      "${CMAKE_CURRENT_SOURCE_DIR}/*.rc")
  if(sources)
    add_library(${name} STATIC ${sources})
    target_compile_options(${name} PRIVATE ${REV_WARNINGS})
    set(scope PUBLIC)
  else()
    add_library(${name} INTERFACE)
    set(scope INTERFACE)
  endif()
  target_include_directories(${name} ${scope} "${PROJECT_SOURCE_DIR}")
  target_link_libraries(${name} ${scope} ${ARG_DEPENDS} rev_boost rev_winlibs)
endfunction()

# Where the ctest fixture "standin" (tests/standin) keeps the background stand-in's ports.json.
set(REV_STANDIN_STATE "${CMAKE_BINARY_DIR}/standin")

# rev_test(<name> LABEL <folder> SOURCES <files>... [LIBS <targets>...]
#          [FIXTURES <fixtures>...] [TIMEOUT <seconds>] [RUN_SERIAL])
# One GoogleTest executable, registered as one ctest entry run under Wine. A test that requires
# the fixture "standin" gets REV_STANDIN_PORTS (read by testsupport::StandinClient) and runs
# alone among the tests that share the stand-in.
function(rev_test name)
  cmake_parse_arguments(ARG "RUN_SERIAL" "LABEL;TIMEOUT" "SOURCES;LIBS;FIXTURES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${REV_WARNINGS})
  target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}" "${PROJECT_SOURCE_DIR}/tests")
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} rev_testsupport gtest_main gmock rev_boost rev_winlibs)
  # Tests print and read Chinese text on the console and take their files from disk.
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no
           WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set(env "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix" "REV_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  if("standin" IN_LIST ARG_FIXTURES)
    # One stand-in serves the whole run; its scenarios and log belong to one test at a time.
    list(APPEND env "REV_STANDIN_PORTS=${REV_STANDIN_STATE}/ports.json")
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK standin)
  endif()
  set_tests_properties(${name} PROPERTIES
    LABELS "${ARG_LABEL}" TIMEOUT ${ARG_TIMEOUT} ENVIRONMENT "${env}")
  if(ARG_FIXTURES)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED "${ARG_FIXTURES}")
  endif()
  if(ARG_RUN_SERIAL)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
  endif()
endfunction()

# rev_folder_tests(<folder label> LIBS <targets>... [FIXTURES ...] [SKIP <test_x.cpp>...])
# Every test_<x>.cpp of the calling folder becomes the executable <label>_<x>. A test_net_<x>.cpp
# talks to the stand-in site and so requires the fixture "standin". Files named in SKIP are left
# to an rev_test call of their own (e.g. one that adds a resource script).
function(rev_folder_tests label)
  cmake_parse_arguments(ARG "" "" "LIBS;FIXTURES;SKIP" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/test_*.cpp")
  foreach(src ${tests})
    get_filename_component(name "${src}" NAME)
    if(name IN_LIST ARG_SKIP)
      continue()
    endif()
    get_filename_component(stem "${src}" NAME_WE)
    string(REGEX REPLACE "^test_" "" stem "${stem}")
    set(fixtures ${ARG_FIXTURES})
    if(stem MATCHES "^net_")
      list(APPEND fixtures standin)
    endif()
    rev_test(${label}_${stem} LABEL ${label} SOURCES "${src}" LIBS ${ARG_LIBS}
             FIXTURES ${fixtures})
  endforeach()
endfunction()
