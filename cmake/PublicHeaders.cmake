# Each library's headers are found through an include directory of its own,
# which holds a single link named after the library's folder ("drivespace",
# "app/behaviour") to that folder. A target sees the headers of the libraries
# it links and of no others, so a lower layer that includes a higher one, or a
# sibling it does not link, fails to build.
function(quillmar_public_headers target folder)
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  set(link ${root}/${folder})
  cmake_path(GET link PARENT_PATH parent)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${link} SYMBOLIC)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()
