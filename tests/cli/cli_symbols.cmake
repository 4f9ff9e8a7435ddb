# cmake -DENTRY=<program> -DDESKTOP=<program> -P cli_symbols.cmake
# The command line's code lives in namespace launcher::cli and is linked into
# the entry program only: the desktop program holds none of it.
foreach(program ENTRY DESKTOP)
  execute_process(COMMAND nm -C --defined-only "${${program}}"
                  OUTPUT_VARIABLE symbols RESULT_VARIABLE result ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "nm failed on ${${program}}: ${errors}")
  endif()
  string(REGEX MATCHALL "[^\n]*launcher::cli::[^\n]*" found "${symbols}")
  list(LENGTH found ${program}_count)
endforeach()
if(ENTRY_count EQUAL 0)
  message(FATAL_ERROR "No command-line symbol in the entry program: the check would find nothing anywhere.")
endif()
if(NOT DESKTOP_count EQUAL 0)
  message(FATAL_ERROR "The desktop program holds ${DESKTOP_count} command-line symbols, e.g. ${found}")
endif()
message(STATUS "${ENTRY_count} command-line symbols in the entry program, none in the desktop program")
