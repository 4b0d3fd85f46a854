# The Windows packages of quillmar.exe: the MSI, built with wixl (Debian's
# wixl package), and the portable zip with the licence and a short README, both
# with Windows line ends.

find_program(WIXL wixl)
set(package_dir ${CMAKE_BINARY_DIR})
set(msi_file ${package_dir}/quillmar-${QUILLMAR_VERSION_NUMBER}-x64.msi)
set(zip_file ${package_dir}/quillmar-${QUILLMAR_VERSION_NUMBER}-win64.zip)
set(icon_file ${CMAKE_BINARY_DIR}/resources/quillmar.ico)

set(zip_dir ${package_dir}/zip)
configure_file(${CMAKE_SOURCE_DIR}/LICENSE ${zip_dir}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(windows/README.txt.in ${zip_dir}/README.txt @ONLY NEWLINE_STYLE CRLF)

# An installer's product version is numbers only: 4.6.9 for 4.6.9b.
set(msi_version "${QUILLMAR_MAJOR}.${QUILLMAR_MINOR}.${QUILLMAR_REVISION}")
set(wxs_file ${CMAKE_CURRENT_SOURCE_DIR}/windows/quillmar.wxs)
if(WIXL)
  # wixl finds the files it packs by paths relative to where it runs.
  set(build_dir ${CMAKE_BINARY_DIR})
  add_custom_command(OUTPUT ${msi_file}
    COMMAND ${WIXL} --arch x64 -D Version=${msi_version}
            -D ProgramFile=$<PATH:RELATIVE_PATH,$<TARGET_FILE:quillmar>,${build_dir}>
            -D IconFile=$<PATH:RELATIVE_PATH,${icon_file},${build_dir}>
            -D LicenseFile=$<PATH:RELATIVE_PATH,${zip_dir}/LICENSE.txt,${build_dir}>
            -o ${msi_file} ${wxs_file}
    WORKING_DIRECTORY ${build_dir}
    DEPENDS quillmar quillmar_windows_icons ${wxs_file} ${zip_dir}/LICENSE.txt
    COMMENT "Writing ${msi_file}"
    VERBATIM)
  add_custom_target(quillmar_msi DEPENDS ${msi_file})
else()
  add_custom_target(quillmar_msi COMMAND ${CMAKE_COMMAND} -E false
    COMMENT "wixl is needed for the MSI (Debian: apt-get install wixl)")
endif()

add_custom_command(OUTPUT ${zip_file}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:quillmar> ${zip_dir}/quillmar.exe
  COMMAND ${CMAKE_COMMAND} -E rm -f ${zip_file}
  COMMAND ${CMAKE_COMMAND} -E chdir ${zip_dir}
          ${CMAKE_COMMAND} -E tar cf ${zip_file} --format=zip quillmar.exe LICENSE.txt README.txt
  DEPENDS quillmar ${zip_dir}/LICENSE.txt ${zip_dir}/README.txt
  COMMENT "Writing ${zip_file}"
  VERBATIM)
add_custom_target(quillmar_portable_zip DEPENDS ${zip_file})
