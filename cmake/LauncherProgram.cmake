# veyra2_add_program(<target> [NO_DESKTOP] [BUNDLE] [ENGINE_SHA256 value] [ENGINE_URL value] ...):
# the launcher program with the given build-time constants in place of the cache
# variables' values; the released program passes none. It is two programs: the
# entry <target>, which never links Qt and runs the command line itself, and,
# with the desktop front end, <target>-desktop beside it, which the entry starts
# when there is no "--cli". With BUNDLE (the released program only: a bundle
# identifier names one application) both live in one application bundle on macOS.
function(veyra2_add_program target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "NO_DESKTOP;BUNDLE" "" "")
  set(constants "${CMAKE_CURRENT_BINARY_DIR}/${target}-constants.cpp")
  launcher_constants_source("${constants}" ${ARG_UNPARSED_ARGUMENTS})
  add_executable(${target} "${PROJECT_SOURCE_DIR}/src/cli/main.cpp" "${constants}")
  target_link_libraries(${target} PRIVATE veyra2_cli)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${PROJECT_BINARY_DIR}")
  if(ARG_NO_DESKTOP OR NOT TARGET veyra2_ui)
    return()
  endif()

  add_executable(${target}-desktop "${PROJECT_SOURCE_DIR}/src/ui/DesktopMain.cpp" "${constants}")
  target_link_libraries(${target}-desktop PRIVATE veyra2_ui)
  # Building the program builds the window it starts.
  add_dependencies(${target} ${target}-desktop)
  if(APPLE AND ARG_BUNDLE)
    # An application bundle with the setup guide and the icon among its
    # resources; the entry is the bundle's executable and the desktop program
    # sits beside it.
    set(guide "${PROJECT_SOURCE_DIR}/resources/Setup Guide.html")
    set(icon "${LAUNCHER_MACOS_ICON}")
    target_sources(${target} PRIVATE "${guide}" "${icon}")
    set_source_files_properties("${guide}" "${icon}" PROPERTIES MACOSX_PACKAGE_LOCATION Resources)
    set_target_properties(${target} PROPERTIES
      MACOSX_BUNDLE ON
      MACOSX_BUNDLE_INFO_PLIST "${PROJECT_SOURCE_DIR}/resources/Info.plist.in"
      MACOSX_BUNDLE_ICON_FILE veyra2-launcher.icns
      MACOSX_BUNDLE_BUNDLE_NAME "Veyra 2 Mac Launcher"
      MACOSX_BUNDLE_GUI_IDENTIFIER "org.veyra2launcher.Veyra2MacLauncher"
      MACOSX_BUNDLE_BUNDLE_VERSION "${PROJECT_VERSION}"
      MACOSX_BUNDLE_SHORT_VERSION_STRING "${PROJECT_VERSION}")
    set_target_properties(${target}-desktop PROPERTIES
      RUNTIME_OUTPUT_DIRECTORY "$<TARGET_BUNDLE_CONTENT_DIR:${target}>/MacOS")
  else()
    set_target_properties(${target}-desktop PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${PROJECT_BINARY_DIR}")
  endif()
endfunction()
