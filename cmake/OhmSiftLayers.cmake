# Each layer publishes only its own headers: a target sees "engine/Search.h" only when it links the
# library of src/engine, so a layer that reaches into one it does not link fails to build. Every
# layer's folder gets an include root of its own in the build tree, holding just a link to it.
function(ohmsift_publish_headers target folder)
  set(root ${PROJECT_BINARY_DIR}/include/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
  target_include_directories(${target} PUBLIC ${root})
endfunction()
