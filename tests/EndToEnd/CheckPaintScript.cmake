# cmake -DDRIVER=kanvaro-script -DSCRIPT=paint.script -DWORKDIR=dir -P CheckPaintScript.cmake
# Runs the painting script, then checks that its two screenshots differ: the strokes changed pixels.
include(${CMAKE_CURRENT_LIST_DIR}/RunScript.cmake)
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORKDIR}/blank.png ${WORKDIR}/painted.png
  RESULT_VARIABLE same)
if(same EQUAL 0)
  message(FATAL_ERROR "the painting script's strokes left the screen unchanged")
endif()
