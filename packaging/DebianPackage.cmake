# The Debian package: its copyright and changelog files, and CPack's DEB
# settings. The package's own revision ("-1") comes from the changelog's
# latest entry, whose upstream version must be AppInfo's.

set(debian_dir ${CMAKE_CURRENT_SOURCE_DIR}/debian)
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/quillmar)

set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${debian_dir}/changelog)
file(STRINGS ${debian_dir}/changelog latest_entry LIMIT_COUNT 1)
if(NOT latest_entry MATCHES "^quillmar \\(([^)]+)-([^-)]+)\\) ")
  message(FATAL_ERROR "debian/changelog: the first line names no version: ${latest_entry}")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL QUILLMAR_VERSION_NUMBER)
  message(FATAL_ERROR "debian/changelog's latest entry is for ${CMAKE_MATCH_1}, AppInfo.cmake says ${QUILLMAR_VERSION_NUMBER}: add an entry")
endif()
set(debian_revision ${CMAKE_MATCH_2})

set(changelog_gz ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz)
add_custom_command(OUTPUT ${changelog_gz}
  COMMAND gzip -9n -c ${debian_dir}/changelog > ${changelog_gz}
  DEPENDS ${debian_dir}/changelog
  VERBATIM)
add_custom_target(quillmar_debian_changelog ALL DEPENDS ${changelog_gz})
install(FILES ${debian_dir}/copyright ${changelog_gz} DESTINATION ${doc_dir})
# Each override says why it is there.
install(FILES ${debian_dir}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME quillmar)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmar)
set(CPACK_PACKAGE_VERSION ${QUILLMAR_VERSION_NUMBER})
set(CPACK_PACKAGE_VENDOR "The Quillmar developers")
set(CPACK_PACKAGE_CONTACT "The Quillmar developers <quillmar@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "see how full a disk drive is")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Quillmar shows the capacity, the used space and the free space of one disk\n"
  "drive as exact byte counts, beside a pie chart of the used and the free\n"
  "share, refreshed every second. The chart's colours are chosen from its\n"
  "legend. The drive, the window position and the colours are remembered.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${debian_revision})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quillmar.example.org/")
# The libraries' packages come from dpkg-shlibdeps; the layout was fitted to
# Liberation Sans; the window needs a platform plugin (xcb or wayland), which
# Qt's libraries only recommend.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
