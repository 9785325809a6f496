# cmake -DDRIVER=kanvaro-script -DSCRIPT=file -DWORKDIR=dir [-DOPTIONS=--toolkit-demo] [-DFIXTURES=dir]
#       [-DPHOTO=file] [-DOPEN=file] -P RunScript.cmake
# Runs a script in an emptied WORKDIR with its own documents and pictures folders there. FIXTURES
# (a folder holding Documents/ and Pictures/) is copied in first; PHOTO goes into Pictures/. OPEN (relative to WORKDIR, or absolute) is opened at launch.
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR}/Documents ${WORKDIR}/Pictures)
if(FIXTURES)
  file(COPY ${FIXTURES}/ DESTINATION ${WORKDIR})
endif()
if(PHOTO)
  file(COPY ${PHOTO} DESTINATION ${WORKDIR}/Pictures)
endif()
set(open_option)
if(OPEN)
  set(open_option --open ${OPEN})
endif()
execute_process(
  COMMAND ${DRIVER} --documents Documents --pictures Pictures ${open_option} ${OPTIONS} ${SCRIPT}
  WORKING_DIRECTORY ${WORKDIR}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "kanvaro-script failed (${result}) on ${SCRIPT}")
endif()
