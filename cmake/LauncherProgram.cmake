# veyra2_add_program(<target> [ENGINE_SHA256 value] [ENGINE_URL value] ...): the
# launcher program with the given build-time constants in place of the cache
# variables' values. The released program passes none.
function(veyra2_add_program target)
  set(constants "${CMAKE_CURRENT_BINARY_DIR}/${target}-constants.cpp")
  launcher_constants_source("${constants}" ${ARGN})
  add_executable(${target} "${constants}")
  target_link_libraries(${target} PRIVATE veyra2_entry)
  if(TARGET veyra2_ui)
    target_link_libraries(${target} PRIVATE veyra2_ui)
  endif()
endfunction()
