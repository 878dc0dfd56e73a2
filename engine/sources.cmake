# The installation engine: spine (script reader, registry path, the run)
# and the file installation step.
include(${CMAKE_CURRENT_LIST_DIR}/spine.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/files.cmake)
set(ENGINE_SOURCES ${ENGINE_SPINE_SOURCES} ${ENGINE_FILES_SOURCES})
set(ENGINE_TESTS ${ENGINE_SPINE_TESTS} ${ENGINE_FILES_TESTS})
