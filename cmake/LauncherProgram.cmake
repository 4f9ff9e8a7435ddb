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
    if(APPLE)
      # An application bundle with the setup guide among its resources.
      set(guide "${PROJECT_SOURCE_DIR}/resources/Setup Guide.html")
      target_sources(${target} PRIVATE "${guide}")
      set_source_files_properties("${guide}" PROPERTIES MACOSX_PACKAGE_LOCATION Resources)
      set_target_properties(${target} PROPERTIES
        MACOSX_BUNDLE ON
        MACOSX_BUNDLE_INFO_PLIST "${PROJECT_SOURCE_DIR}/resources/Info.plist.in"
        MACOSX_BUNDLE_BUNDLE_NAME "Veyra 2 Mac Launcher"
        MACOSX_BUNDLE_GUI_IDENTIFIER "org.veyra2launcher.Veyra2MacLauncher"
        MACOSX_BUNDLE_BUNDLE_VERSION "${PROJECT_VERSION}"
        MACOSX_BUNDLE_SHORT_VERSION_STRING "${PROJECT_VERSION}")
    endif()
  endif()
endfunction()
