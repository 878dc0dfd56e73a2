# packwright-tool: check, plan and install from the command line.
set(TOOL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/check_command.cc
  ${CMAKE_CURRENT_LIST_DIR}/check_entries.cc
  ${CMAKE_CURRENT_LIST_DIR}/check_layout.cc
  ${CMAKE_CURRENT_LIST_DIR}/install_command.cc
  ${CMAKE_CURRENT_LIST_DIR}/json.cc
  ${CMAKE_CURRENT_LIST_DIR}/options.cc
  ${CMAKE_CURRENT_LIST_DIR}/overlay_file_system.cc
  ${CMAKE_CURRENT_LIST_DIR}/plan.cc
  ${CMAKE_CURRENT_LIST_DIR}/plan_print.cc
  ${CMAKE_CURRENT_LIST_DIR}/positioned_script.cc
  ${CMAKE_CURRENT_LIST_DIR}/recording_registry.cc
  ${CMAKE_CURRENT_LIST_DIR}/session.cc
  ${CMAKE_CURRENT_LIST_DIR}/texture_entry.cc
  ${CMAKE_CURRENT_LIST_DIR}/tool_shell.cc)
set(TOOL_MAIN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/main.cc)
# The plan's promise, checked by its test and its fuzzer.
set(TOOL_TEST_SUPPORT
  ${CMAKE_CURRENT_LIST_DIR}/plan_property.cc)
set(TOOL_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/check_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/positioned_script_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/plan_test.cc)
