# tool(EXPECTED_STATUS ARG...): runs packwright-tool (${TOOL}, under ${RUN}
# with the environment ${TOOL_ENV} when set), prints what it said, stops
# the script unless it exits with EXPECTED_STATUS, and leaves its standard
# output in `out`.
function(tool expected_status)
  execute_process(COMMAND ${TOOL_ENV} ${RUN} ${TOOL} ${ARGN} RESULT_VARIABLE status
                  OUTPUT_VARIABLE out ERROR_VARIABLE err INPUT_FILE /dev/null)
  message("packwright-tool ${ARGN}\n${out}${err}")
  if(NOT status STREQUAL expected_status)
    message(FATAL_ERROR "exit status ${status}, expected ${expected_status}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()
