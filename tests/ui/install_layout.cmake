# Installs the build into a fresh prefix and checks that the program, the setup
# guide where the installed program looks for it, the desktop entry and the icon
# land where a Linux desktop finds them.
#   cmake -DBUILD=<build folder> -DPREFIX=<empty folder> -P install_layout.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed:\n${errors}")
endif()
foreach(file
    bin/veyra2-launcher
    bin/veyra2-launcher-desktop
    "share/veyra2-launcher/Setup Guide.html"
    share/applications/veyra2-launcher.desktop
    share/icons/hicolor/scalable/apps/veyra2-launcher.svg)
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "The installation lacks ${file}")
  endif()
endforeach()
file(STRINGS "${PREFIX}/share/applications/veyra2-launcher.desktop" entry)
foreach(line "Exec=veyra2-launcher" "Icon=veyra2-launcher" "Type=Application")
  if(NOT line IN_LIST entry)
    message(FATAL_ERROR "The desktop entry lacks ${line}")
  endif()
endforeach()
file(REMOVE_RECURSE "${PREFIX}")
