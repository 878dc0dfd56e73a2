# GoogleTest: Debian's build on the native lane; on the Windows lanes it is
# built from the source tree that Debian's googletest package installs.
if(WIN32)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  add_library(pw_gtest_main INTERFACE)
  target_link_libraries(pw_gtest_main INTERFACE gtest gtest_main)
else()
  find_package(GTest REQUIRED)
  add_library(pw_gtest_main INTERFACE)
  target_link_libraries(pw_gtest_main INTERFACE GTest::gtest GTest::gtest_main)
endif()
