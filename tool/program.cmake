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
target_link_libraries(packwright_tests PRIVATE packwright_tool)
