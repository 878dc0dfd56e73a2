set(RES_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/string_table.cc)
set(RES_TESTS)
# Resource scripts, compiled into the Windows program and the Windows tests.
set(RES_RC_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/strings.rc)
# The resource compiler reports no dependencies of its own, so without
# these an edited text would leave the old one in the programs.
set_source_files_properties(${RES_RC_SOURCES} PROPERTIES
  OBJECT_DEPENDS "${CMAKE_CURRENT_LIST_DIR}/strings.def;${CMAKE_CURRENT_LIST_DIR}/resource.h")
