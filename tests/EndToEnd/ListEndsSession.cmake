# cmake -DDRIVER=kanvaro-script -DSCRIPTS=dir -DWORKDIR=dir -DPHOTOS=dir [-DSCALE=s] -P ListEndsSession.cmake
# list-ends-make.script makes three paintings of different shapes; their thumbnails are copied
# into a gallery of twenty ("Painting 01" to "Painting 20", the shapes in turn), which
# list-ends.script then scrolls to its ends.
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR}/Documents ${WORKDIR}/Pictures)
file(COPY ${PHOTOS}/chelsea.png ${PHOTOS}/astronaut.png DESTINATION ${WORKDIR}/Pictures)
if(NOT SCALE)
  set(SCALE 2)
endif()

function(run_session script)
  execute_process(
    COMMAND ${DRIVER} --documents Documents --pictures Pictures --scale ${SCALE} ${SCRIPTS}/${script}
    WORKING_DIRECTORY ${WORKDIR}
    RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "kanvaro-script failed (${result}) on ${script}")
  endif()
endfunction()

run_session(list-ends-make.script)
file(GLOB made ${WORKDIR}/Documents/*.jpg)
list(LENGTH made count)
if(NOT count EQUAL 3)
  message(FATAL_ERROR "expected three thumbnails, found ${count}")
endif()
file(MAKE_DIRECTORY ${WORKDIR}/made)
foreach(file ${made})
  file(RENAME ${file} ${WORKDIR}/made/${count}.jpg)
  math(EXPR count "${count} - 1")
endforeach()
file(REMOVE_RECURSE ${WORKDIR}/Documents)
file(MAKE_DIRECTORY ${WORKDIR}/Documents)
foreach(i RANGE 1 20)
  math(EXPR shape "${i} % 3 + 1")
  string(LENGTH "${i}" digits)
  set(number ${i})
  if(digits EQUAL 1)
    set(number 0${i})
  endif()
  file(COPY_FILE ${WORKDIR}/made/${shape}.jpg ${WORKDIR}/Documents/Painting\ ${number}.jpg)
endforeach()
run_session(list-ends.script)
