# kanvaro_layer(<target> <folder>): a static library from every .cpp in <folder>. A folder that has
# only headers so far still gives a (empty) library, so dependants link while it grows.
function(kanvaro_layer target folder)
  file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp)
  list(FILTER sources EXCLUDE REGEX ".*/main\\.cpp$")
  if(NOT sources)
    set(stub ${CMAKE_CURRENT_BINARY_DIR}/${target}_empty.cpp)
    file(WRITE ${stub} "// no sources yet\n")
    set(sources ${stub})
  endif()
  add_library(${target} STATIC ${sources})
  target_link_libraries(${target} PRIVATE kanvaro_warnings)
endfunction()
