# Compile options shared by every target of the project, set per target.
add_library(launcher_options INTERFACE)
target_compile_options(launcher_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wno-missing-field-initializers
  # GCC 12 reports impossible overlaps in std::string assignments at -O3 (GCC bug 105651).
  $<$<AND:$<CXX_COMPILER_ID:GNU>,$<VERSION_LESS:$<CXX_COMPILER_VERSION>,13>>:-Wno-restrict>)
if(LAUNCHER_SANITIZE)
  # float-cast-overflow is not part of "undefined": converting a double that is out
  # of range to an integer (a date from a hostile record) is caught only with it.
  set(sanitizers address,undefined,float-cast-overflow)
  target_compile_options(launcher_options INTERFACE -fsanitize=${sanitizers} -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined,float-cast-overflow)
  target_link_options(launcher_options INTERFACE -fsanitize=${sanitizers})
endif()
