# cmake -DSOURCE=<file> -DTARGET=<file> -P CopyIfMissing.cmake
# The settings file beside the program is the user's once it exists: only a
# fresh output folder gets the default one.
if(NOT EXISTS "${TARGET}")
  configure_file("${SOURCE}" "${TARGET}" COPYONLY)
endif()
