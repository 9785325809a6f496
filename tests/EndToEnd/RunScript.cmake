# cmake -DDRIVER=kanvaro-script -DSCRIPT=file -DWORKDIR=dir [-DOPTIONS=--toolkit-demo] -P RunScript.cmake
# Runs a script in an emptied WORKDIR with its own documents and pictures folders there.
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR})
execute_process(
  COMMAND ${DRIVER} --documents Documents --pictures Pictures ${OPTIONS} ${SCRIPT}
  WORKING_DIRECTORY ${WORKDIR}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "kanvaro-script failed (${result}) on ${SCRIPT}")
endif()
