# The console program packwright-tool (packwright-tool.exe on Windows:
# console subsystem, static runtime), and its run on the demo package.
add_library(packwright_tool STATIC ${TOOL_SOURCES})
target_link_libraries(packwright_tool PUBLIC packwright_core)

add_executable(packwright-tool ${TOOL_MAIN_SOURCES})
if(WIN32)
  # The engine's messages come from the program's own string table.
  target_sources(packwright-tool PRIVATE ${RES_RC_SOURCES})
endif()
target_link_libraries(packwright-tool PRIVATE packwright_tool)

target_sources(packwright_tests PRIVATE ${TOOL_TESTS})
if(NOT WIN32)
  target_sources(packwright_tests PRIVATE ${TOOL_POSIX_TESTS})
endif()
target_link_libraries(packwright_tests PRIVATE packwright_tool)
# The guide whose table of codes a test holds to the check's.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/tool_test.cc PROPERTIES
  COMPILE_DEFINITIONS "PW_GUIDE=\"${CMAKE_SOURCE_DIR}/docs/package-authors.md\"")

# check, plan and install on a copy of the demo, under Wine in the Windows
# lanes.
set(PW_TOOL_RUN "")
if(WIN32)
  set(PW_TOOL_RUN ${PW_WINE_RUN})
endif()
add_test(NAME tool_demo
  COMMAND ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:packwright-tool> -DDEMO=${CMAKE_SOURCE_DIR}/demo
    -DWORK=${CMAKE_BINARY_DIR}/tool-demo "-DRUN=${PW_TOOL_RUN}"
    -P ${CMAKE_CURRENT_LIST_DIR}/demo_test.cmake)
set_tests_properties(tool_demo PROPERTIES TIMEOUT 300)

# check, plan, install and undo of names in code page 1252 and in several
# cases, with the same expectations in every lane.
add_test(NAME tool_names
  COMMAND ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:packwright-tool>
    -DWORK=${CMAKE_BINARY_DIR}/tool-names "-DRUN=${PW_TOOL_RUN}"
    -P ${CMAKE_CURRENT_LIST_DIR}/names_test.cmake)
set_tests_properties(tool_names PROPERTIES TIMEOUT 300)
# --version prints the project's version.
target_compile_definitions(packwright_tool PRIVATE PW_TOOL_VERSION="${PROJECT_VERSION}")
