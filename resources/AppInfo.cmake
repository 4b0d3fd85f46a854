# The program's identity, in one place. CMake's project version, the generated
# AppInfo.h that the code reads and the Windows version resource all come from here.
set(QUILLMAR_TITLE "Quillmar")
set(QUILLMAR_MAJOR 4)
set(QUILLMAR_MINOR 6)
set(QUILLMAR_REVISION 9)
# The suffix after the revision and the release date, as the window shows them.
set(QUILLMAR_VERSION_MOD "b")
set(QUILLMAR_APP_DATE "3/14/2012")
set(QUILLMAR_COMMENTS "Quillmar Utility Program")
# Who makes and publishes it: the version resource's CompanyName, the
# installer's Manufacturer and the publisher Apps & features shows.
set(QUILLMAR_COMPANY "The Quillmar developers")
set(QUILLMAR_LEGAL_COPYRIGHT "Copyright (C) 2012 The Quillmar developers.")

function(quillmar_zero_pad value width out)
  set(text "${value}")
  string(LENGTH "${text}" length)
  while(length LESS width)
    string(PREPEND text "0")
    math(EXPR length "${length} + 1")
  endwhile()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The version as people read it: "4.6.9b".
set(QUILLMAR_VERSION_NUMBER "${QUILLMAR_MAJOR}.${QUILLMAR_MINOR}.${QUILLMAR_REVISION}${QUILLMAR_VERSION_MOD}")

# File and product version as Windows wants the numbers: four 16-bit fields,
# major.minor.revision.0 ("4.6.9.0"), so that they read in the same order as
# the name; the suffix has no number. Wherever a text is allowed (the version
# resource's strings, the installer's names) it is the name itself, "4.6.9b".
set(QUILLMAR_FILE_VERSION "${QUILLMAR_MAJOR}.${QUILLMAR_MINOR}.${QUILLMAR_REVISION}.0")
set(QUILLMAR_FILE_VERSION_TEXT "${QUILLMAR_VERSION_NUMBER}")
