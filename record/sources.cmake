# The records of past runs: reading them, listing them, undoing a run.
set(RECORD_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/prune.cc
  ${CMAKE_CURRENT_LIST_DIR}/record_list.cc
  ${CMAKE_CURRENT_LIST_DIR}/record_reader.cc
  ${CMAKE_CURRENT_LIST_DIR}/undo.cc
  ${CMAKE_CURRENT_LIST_DIR}/undo_catalogue.cc)
set(RECORD_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/record_reader_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/undo_test.cc)
# The install and its undo on the real POSIX file system, with faults
# and planted links beneath them.
set(RECORD_POSIX_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/install_system_fault_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/temporary_system_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/undo_links_test.cc)
