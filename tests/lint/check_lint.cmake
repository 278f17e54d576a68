# Runs qvtool lint on one broken sample: the files of COMMON with the
# sample's own (CASE) copied over them into WORK. Its findings must be the
# lines of CASE/expected.txt (paths below WORK), its exit code 1.
file(REMOVE_RECURSE ${WORK})
file(COPY ${COMMON}/ DESTINATION ${WORK})
file(COPY ${CASE}/normal DESTINATION ${WORK})
execute_process(COMMAND ${QVTOOL} lint ${WORK} --variant B
                OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE code)
string(REPLACE "${WORK}/" "" output "${output}")
file(READ ${CASE}/expected.txt expected)
if(NOT output STREQUAL expected)
  message(FATAL_ERROR "qvtool lint printed:\n${output}${errors}\nexpected:\n${expected}")
endif()
if(NOT code EQUAL 1)
  message(FATAL_ERROR "qvtool lint: exit ${code}, expected 1")
endif()
