# The package a player installs, made by CPack from the install rules: on
# Linux a Debian package (cpack -G DEB), on macOS a disk image holding the
# application bundle (cpack -G DragNDrop; scripts/release-macos.sh deploys Qt
# into the bundle, signs and notarizes it first).
set(CPACK_PACKAGE_NAME "veyra2-launcher")
set(CPACK_PACKAGE_VENDOR "The Veyra 2 Mac Launcher developers")
set(CPACK_PACKAGE_CONTACT "The Veyra 2 Mac Launcher developers <launcher@veyra2launcher.org>")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CHECKSUM SHA256)

if(APPLE)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Set up Veyra 2 from your own game files and play it")
  set(CPACK_PACKAGE_DESCRIPTION "Runs the Windows game Veyra 2 through a Wine runtime, from the player's own game files and audio decoder.")
  set(CPACK_GENERATOR DragNDrop)
  set(CPACK_DMG_VOLUME_NAME "Veyra 2 Mac Launcher")
  set(CPACK_DMG_FORMAT UDZO)
  set(CPACK_PACKAGE_FILE_NAME "Veyra-2-Mac-Launcher-${PROJECT_VERSION}")
else()
  # The runtime the launcher pins and downloads is a macOS build, which a
  # Linux system cannot start: the package serves those who develop and test
  # the launcher, and says so, until there is a runtime for Linux.
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Veyra 2 Mac Launcher, Linux build for developers and testers")
  set(CPACK_PACKAGE_DESCRIPTION "The Linux build of the launcher that runs the Windows game Veyra 2 on a Mac, for developing and testing the launcher itself. The compatibility runtime it downloads (about 341 MB) is built for macOS, so on Linux setup cannot start it: this package does not let you play Veyra 2 on Linux.")
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION devel)
  # The libraries the programs link are found by dpkg-shlibdeps; the tools the
  # launcher starts are named here: curl for the download, bsdtar for every
  # archive, setarch (util-linux, always installed) for the x86_64 check.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "curl, ca-certificates, libarchive-tools")
endif()

include(CPack)
