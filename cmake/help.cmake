# The help file Velnor.chm, compiled from docs/help by scripts/build-help.sh (chmcmd).
#   include(${PROJECT_SOURCE_DIR}/cmake/help.cmake)
#   velnor_add_help(<folder>)   # target velnor_help, part of ALL: <folder>/Velnor.chm
# Without chmcmd and bash (a plain Windows machine) the help is skipped with a note.
find_program(VELNOR_CHMCMD chmcmd)
find_program(VELNOR_BASH bash)
find_program(VELNOR_ICONV iconv)
get_filename_component(VELNOR_HELP_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)

function(velnor_add_help folder)
  if(NOT VELNOR_CHMCMD OR NOT VELNOR_BASH OR NOT VELNOR_ICONV)
    message(STATUS "Velnor.chm is not built: chmcmd, bash or iconv is missing")
    return()
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${VELNOR_HELP_ROOT}/docs/help/*)
  add_custom_command(
    OUTPUT ${folder}/Velnor.chm
    COMMAND ${VELNOR_BASH} ${VELNOR_HELP_ROOT}/scripts/build-help.sh ${folder}
    DEPENDS ${sources} ${VELNOR_HELP_ROOT}/scripts/build-help.sh
    COMMENT "Compiling Velnor.chm"
    VERBATIM)
  add_custom_target(velnor_help ALL DEPENDS ${folder}/Velnor.chm)
endfunction()
