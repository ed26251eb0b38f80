# Run by CPack on the staged files before it packages them: strips the game program as Debian's
# own packaging does, the compiler's .comment and .note sections with the symbols.
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
list(FILTER staged INCLUDE REGEX "/libexec/crossfall/crossfall$")
if(NOT staged)
  message(FATAL_ERROR "strip_program: no game program among the staged files")
endif()
foreach(program IN LISTS staged)
  execute_process(COMMAND ${CPACK_CROSSFALL_STRIP} --remove-section=.comment --remove-section=.note "${program}"
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
