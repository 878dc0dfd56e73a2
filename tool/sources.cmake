# packwright-tool: check, plan, install, list, undo, pack and verify from the
# command line.
set(TOOL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/catalogue_check.cc
  ${CMAKE_CURRENT_LIST_DIR}/check.cc
  ${CMAKE_CURRENT_LIST_DIR}/check_command.cc
  ${CMAKE_CURRENT_LIST_DIR}/check_entries.cc
  ${CMAKE_CURRENT_LIST_DIR}/check_layout.cc
  ${CMAKE_CURRENT_LIST_DIR}/check_seal.cc
  ${CMAKE_CURRENT_LIST_DIR}/install_command.cc
  ${CMAKE_CURRENT_LIST_DIR}/json.cc
  ${CMAKE_CURRENT_LIST_DIR}/options.cc
  ${CMAKE_CURRENT_LIST_DIR}/pack_command.cc
  ${CMAKE_CURRENT_LIST_DIR}/pack_list.cc
  ${CMAKE_CURRENT_LIST_DIR}/overlay_file_system.cc
  ${CMAKE_CURRENT_LIST_DIR}/plan.cc
  ${CMAKE_CURRENT_LIST_DIR}/plan_print.cc
  ${CMAKE_CURRENT_LIST_DIR}/recording_registry.cc
  ${CMAKE_CURRENT_LIST_DIR}/session.cc
  ${CMAKE_CURRENT_LIST_DIR}/texture_entry.cc
  ${CMAKE_CURRENT_LIST_DIR}/tool_shell.cc
  ${CMAKE_CURRENT_LIST_DIR}/undo_command.cc
  ${CMAKE_CURRENT_LIST_DIR}/verify_command.cc
  ${CMAKE_CURRENT_LIST_DIR}/zip_writer.cc)
set(TOOL_MAIN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/main.cc)
set(TOOL_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/check_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/plan_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/tool_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/undo_command_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/zip_writer_test.cc)
# The property suite: generated packages and Kestrova trees run through
# check, plan, install and undo, over the fake and the real file system.
set(TOOL_POSIX_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/prop_case.cc
  ${CMAKE_CURRENT_LIST_DIR}/prop_check.cc
  ${CMAKE_CURRENT_LIST_DIR}/prop_known.cc
  ${CMAKE_CURRENT_LIST_DIR}/prop_world.cc
  ${CMAKE_CURRENT_LIST_DIR}/prop_test.cc)
