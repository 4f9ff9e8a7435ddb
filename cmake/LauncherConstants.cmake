# The launcher's pins, download addresses, expected sizes and the download's
# stall limit and reconnect wait. They can only be replaced when the program is built, through these
# cache variables; the program itself offers no run-time way to change them.
set(LAUNCHER_DEFAULT_ENGINE_SHA256 "203f9e9fd6c2cc77e6525d798a434ced326145db34a356355e05659d3445fd1c")
set(LAUNCHER_DEFAULT_ENGINE_URL "https://github.com/Sikarugir-App/Engines/releases/download/v1.0/WS12WineCX24.0.7_7.tar.xz")
set(LAUNCHER_DEFAULT_LIBRARIES_SHA256 "b50dc50ec7f41d58b115a6b685d4d1315ba3c797bd3aa0f49213f2703cb82388")
set(LAUNCHER_DEFAULT_LIBRARIES_URL "https://github.com/Gcenx/macOS_Wine_builds/releases/download/11.0/wine-stable-11.0_1-osx64.tar.xz")
set(LAUNCHER_DEFAULT_CODEC_SHA256 "9a80890f782008f8a64d9fb6bc4a2e5bd18dba514ea6b87dcc9d33a999901b07")
set(LAUNCHER_DEFAULT_MEDIA_PACKAGE_SHA256 "678c102847c18a92abf13c3fae404c3473a0770c871a046b45efe623c9938fc0")
# Bytes; together the "about 341 MB" of the download's status line. They only
# measure progress and bound a download that grows without end.
set(LAUNCHER_DEFAULT_ENGINE_SIZE 151000000)
set(LAUNCHER_DEFAULT_LIBRARIES_SIZE 190000000)
# Seconds without a byte arriving after which a download is stopped.
set(LAUNCHER_DEFAULT_DOWNLOAD_STALL_SECONDS 60)
# The first wait between reconnects of a dropped download; later ones double it.
set(LAUNCHER_DEFAULT_DOWNLOAD_RECONNECT_MILLISECONDS 1000)

set(LAUNCHER_ENGINE_NAME "WS12WineCX24.0.7_7.tar.xz")
set(LAUNCHER_LIBRARIES_NAME "wine-stable-11.0_1-osx64.tar.xz")

set(launcher_constants ENGINE_SHA256 ENGINE_URL ENGINE_SIZE LIBRARIES_SHA256 LIBRARIES_URL LIBRARIES_SIZE
    CODEC_SHA256 MEDIA_PACKAGE_SHA256 DOWNLOAD_STALL_SECONDS DOWNLOAD_RECONNECT_MILLISECONDS)
foreach(constant ${launcher_constants})
  set(LAUNCHER_${constant} "${LAUNCHER_DEFAULT_${constant}}" CACHE STRING "Build-time constant ${constant} of the launcher")
  if(NOT LAUNCHER_${constant} STREQUAL LAUNCHER_DEFAULT_${constant})
    message(WARNING "LAUNCHER_${constant} is changed from its released value to '${LAUNCHER_${constant}}'. "
                    "This program is not the released one (for a pin: it only accepts files matching the changed value); "
                    "do not distribute it.")
  endif()
endforeach()

# Writes a source file that defines Constants::builtIn() with the given values.
# Every program links exactly one such file. DOWNLOAD_ORIGIN_VARIABLE, for test
# copies only, names an environment variable that replaces the origin of the
# download addresses when it is set.
function(launcher_constants_source output)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "${launcher_constants};DOWNLOAD_ORIGIN_VARIABLE" "")
  set(CONSTANT_DOWNLOAD_ORIGIN_VARIABLE "${ARG_DOWNLOAD_ORIGIN_VARIABLE}")
  foreach(constant ${launcher_constants})
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
