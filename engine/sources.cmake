# The installation engine: localized messages (used by the steps and the
# dialogs alike), the spine (script reader, registry path, the run) and the
# file installation step.
set(ENGINE_MESSAGES_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/messages.cc)
set(ENGINE_MESSAGES_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/messages_test.cc)
include(${CMAKE_CURRENT_LIST_DIR}/spine.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/files.cmake)
set(ENGINE_SOURCES ${ENGINE_MESSAGES_SOURCES} ${ENGINE_SPINE_SOURCES} ${ENGINE_FILES_SOURCES})
set(ENGINE_TESTS ${ENGINE_MESSAGES_TESTS} ${ENGINE_SPINE_TESTS} ${ENGINE_FILES_TESTS})
