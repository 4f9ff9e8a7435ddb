# The launcher's pins and download addresses. They can only be replaced when the
# program is built, through these cache variables; the program itself offers no
# run-time way to change them.
set(LAUNCHER_DEFAULT_ENGINE_SHA256 "203f9e9fd6c2cc77e6525d798a434ced326145db34a356355e05659d3445fd1c")
set(LAUNCHER_DEFAULT_ENGINE_URL "https://github.com/Sikarugir-App/Engines/releases/download/v1.0/WS12WineCX24.0.7_7.tar.xz")
set(LAUNCHER_DEFAULT_LIBRARIES_SHA256 "b50dc50ec7f41d58b115a6b685d4d1315ba3c797bd3aa0f49213f2703cb82388")
set(LAUNCHER_DEFAULT_LIBRARIES_URL "https://github.com/Gcenx/macOS_Wine_builds/releases/download/11.0/wine-stable-11.0_1-osx64.tar.xz")
set(LAUNCHER_DEFAULT_CODEC_SHA256 "9a80890f782008f8a64d9fb6bc4a2e5bd18dba514ea6b87dcc9d33a999901b07")
set(LAUNCHER_DEFAULT_MEDIA_PACKAGE_SHA256 "678c102847c18a92abf13c3fae404c3473a0770c871a046b45efe623c9938fc0")

set(LAUNCHER_ENGINE_NAME "WS12WineCX24.0.7_7.tar.xz")
set(LAUNCHER_LIBRARIES_NAME "wine-stable-11.0_1-osx64.tar.xz")

foreach(constant ENGINE_SHA256 ENGINE_URL LIBRARIES_SHA256 LIBRARIES_URL CODEC_SHA256 MEDIA_PACKAGE_SHA256)
  set(LAUNCHER_${constant} "${LAUNCHER_DEFAULT_${constant}}" CACHE STRING "Build-time constant ${constant} of the launcher")
  if(NOT LAUNCHER_${constant} STREQUAL LAUNCHER_DEFAULT_${constant})
    message(WARNING "LAUNCHER_${constant} is changed from its released value to '${LAUNCHER_${constant}}'. "
                    "This program will only accept files matching the changed value; do not distribute it.")
  endif()
endforeach()

# Writes a source file that defines Constants::builtIn() with the given values.
# Every program links exactly one such file.
function(launcher_constants_source output)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "ENGINE_SHA256;ENGINE_URL;LIBRARIES_SHA256;LIBRARIES_URL;CODEC_SHA256;MEDIA_PACKAGE_SHA256" "")
  foreach(constant ENGINE_SHA256 ENGINE_URL LIBRARIES_SHA256 LIBRARIES_URL CODEC_SHA256 MEDIA_PACKAGE_SHA256)
    if(NOT DEFINED ARG_${constant})
      set(ARG_${constant} "${LAUNCHER_${constant}}")
    endif()
    set(CONSTANT_${constant} "${ARG_${constant}}")
  endforeach()
  set(CONSTANT_VERSION "${PROJECT_VERSION}")
  set(CONSTANT_ENGINE_NAME "${LAUNCHER_ENGINE_NAME}")
  set(CONSTANT_LIBRARIES_NAME "${LAUNCHER_LIBRARIES_NAME}")
  configure_file("${PROJECT_SOURCE_DIR}/cmake/BuiltInConstants.cpp.in" "${output}" @ONLY)
endfunction()
