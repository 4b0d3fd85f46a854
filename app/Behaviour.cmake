# The main window's toolkit-free behaviour (quillmar_behaviour, declared at the
# top level), kept apart from app/CMakeLists.txt, which builds the Qt window.
target_sources(quillmar_behaviour PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/MainWindowBehaviour.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AboutTexts.cpp)
if(WIN32)
  target_sources(quillmar_behaviour PRIVATE ${CMAKE_CURRENT_LIST_DIR}/DriveCaption_win32.cpp)
else()
  target_sources(quillmar_behaviour PRIVATE ${CMAKE_CURRENT_LIST_DIR}/DriveCaption_posix.cpp)
endif()
