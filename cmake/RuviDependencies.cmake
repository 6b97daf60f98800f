# Finds the project's dependencies. For the Windows build, Xerces-C and
# GoogleTest come from the cache that scripts/setup fills (keyed by version);
# Boost is seen through a folder that holds only a link to /usr/include/boost,
# so the cross build never sees the host's other headers.

if(DEFINED ENV{RUVI_CACHE})
  set(RUVI_CACHE_DEFAULT $ENV{RUVI_CACHE})
else()
  set(RUVI_CACHE_DEFAULT $ENV{HOME}/.cache/ruvi)
endif()
set(RUVI_DEPS ${RUVI_CACHE_DEFAULT}/deps CACHE PATH "Cross-built Windows dependencies")

set(RUVI_BOOST_INCLUDE ${CMAKE_BINARY_DIR}/boost-include)
file(MAKE_DIRECTORY ${RUVI_BOOST_INCLUDE})
file(CREATE_LINK /usr/include/boost ${RUVI_BOOST_INCLUDE}/boost SYMBOLIC)
add_library(ruvi_boost INTERFACE)
target_include_directories(ruvi_boost SYSTEM INTERFACE ${RUVI_BOOST_INCLUDE})

if(WIN32)
  # The versions scripts/setup built, from the file it read them from.
  file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/dependency_versions.env versions REGEX "^[A-Z_]+=")
  foreach(line IN LISTS versions)
    string(REGEX MATCH "^([A-Z_]+)=(.*)$" ignored "${line}")
    set(${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
  endforeach()
  set(XercesC_DIR ${RUVI_DEPS}/xerces-c-${XERCES_VERSION}-mingw64/cmake)
  set(GTest_DIR ${RUVI_DEPS}/googletest-${GTEST_VERSION}-mingw64/lib/cmake/GTest)
  find_package(Threads REQUIRED)  # Xerces-C links it
  find_package(XercesC 3.2 CONFIG REQUIRED)
  find_package(GTest CONFIG REQUIRED)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run)
else()
  find_package(XercesC 3.2 REQUIRED)
  if(NOT RUVI_FUZZ)
    find_package(GTest REQUIRED)
    find_package(benchmark REQUIRED)
    # Debian ships cpp-httplib compiled, with a pkg-config file only. Its
    # Cflags name the features the library was built with (TLS, zlib,
    # brotli); they change the class layouts, so they are taken as they are
    # even though nothing here uses TLS.
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(httplib REQUIRED IMPORTED_TARGET cpp-httplib)
  endif()
endif()
include(GoogleTest)
