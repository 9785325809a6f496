# `cmake --install BUILD [--prefix DIR]`: the programs in <prefix>/bin, the bundle in
# <prefix>/share/kanvaro/Resources (where an installed program looks, fnd::resourcePath), and the
# desktop entry and its icons where desktop menus find them. `cmake --build BUILD --target
# uninstall` removes what the last install wrote.
include(GNUInstallDirs)
foreach(program kanvaro kanvaro-script)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/Resources/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kanvaro/Resources
  PATTERN Desktop EXCLUDE)
install(FILES ${PROJECT_SOURCE_DIR}/Resources/Desktop/kanvaro.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/Resources/Desktop/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

add_custom_target(uninstall
  COMMAND ${CMAKE_COMMAND} -DMANIFEST=${PROJECT_BINARY_DIR}/install_manifest.txt
          -P ${PROJECT_SOURCE_DIR}/cmake/Uninstall.cmake
  COMMENT "Removing the files the last install wrote")

# Installs into a temporary prefix, validates the desktop entry and starts the installed program
# from another folder under a virtual display.
if(KANVARO_TESTS AND TARGET kanvaro)
  add_test(NAME install_runs_from_any_folder
    COMMAND ${PROJECT_SOURCE_DIR}/tests/Install/check-install.sh ${PROJECT_BINARY_DIR})
  set_tests_properties(install_runs_from_any_folder PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 60)
endif()
