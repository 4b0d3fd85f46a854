# The Windows packages of quillmar.exe: the MSI, built with wixl (Debian's
# wixl package), and the portable zip with the licence and a short README, both
# with Windows line ends. packaging/windows/make-packages.sh makes both, the
# same bytes from the same sources, signed when a certificate is given.

set(package_dir ${CMAKE_BINARY_DIR})
set(msi_file ${package_dir}/quillmar-${QUILLMAR_VERSION_NUMBER}-x64.msi)
set(zip_file ${package_dir}/quillmar-${QUILLMAR_VERSION_NUMBER}-win64.zip)
set(icon_file ${CMAKE_BINARY_DIR}/resources/quillmar.ico)

set(text_dir ${package_dir}/text)
configure_file(${CMAKE_SOURCE_DIR}/LICENSE ${text_dir}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(windows/README.txt.in ${text_dir}/README.txt @ONLY NEWLINE_STYLE CRLF)

# Every file in the packages carries the release's time: SOURCE_DATE_EPOCH when
# the build is given one, otherwise the time of the Debian changelog's latest
# entry.
set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(epoch STREQUAL "")
  execute_process(COMMAND dpkg-parsechangelog -l ${CMAKE_SOURCE_DIR}/debian/changelog -STimestamp
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
endif()

set(make_packages ${CMAKE_CURRENT_SOURCE_DIR}/windows/make-packages.sh)
add_custom_command(OUTPUT ${msi_file} ${zip_file}
  COMMAND ${make_packages} ${package_dir} ${QUILLMAR_VERSION_NUMBER} ${QUILLMAR_FILE_VERSION} ${epoch}
          $<TARGET_FILE:quillmar> ${icon_file} ${text_dir}/LICENSE.txt ${text_dir}/README.txt
  DEPENDS quillmar quillmar_windows_icons ${make_packages} ${CMAKE_CURRENT_SOURCE_DIR}/windows/quillmar.wxs
          ${CMAKE_CURRENT_SOURCE_DIR}/windows/fix-msi-summary.pl ${CMAKE_CURRENT_SOURCE_DIR}/windows/sign.sh
          ${text_dir}/LICENSE.txt ${text_dir}/README.txt
  COMMENT "Writing ${msi_file} and ${zip_file}"
  VERBATIM)
add_custom_target(quillmar_windows_packages DEPENDS ${msi_file} ${zip_file})
