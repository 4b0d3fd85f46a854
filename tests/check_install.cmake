# Installs the build into a scratch prefix and checks what the desktop sees:
# the program, its menu entry, its icons and its AppStream metainfo, the last
# two files run through their validators.
#
#   cmake -DBUILD_DIR=... -DPREFIX=... -DDESKTOP_FILE_VALIDATE=... -DAPPSTREAMCLI=... -P check_install.cmake

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                OUTPUT_QUIET RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

include(GNUInstallDirs)
set(share "${PREFIX}/${CMAKE_INSTALL_DATADIR}")
set(desktop_file "${share}/applications/quillmar.desktop")
set(metainfo_file "${share}/metainfo/org.example.quillmar.metainfo.xml")
foreach(installed IN ITEMS
    "${PREFIX}/${CMAKE_INSTALL_BINDIR}/quillmar"
    "${PREFIX}/${CMAKE_INSTALL_LIBEXECDIR}/quillmar/quillmar-drive-query"
    "${desktop_file}"
    "${metainfo_file}"
    "${share}/icons/hicolor/scalable/apps/quillmar.svg"
    "${share}/icons/hicolor/32x32/apps/quillmar.png")
  if(NOT EXISTS "${installed}")
    message(FATAL_ERROR "not installed: ${installed}")
  endif()
endforeach()

# A PNG starts with its signature and then the IHDR chunk, whose first two
# fields are the width and the height, 32 each.
file(READ "${share}/icons/hicolor/32x32/apps/quillmar.png" png_head LIMIT 24 HEX)
if(NOT png_head STREQUAL "89504e470d0a1a0a0000000d494844520000002000000020")
  message(FATAL_ERROR "the theme icon is not a 32 x 32 PNG: ${png_head}")
endif()

execute_process(COMMAND "${DESKTOP_FILE_VALIDATE}" "${desktop_file}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "desktop-file-validate rejected ${desktop_file}")
endif()
execute_process(COMMAND "${APPSTREAMCLI}" validate --no-net --pedantic "${metainfo_file}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "appstreamcli rejected ${metainfo_file}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
