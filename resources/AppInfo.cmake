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

# File and product version: major.minor.0.revision; its text form pads the minor
# to two digits and the revision to four ("4.06.0009").
set(QUILLMAR_FILE_VERSION "${QUILLMAR_MAJOR}.${QUILLMAR_MINOR}.0.${QUILLMAR_REVISION}")
quillmar_zero_pad(${QUILLMAR_MINOR} 2 _minor_text)
quillmar_zero_pad(${QUILLMAR_REVISION} 4 _revision_text)
set(QUILLMAR_FILE_VERSION_TEXT "${QUILLMAR_MAJOR}.${_minor_text}.${_revision_text}")
