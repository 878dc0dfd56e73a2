# The texture catalogue and the texture script step.
set(TEXTURES_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/entry_table.cc
  ${CMAKE_CURRENT_LIST_DIR}/texture_catalogue.cc
  ${CMAKE_CURRENT_LIST_DIR}/texture_catalogue_write.cc
  ${CMAKE_CURRENT_LIST_DIR}/texture_step.cc)
set(TEXTURES_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/entry_table_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/texture_catalogue_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/texture_catalogue_disk_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/texture_catalogue_write_test.cc
  ${CMAKE_CURRENT_LIST_DIR}/texture_step_test.cc)
