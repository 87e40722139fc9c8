# Runs in CPack after the files of every package are staged: removes what a
# package need not carry. Executables keep their symbols table stripped by
# CPack already and lose the compiler's comment section here; static
# libraries lose their debug information and the same sections, which a
# program linking them never uses.
file(GLOB_RECURSE archives "${CPACK_TEMPORARY_DIRECTORY}/*.a")
file(GLOB_RECURSE programs "${CPACK_TEMPORARY_DIRECTORY}/vorn")
foreach(file IN LISTS archives programs)
  execute_process(
    COMMAND ${CPACK_NVORN_STRIP} --strip-debug --remove-section=.comment --remove-section=.note ${file}
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "could not strip ${file}")
  endif()
endforeach()
