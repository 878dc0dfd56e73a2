set(RES_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/string_table.cc)
set(RES_TESTS)
# Resource scripts, compiled into the Windows program and the Windows tests.
set(RES_RC_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/strings.rc)
