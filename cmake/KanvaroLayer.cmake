# kanvaro_layer(<target> <folder>): a static library from every .cpp in <folder> (main.cpp, a
# program's entry point, stays out).
function(kanvaro_layer target folder)
  file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp)
  list(FILTER sources EXCLUDE REGEX ".*/main\\.cpp$")
  add_library(${target} STATIC ${sources})
  target_link_libraries(${target} PRIVATE kanvaro_warnings)
endfunction()
