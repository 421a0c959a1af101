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
  # <samples> stands for the folder of the sample plug-in modules, <scratch> for a
  # fresh folder in the build tree (SCRATCH) that the script may write into.
  list(TRANSFORM options REPLACE "<samples>" "${SAMPLES}")
  if(options MATCHES "<scratch>")
    file(REMOVE_RECURSE ${SCRATCH})
    file(MAKE_DIRECTORY ${SCRATCH})
    list(TRANSFORM options REPLACE "<scratch>" "${SCRATCH}")
  endif()
endif()

# A script whose second line is "// runs in a scratch folder" runs in a fresh copy of
# its folder (SCRATCH, in the build tree), so the files it writes never reach the
# source tree.
set(run_dir ${dir})
file(STRINGS ${SCRIPT} head LIMIT_COUNT 2)
list(LENGTH head head_lines)
if(head_lines EQUAL 2)
  list(GET head 1 second_line)
  if(second_line STREQUAL "// runs in a scratch folder")
    file(REMOVE_RECURSE ${SCRATCH})
    file(COPY ${dir}/ DESTINATION ${SCRATCH})
    set(run_dir ${SCRATCH})
  endif()
endif()

execute_process(COMMAND ${QUARVEL} ${options} ${base}.qv
  WORKING_DIRECTORY ${run_dir}
  OUTPUT_VARIABLE actual ERROR_VARIABLE errors RESULT_VARIABLE status
  TIMEOUT 60)
string(APPEND actual "[exit ${status}]\n")

include(${CMAKE_CURRENT_LIST_DIR}/CompareExpected.cmake)
