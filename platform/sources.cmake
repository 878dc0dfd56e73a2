# The platform seam: portable helpers, then one implementation per system.
set(PLATFORM_COMMON_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/code_page.cc
  ${CMAKE_CURRENT_LIST_DIR}/console.cc
  ${CMAKE_CURRENT_LIST_DIR}/dos_time.cc
  ${CMAKE_CURRENT_LIST_DIR}/paths.cc
  ${CMAKE_CURRENT_LIST_DIR}/text_file.cc
  ${CMAKE_CURRENT_LIST_DIR}/unicode.cc
  ${CMAKE_CURRENT_LIST_DIR}/utf16.cc
  ${CMAKE_CURRENT_LIST_DIR}/xxhash64.cc)
# Test doubles, linked into the test executable only.
set(PLATFORM_TEST_SUPPORT
  ${CMAKE_CURRENT_LIST_DIR}/fake_faults.cc
  ${CMAKE_CURRENT_LIST_DIR}/fake_file_system.cc
  ${CMAKE_CURRENT_LIST_DIR}/fake_registry.cc
  ${CMAKE_CURRENT_LIST_DIR}/fake_shell.cc)
# The file system contract runs over the fake and over the system's own, so
# it is in every lane; test_dir_*.cc gives it the system's directory.
set(PLATFORM_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/file_system_contract_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/paths_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/text_file_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/unicode_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/test_find.cc
  ${CMAKE_CURRENT_LIST_DIR}/xxhash64_test.cc)
include(${CMAKE_CURRENT_LIST_DIR}/posix.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/win32.cmake)
