# cmake -DDRIVER=kanvaro-script -DARCHIVE_TOOL=kanvaro-archive -DSCRIPTS=dir -DWORKDIR=dir
#       -P RecoverySession.cmake
# Two sessions in one emptied WORKDIR: recovery-crash.script paints and crashes, then
# recovery-restore.script restores the recovery copy and saves it. The painting kept at the crash
# and the one saved after restoring must render to the same pixels.
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR}/Documents ${WORKDIR}/Pictures)

function(run_session script)
  execute_process(
    COMMAND ${DRIVER} --documents Documents --pictures Pictures ${SCRIPTS}/${script}
    WORKING_DIRECTORY ${WORKDIR}
    RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "kanvaro-script failed (${result}) on ${script}")
  endif()
endfunction()

function(render_single pattern out)
  file(GLOB found ${pattern})
  list(LENGTH found count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one file ${pattern}, found ${count}: ${found}")
  endif()
  execute_process(COMMAND ${ARCHIVE_TOOL} render ${found} ${out} RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "kanvaro-archive cannot render ${found}")
  endif()
endfunction()

run_session(recovery-crash.script)
render_single(${WORKDIR}/Documents/Recovery/*.art ${WORKDIR}/crashed.png)
run_session(recovery-restore.script)
render_single(${WORKDIR}/Documents/*.art ${WORKDIR}/restored.png)
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORKDIR}/crashed.png ${WORKDIR}/restored.png
                RESULT_VARIABLE different)
if(different)
  message(FATAL_ERROR "the restored painting differs from the one kept at the crash")
endif()
