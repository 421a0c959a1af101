# Compares `actual` (a command's output ending in its "[exit N]" line) with the file
# `expected_file`; a difference fails with both texts and the command's standard error
# (`errors`), and leaves the output beside the expected file as <name>.actual. With
# QV_UPDATE_GOLDEN set in the environment the expected file is rewritten instead.
if(DEFINED ENV{QV_UPDATE_GOLDEN})
  file(WRITE ${expected_file} "${actual}")
  return()
endif()
if(NOT EXISTS ${expected_file})
  message(FATAL_ERROR "No expected output ${expected_file}; got:\n${actual}")
endif()
file(READ ${expected_file} expected)
if(NOT actual STREQUAL expected)
  string(REGEX REPLACE "\\.out$" ".actual" actual_file ${expected_file})
  file(WRITE ${actual_file} "${actual}")
  message(FATAL_ERROR "Output differs from ${expected_file}\n--- expected\n${expected}--- actual\n${actual}--- stderr\n${errors}")
endif()
