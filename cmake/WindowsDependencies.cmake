# Libraries that Debian ships for Linux only, built for Windows from
# Debian's own sources (scripts/install-deps-windows.sh fetches them):
# pugixml from its source package, GoogleTest from /usr/src/googletest,
# CLI11 header-only from /usr/include/CLI. Included before the project's
# warning options, which are not meant for third-party code.
# Libraries cross-built outside the compiler's own root (Qt for Windows,
# named in CMAKE_PREFIX_PATH) are searched as roots of their own.
list(APPEND CMAKE_FIND_ROOT_PATH ${CMAKE_PREFIX_PATH})

set(TOVREL_PUGIXML_SOURCE_DIR "" CACHE PATH "pugixml sources (apt-get source pugixml)")
if(NOT EXISTS "${TOVREL_PUGIXML_SOURCE_DIR}/src/pugixml.cpp")
  message(FATAL_ERROR "TOVREL_PUGIXML_SOURCE_DIR must name unpacked pugixml sources (scripts/install-deps-windows.sh)")
endif()
add_library(tovrel_pugixml STATIC "${TOVREL_PUGIXML_SOURCE_DIR}/src/pugixml.cpp")
target_include_directories(tovrel_pugixml SYSTEM PUBLIC "${TOVREL_PUGIXML_SOURCE_DIR}/src")
add_library(pugixml::pugixml ALIAS tovrel_pugixml)

# CLI11's headers only, seen through a directory of their own (the rest of
# /usr/include is Linux's).
set(TOVREL_CLI11_INCLUDE "/usr/include/CLI" CACHE PATH "CLI11 headers")
if(NOT EXISTS "${TOVREL_CLI11_INCLUDE}/CLI.hpp")
  message(FATAL_ERROR "CLI11 headers not found in ${TOVREL_CLI11_INCLUDE} (libcli11-dev)")
endif()
file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/cli11-include")
file(CREATE_LINK "${TOVREL_CLI11_INCLUDE}" "${CMAKE_BINARY_DIR}/cli11-include/CLI" SYMBOLIC)
add_library(tovrel_cli11 INTERFACE)
target_include_directories(tovrel_cli11 SYSTEM INTERFACE "${CMAKE_BINARY_DIR}/cli11-include")
add_library(CLI11::CLI11 ALIAS tovrel_cli11)

if(TOVREL_TESTS)
  set(TOVREL_GOOGLETEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH "GoogleTest sources (libgtest-dev)")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory("${TOVREL_GOOGLETEST_SOURCE_DIR}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
endif()
