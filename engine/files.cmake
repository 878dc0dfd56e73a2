# The file installation step, its file operations and the run's record.
set(ENGINE_FILES_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/checksum.cc
  ${CMAKE_CURRENT_LIST_DIR}/confine.cc
  ${CMAKE_CURRENT_LIST_DIR}/file_ops.cc
  ${CMAKE_CURRENT_LIST_DIR}/file_step.cc
  ${CMAKE_CURRENT_LIST_DIR}/install_record.cc
  ${CMAKE_CURRENT_LIST_DIR}/run_lock.cc
  ${CMAKE_CURRENT_LIST_DIR}/safe_copy.cc
  ${CMAKE_CURRENT_LIST_DIR}/seal.cc)
set(ENGINE_FILES_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/confine_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/file_ops_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/file_step_fault_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/file_step_system_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/file_step_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/safe_copy_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/seal_test.cc)
