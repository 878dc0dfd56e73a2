# The installation spine: script reader, registry key path and the run.
set(ENGINE_SPINE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/install_script.cc
  ${CMAKE_CURRENT_LIST_DIR}/reg_key_path.cc
  ${CMAKE_CURRENT_LIST_DIR}/installer.cc)
# FakeProgress (engine/fake_progress.h), the recording progress double, is
# header-only test support.
set(ENGINE_SPINE_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/install_script_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/reg_key_path_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/installer_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/install_observer_test.cc)
