# cmake -DDRIVER=kanvaro-script -DARCHIVE_TOOL=kanvaro-archive -DSCRIPT=journal-replay.script
#       -DPHOTO=photo -DWORKDIR=dir -P CheckReplayScript.cmake
# Runs the painting session, then draws the saved painting twice: as stored, and by replaying its
# journal at its own size. The two pictures must be the same file, byte for byte.
include(${CMAKE_CURRENT_LIST_DIR}/RunScript.cmake)
file(GLOB paintings ${WORKDIR}/Documents/*.art)
list(LENGTH paintings count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one saved painting, found ${count}")
endif()
execute_process(COMMAND ${ARCHIVE_TOOL} info ${paintings} OUTPUT_VARIABLE info RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT info MATCHES "journal: [0-9]+ bytes")
  message(FATAL_ERROR "the painting has no journal:\n${info}")
endif()
execute_process(COMMAND ${ARCHIVE_TOOL} render ${paintings} ${WORKDIR}/stored.png RESULT_VARIABLE stored)
execute_process(COMMAND ${ARCHIVE_TOOL} render ${paintings} ${WORKDIR}/replayed.png --scale 1
  RESULT_VARIABLE replayed ERROR_VARIABLE replayErrors)
if(NOT stored EQUAL 0 OR NOT replayed EQUAL 0)
  message(FATAL_ERROR "rendering failed (${stored}, ${replayed}): ${replayErrors}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORKDIR}/stored.png ${WORKDIR}/replayed.png
  RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "the replayed painting differs from the saved one")
endif()
