# Run by CPack on the staged tree of the Debian package, before the package is made: a game
# belongs in /usr/games there (a plain `cmake --install` keeps the program in bin/), stripped as
# Debian strips programs, of the compiler's notes too.
find_program(PYLONS_STRIP strip REQUIRED)
file(GLOB staged LIST_DIRECTORIES true "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/usr/bin"
                                       "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin")
foreach(bin ${staged})
  get_filename_component(usr "${bin}" DIRECTORY)
  file(MAKE_DIRECTORY "${usr}/games")
  file(RENAME "${bin}/pylons" "${usr}/games/pylons")
  execute_process(COMMAND ${PYLONS_STRIP} --remove-section=.comment --remove-section=.note
                          --strip-unneeded "${usr}/games/pylons" COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${bin}")
endforeach()
if(NOT staged)
  message(FATAL_ERROR "no usr/bin in ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
