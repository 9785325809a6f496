# cmake -DDRIVER=kanvaro-script -DSCRIPT=file -DWORKDIR=dir [-DOPTIONS=--toolkit-demo] [-DFIXTURES=dir]
#       [-DPHOTO=file] -P RunScript.cmake
# Runs a script in an emptied WORKDIR with its own documents and pictures folders there. FIXTURES
# (a folder holding Documents/ and Pictures/) is copied in first; PHOTO goes into Pictures/.
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR}/Documents ${WORKDIR}/Pictures)
if(FIXTURES)
  file(COPY ${FIXTURES}/ DESTINATION ${WORKDIR})
endif()
if(PHOTO)
  file(COPY ${PHOTO} DESTINATION ${WORKDIR}/Pictures)
endif()
execute_process(
  COMMAND ${DRIVER} --documents Documents --pictures Pictures ${OPTIONS} ${SCRIPT}
  WORKING_DIRECTORY ${WORKDIR}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "kanvaro-script failed (${result}) on ${SCRIPT}")
endif()
