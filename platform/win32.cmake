# Win32 implementation of the platform seam, and its tests.
set(PLATFORM_WIN32_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/console_win32.cc
  ${CMAKE_CURRENT_LIST_DIR}/dos_time_win32.cc
  ${CMAKE_CURRENT_LIST_DIR}/file_system_win32.cc
  ${CMAKE_CURRENT_LIST_DIR}/platform_win32.cc
  ${CMAKE_CURRENT_LIST_DIR}/registry_win32.cc
  ${CMAKE_CURRENT_LIST_DIR}/shell_win32.cc
  ${CMAKE_CURRENT_LIST_DIR}/wide_win32.cc)
set(PLATFORM_WIN32_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/test_dir_win32.cc
  ${CMAKE_CURRENT_LIST_DIR}/file_system_win32_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/registry_win32_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/shell_win32_test.cc)
