# Each layer publishes only its own headers: a target sees "engine/Search.h" only when it links the
# library of src/engine, so a layer that reaches into one it does not link fails to build. Every
# layer gets an include root of its own in the build tree, holding a link to its folder, or, where
# a folder holds two layers (the class library's toolkit-free core and its Qt half), links to just
# the headers it names.
function(ohmsift_publish_headers target folder)
  set(root ${PROJECT_BINARY_DIR}/include/${target})
  if(ARGN)
    file(MAKE_DIRECTORY ${root}/${folder})
    foreach(header ${ARGN})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder}/${header} ${root}/${folder}/${header}
           SYMBOLIC)
    endforeach()
  else()
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  target_include_directories(${target} PUBLIC ${root})
endfunction()

# An include that climbs out of its folder ("../platform/AnsiString.h") reaches a layer past its
# published headers: every build fails on one.
add_custom_target(ohmsift_check_includes ALL
  COMMAND ${CMAKE_COMMAND} -DROOT=${PROJECT_SOURCE_DIR} -P ${PROJECT_SOURCE_DIR}/cmake/CheckIncludes.cmake
  COMMENT "Checking that no include climbs out of its folder"
  VERBATIM)
