# Compile settings for the project's own targets, and the test helper.

# Source files are UTF-8; every narrow literal is GBK in both builds, as the
# system's texts are GBK on the target machines. (clang cannot re-encode
# literals; it builds only the fuzz targets, where the texts do not matter.)
set(RUVI_COMPILE_OPTIONS -Wall -Wextra -Werror)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  list(APPEND RUVI_COMPILE_OPTIONS -finput-charset=UTF-8 -fexec-charset=GBK)
elseif(NOT RUVI_FUZZ)
  message(FATAL_ERROR "The installer's texts need GCC's -fexec-charset=GBK")
endif()
if(WIN32)
  # Static runtime: the programs need nothing but system DLLs.
  add_link_options(-static)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX)
endif()

if(RUVI_FUZZ)
  set(RUVI_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
endif()

function(ruvi_target_defaults target)
  target_compile_options(${target} PRIVATE ${RUVI_COMPILE_OPTIONS})
  if(RUVI_FUZZ)
    target_compile_options(${target} PRIVATE ${RUVI_SANITIZERS} -fsanitize=fuzzer-no-link)
    target_link_options(${target} PRIVATE ${RUVI_SANITIZERS})
  endif()
endfunction()

# ruvi_layer_includes(TARGET FOLDER...)
# The include root of one layer of the installer: a folder of the build that
# holds links to exactly the folders of installer/ named (the layer's own and
# those of the layers below it). The target and everything that links it see
# only that root, so "net/http_client.h" resolves where net/ is below, and an
# include that runs upward does not compile.
function(ruvi_layer_includes target)
  set(root ${CMAKE_BINARY_DIR}/layers/${target})
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root})
  foreach(folder IN LISTS ARGN)
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/installer/${folder} ${root}/${folder} SYMBOLIC)
  endforeach()
  target_include_directories(${target} PUBLIC ${root})
endfunction()

# ruvi_add_test(NAME SOURCES... [LIBS libs...])
# A GoogleTest program whose cases ctest lists one by one. Windows test
# programs run under Wine through the cross-compiling emulator.
function(ruvi_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  ruvi_target_defaults(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    PROPERTIES TIMEOUT 300)
endfunction()

# ruvi_add_service_test(NAME SOURCES... [LIBS libs...])
# A Windows test program whose cases need servers, proxies or scripted HTTP
# answers (tests/support/test_services.h): ctest runs every case inside a
# services host of its own (tests/support/run-with-services), under Wine.
# The host build must be built first (RUVI_HOST_BUILD, default build/host).
function(ruvi_add_service_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  ruvi_target_defaults(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ruvi_test_support GTest::gmock
    GTest::gtest_main)
  # Read by gtest_discover_tests, so set before it.
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
    "${CMAKE_SOURCE_DIR}/tests/support/run-with-services;${CMAKE_SOURCE_DIR}/scripts/wine-run")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    PROPERTIES TIMEOUT 300)
endfunction()
