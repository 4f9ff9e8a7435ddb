# cmake -DENTRY=<program> -DDESKTOP=<program> -P cli_symbols.cmake
# The command line's code lives in namespace launcher::cli and is linked into
# the entry program only: the desktop program holds none of it. The symbols
# are filtered by grep: a sanitizer build's table is too large for CMake's own
# regular expressions to get through in time.
foreach(program ENTRY DESKTOP)
  execute_process(COMMAND nm -C --defined-only "${${program}}"
                  COMMAND grep -F "launcher::cli::"
                  OUTPUT_VARIABLE found RESULTS_VARIABLE results ERROR_VARIABLE errors)
  list(GET results 0 listed)
  if(NOT listed EQUAL 0)
    message(FATAL_ERROR "nm failed on ${${program}}: ${errors}")
  endif()
  string(REGEX MATCHALL "[^\n]+" found "${found}")
  list(LENGTH found ${program}_count)
endforeach()
if(ENTRY_count EQUAL 0)
  message(FATAL_ERROR "No command-line symbol in the entry program: the check would find nothing anywhere.")
endif()
if(NOT DESKTOP_count EQUAL 0)
  message(FATAL_ERROR "The desktop program holds ${DESKTOP_count} command-line symbols, e.g. ${found}")
endif()
message(STATUS "${ENTRY_count} command-line symbols in the entry program, none in the desktop program")
