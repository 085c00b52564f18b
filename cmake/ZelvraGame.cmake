# Installs a game where the engine looks for it (InstalledData.h): the
# program in PREFIX/bin, its data in PREFIX/share/NAME under the same
# relative names (NAME being the program's file name), and a link to the
# engine's font there.
#   zelvra_install_game(TARGET mygame DATA zv-config.txt sprites/ship-spr.txt
#                       [FONT file] [COMPONENT component])
# Relative DATA names are read from the calling folder; FONT defaults to the
# font the engine was built with.
function(zelvra_install_game)
  cmake_parse_arguments(ARG "" "TARGET;FONT;COMPONENT" "DATA" ${ARGN})
  if(NOT ARG_TARGET OR NOT ARG_DATA)
    message(FATAL_ERROR "zelvra_install_game: TARGET and DATA are required.")
  endif()
  if(NOT ARG_FONT)
    set(ARG_FONT "${Zelvra_FONT}")
  endif()
  if(NOT ARG_COMPONENT)
    set(ARG_COMPONENT Unspecified)
  endif()
  get_target_property(name ${ARG_TARGET} OUTPUT_NAME)
  if(NOT name)
    set(name ${ARG_TARGET})
  endif()
  install(TARGETS ${ARG_TARGET} RUNTIME DESTINATION bin COMPONENT ${ARG_COMPONENT})
  foreach(file ${ARG_DATA})
    set(abs ${file})
    if(NOT IS_ABSOLUTE ${file})
      set(abs ${CMAKE_CURRENT_SOURCE_DIR}/${file})
    endif()
    file(RELATIVE_PATH rel ${CMAKE_CURRENT_SOURCE_DIR} ${abs})
    get_filename_component(dir ${rel} DIRECTORY)
    install(FILES ${file} DESTINATION share/${name}/${dir} COMPONENT ${ARG_COMPONENT})
  endforeach()
  # A link, so the package depends on the system's font instead of copying it.
  set(link ${CMAKE_CURRENT_BINARY_DIR}/zelvra-install-${name}/zv-font.ttf)
  file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/zelvra-install-${name})
  file(CREATE_LINK ${ARG_FONT} ${link} SYMBOLIC)
  install(FILES ${link} DESTINATION share/${name} COMPONENT ${ARG_COMPONENT})
endfunction()
