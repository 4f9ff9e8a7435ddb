# Compile options shared by every target of the project, set per target.
add_library(launcher_options INTERFACE)
target_compile_options(launcher_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wno-missing-field-initializers
  # GCC 12 reports impossible overlaps in std::string assignments at -O3 (GCC bug 105651).
  $<$<AND:$<CXX_COMPILER_ID:GNU>,$<VERSION_LESS:$<CXX_COMPILER_VERSION>,13>>:-Wno-restrict>)
if(LAUNCHER_SANITIZE)
  target_compile_options(launcher_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(launcher_options INTERFACE -fsanitize=address,undefined)
endif()
