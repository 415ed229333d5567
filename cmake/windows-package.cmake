# The package for Windows users: the shipped 32-bit programs, the help page,
# the published history as a sample and a read-me.
set(package ${PROJECT_BINARY_DIR}/kestaro-win32.zip)
set(stage ${PROJECT_BINARY_DIR}/package/Kestaro)
add_custom_command(OUTPUT ${package}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${PROJECT_BINARY_DIR}/package ${package}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:kestaro> $<TARGET_FILE:kestaro-cli>
    ${PROJECT_SOURCE_DIR}/docs/kestarohelp.html
    ${PROJECT_SOURCE_DIR}/docs/README.txt ${stage}
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/data/sample-LOTO.DAT ${stage}/sample-LOTO.DAT
  COMMAND cd ${PROJECT_BINARY_DIR}/package && zip -q -r ${package} Kestaro
  DEPENDS kestaro kestaro-cli ${PROJECT_SOURCE_DIR}/docs/kestarohelp.html ${PROJECT_SOURCE_DIR}/docs/README.txt
    ${PROJECT_SOURCE_DIR}/data/sample-LOTO.DAT
  VERBATIM)
add_custom_target(windows_package ALL DEPENDS ${package})
if(BUILD_TESTING)
  add_test(NAME package_contents COMMAND sh ${PROJECT_SOURCE_DIR}/scripts/check-package.sh ${package})
endif()
