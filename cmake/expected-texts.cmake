# kestaro_expected_texts(TARGET NAME TEXT [NAME TEXT ...]): expected_texts.h for
# TARGET alone, the texts in code page 932 as iconv writes them,
# not as the code under test would, for TARGET to include.
function(kestaro_expected_texts target)
  set(folder ${CMAKE_CURRENT_BINARY_DIR}/${target}_texts)
  set(header ${folder}/expected_texts.h)
  add_custom_command(OUTPUT ${header}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND sh ${PROJECT_SOURCE_DIR}/scripts/sjis-header.sh ${header} ${ARGN}
    DEPENDS ${PROJECT_SOURCE_DIR}/scripts/sjis-header.sh ${CMAKE_CURRENT_LIST_FILE}
    VERBATIM)
  add_custom_target(${target}_expected_texts DEPENDS ${header})
  add_dependencies(${target} ${target}_expected_texts)
  target_include_directories(${target} PRIVATE ${folder})
endfunction()
