# Runs qvtool with ARGS (separated by |) in DIR and compares its output with
# the file EXPECTED; with EXPECTED_EXIT, only the exit code is checked.
string(REPLACE "|" ";" arguments "${ARGS}")
execute_process(COMMAND ${QVTOOL} ${arguments} WORKING_DIRECTORY ${DIR}
                OUTPUT_VARIABLE output RESULT_VARIABLE code)
if(DEFINED EXPECTED_EXIT)
  if(NOT code EQUAL EXPECTED_EXIT)
    message(FATAL_ERROR "qvtool ${arguments}: exit ${code}, expected ${EXPECTED_EXIT}")
  endif()
  return()
endif()
if(NOT code EQUAL 0)
  message(FATAL_ERROR "qvtool ${arguments}: exit ${code}")
endif()
file(READ ${EXPECTED} expected)
if(NOT output STREQUAL expected)
  message(FATAL_ERROR "qvtool ${arguments} printed:\n${output}\nexpected:\n${expected}")
endif()
