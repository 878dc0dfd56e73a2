# POSIX implementation of the platform seam, and its tests.
set(PLATFORM_POSIX_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/case_lookup_posix.cc
  ${CMAKE_CURRENT_LIST_DIR}/console_posix.cc
  ${CMAKE_CURRENT_LIST_DIR}/dos_time_posix.cc
  ${CMAKE_CURRENT_LIST_DIR}/file_system_posix.cc
  ${CMAKE_CURRENT_LIST_DIR}/io_posix.cc
  ${CMAKE_CURRENT_LIST_DIR}/platform_posix.cc
  ${CMAKE_CURRENT_LIST_DIR}/posix_syscalls.cc
  ${CMAKE_CURRENT_LIST_DIR}/reg_file.cc
  ${CMAKE_CURRENT_LIST_DIR}/registry_posix.cc
  ${CMAKE_CURRENT_LIST_DIR}/shell_posix.cc)
# Swaps the system calls for twins that log them and fail chosen ones.
set(PLATFORM_POSIX_TEST_SUPPORT
  ${CMAKE_CURRENT_LIST_DIR}/syscall_faults.cc)
set(PLATFORM_POSIX_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/test_dir_posix.cc
  ${CMAKE_CURRENT_LIST_DIR}/file_system_posix_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/reg_file_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/registry_posix_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/shell_posix_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/syscall_faults_test.cc)
