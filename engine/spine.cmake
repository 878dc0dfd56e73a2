# The installation spine: script reader, registry key path and the run.
set(ENGINE_SPINE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/install_script.cc
  ${CMAKE_CURRENT_LIST_DIR}/reg_key_path.cc
  ${CMAKE_CURRENT_LIST_DIR}/installer.cc)
set(ENGINE_SPINE_TESTS)
