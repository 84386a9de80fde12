# GoogleTest: Debian's package on Linux; on the Windows cross build, Debian's sources built with
# the same toolchain. Windows tests run under the crossing emulator (wine).
if(CMAKE_CROSSCOMPILING)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # GoogleTest 1.12 and later define the GTest:: names themselves; older sources do not.
  foreach(lib gtest gtest_main gmock)
    if(NOT TARGET GTest::${lib})
      add_library(GTest::${lib} ALIAS ${lib})
    endif()
  endforeach()
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# drivanta_add_test(NAME name SOURCES ... LIBS ...)
function(drivanta_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
  if(NOT T_SOURCES MATCHES "TestMain")
    target_link_libraries(${T_NAME} PRIVATE GTest::gtest_main)
  endif()
  # The executable's name leads every test's name, so `ctest -R <area>` picks an area's tests.
  gtest_discover_tests(${T_NAME} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       TEST_PREFIX "${T_NAME}."
                       WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
endfunction()
