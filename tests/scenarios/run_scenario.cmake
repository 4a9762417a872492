# Runs one scenario file through the scenario driver and compares its output
# with the expected file beside it (<name>.out).
get_filename_component(_dir ${INPUT} DIRECTORY)
get_filename_component(_name ${INPUT} NAME_WE)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${SCRIPT} ${INPUT}
                WORKING_DIRECTORY ${WORK}
                OUTPUT_FILE ${WORK}/actual.out
                ERROR_VARIABLE _err
                RESULT_VARIABLE _rc)
if(NOT _rc EQUAL 0)
  message(FATAL_ERROR "velorim-script failed (${_rc}): ${_err}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files --ignore-eol ${_dir}/${_name}.out ${WORK}/actual.out
                RESULT_VARIABLE _diff)
if(NOT _diff EQUAL 0)
  execute_process(COMMAND diff -u ${_dir}/${_name}.out ${WORK}/actual.out)
  message(FATAL_ERROR "scenario ${_name}: output differs from ${_name}.out")
endif()
