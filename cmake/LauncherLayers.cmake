# veyra2_layer(<target> SOURCES <files>... [USES <layers>...] [PRIVATE <libraries>...])
#
# One engine library: a static library of the given sources that may call only
# the layers it USES. The rule is enforced by linking the same objects once more
# as a shared library that may leave no symbol undefined: a call into a layer
# that is not listed fails that link, and with it the build. (A static library on
# its own only fails for the objects that some program happens to pull in.)
function(veyra2_layer target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "" "SOURCES;USES;PRIVATE")
  add_library(${target} STATIC ${ARG_SOURCES})
  set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  target_link_libraries(${target} PUBLIC ${ARG_USES} PRIVATE ${ARG_PRIVATE})

  # Sanitizer runtimes are linked into programs only, so a shared library built
  # with them always has undefined symbols; the release build does the check.
  if(NOT LAUNCHER_SANITIZE)
    launcher_constants_source("${CMAKE_CURRENT_BINARY_DIR}/${target}-layer-constants.cpp")
    add_library(${target}_layer_check SHARED $<TARGET_OBJECTS:${target}>
                "${CMAKE_CURRENT_BINARY_DIR}/${target}-layer-constants.cpp")
    target_link_libraries(${target}_layer_check PRIVATE ${target} ${ARG_USES} ${ARG_PRIVATE})
    if(APPLE)
      target_link_options(${target}_layer_check PRIVATE LINKER:-undefined,error)
    else()
      target_link_options(${target}_layer_check PRIVATE LINKER:-z,defs)
    endif()
  endif()
endfunction()
