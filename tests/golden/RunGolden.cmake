# Runs one golden script and compares what the quarvel command prints (and its exit
# status, as a final "[exit N]" line) with the expected file beside the script.
# With QV_UPDATE_GOLDEN set in the environment the expected file is rewritten instead
# (CompareExpected.cmake).
get_filename_component(dir ${SCRIPT} DIRECTORY)
get_filename_component(base ${SCRIPT} NAME_WE)
set(expected_file ${dir}/${base}.out)

file(STRINGS ${SCRIPT} first_line LIMIT_COUNT 1)
set(options --sync)
if(first_line MATCHES "^// quarvel (.*)$")
  separate_arguments(options UNIX_COMMAND "${CMAKE_MATCH_1}")
endif()

execute_process(COMMAND ${QUARVEL} ${options} ${base}.qv
  WORKING_DIRECTORY ${dir}
  OUTPUT_VARIABLE actual ERROR_VARIABLE errors RESULT_VARIABLE status
  TIMEOUT 60)
string(APPEND actual "[exit ${status}]\n")

include(${CMAKE_CURRENT_LIST_DIR}/CompareExpected.cmake)
