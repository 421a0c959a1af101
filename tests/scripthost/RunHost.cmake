# Runs one script through a host of the script engine and compares what the host prints
# (and its exit status, as a final "[exit N]" line) with the expected file beside the
# script. The script's first line names the host and its options: "// qvscripthost
# --parse-after-start" or "// minimal_host". The engine is registered first, with
# qvregsvr, into a registry file of the test's own. With QV_UPDATE_GOLDEN set in the
# environment the expected file is rewritten instead (CompareExpected.cmake).
get_filename_component(dir ${SCRIPT} DIRECTORY)
get_filename_component(base ${SCRIPT} NAME_WE)
set(expected_file ${dir}/${base}.out)

file(STRINGS ${SCRIPT} first_line LIMIT_COUNT 1)
if(NOT first_line MATCHES "^// (qvscripthost|minimal_host)( .*)?$")
  message(FATAL_ERROR "${SCRIPT} does not name its host on its first line")
endif()
set(host ${QVSCRIPTHOST})
if(CMAKE_MATCH_1 STREQUAL "minimal_host")
  set(host ${MINIMAL_HOST})
endif()
separate_arguments(options UNIX_COMMAND "${CMAKE_MATCH_2}")

set(ENV{QV_COM_REGISTRY} ${REGISTRY_FOLDER}/${base}.registry)
file(REMOVE $ENV{QV_COM_REGISTRY})
execute_process(COMMAND ${QVREGSVR} ${MODULE} OUTPUT_VARIABLE registered RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "Registration failed: ${registered}")
endif()

execute_process(COMMAND ${host} ${options} ${base}.qv
  WORKING_DIRECTORY ${dir}
  OUTPUT_VARIABLE actual ERROR_VARIABLE errors RESULT_VARIABLE status
  TIMEOUT 60)
string(APPEND actual "[exit ${status}]\n")

include(${CMAKE_CURRENT_LIST_DIR}/../golden/CompareExpected.cmake)
