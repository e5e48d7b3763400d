# Run by CPack on the staged package before packing: removes the compilers'
# .comment section from the stripped program, as Debian's own tools do.
file(GLOB_RECURSE programs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/bin/ordana")
foreach(program ${programs})
  execute_process(COMMAND ${CPACK_ORDANA_OBJCOPY} --remove-section=.comment ${program}
    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
