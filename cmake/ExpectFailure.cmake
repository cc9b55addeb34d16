# Runs COMMAND (a list) and passes when it exits non-zero and its output
# matches EXPECTED: cmake -DCOMMAND=... -DEXPECTED=... -P ExpectFailure.cmake
execute_process(COMMAND ${COMMAND} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
message("${output}")
if(result EQUAL 0)
  message(FATAL_ERROR "expected a non-zero exit, got 0")
endif()
if(NOT output MATCHES "${EXPECTED}")
  message(FATAL_ERROR "expected output matching: ${EXPECTED}")
endif()
