# The end of an include check: no file seen is a fault of its own (the
# check looked in the wrong place), then every fault found, else a line
# saying how many files were checked.
function(include_check_report name checked faults fault_heading ok_line)
  if(checked EQUAL 0)
    message(FATAL_ERROR "${name}: no sources under ${SOURCE_DIR}/src")
  endif()
  if(faults)
    message(FATAL_ERROR "${fault_heading}:${faults}")
  endif()
  message(STATUS "${name}: ${checked} files, ${ok_line}")
endfunction()
