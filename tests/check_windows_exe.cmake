# quillmar.exe stays self-contained and small: it imports only DLLs that every
# Windows has (the C runtime msvcrt included), and it is under 1 MB.
#   cmake -DEXE=quillmar.exe -DOBJDUMP=x86_64-w64-mingw32-objdump -P check_windows_exe.cmake
cmake_minimum_required(VERSION 3.25)
set(windows_dlls advapi32 comctl32 comdlg32 gdi32 kernel32 mpr msvcrt user32)

file(SIZE ${EXE} size)
if(size GREATER_EQUAL 1048576)
  message(FATAL_ERROR "${EXE} is ${size} bytes, not under 1 MB")
endif()

execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} cannot read ${EXE}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
foreach(import IN LISTS imports)
  string(REGEX REPLACE "DLL Name: ([^.]+)\\.[dD][lL][lL].*" "\\1" dll "${import}")
  string(TOLOWER "${dll}" dll)
  if(NOT dll IN_LIST windows_dlls)
    message(FATAL_ERROR "${EXE} needs ${dll}.dll, which Windows does not have")
  endif()
endforeach()
message(STATUS "${EXE}: ${size} bytes; imports ${imports}")
