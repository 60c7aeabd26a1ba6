# Shared helpers for the build.

# Copy resources/ beside the binaries, on every build, so a changed OVL file
# is picked up without re-running CMake.
function(twk208_copy_resources)
  add_custom_target(twk208_resources ALL
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TWK208_BIN_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/resources ${TWK208_BIN_DIR}
    COMMENT "Copying resources beside the binaries")
endfunction()
