# Writes the default settings file to DEST unless a file is already there.
if(NOT EXISTS "${DEST}")
  get_filename_component(dir "${DEST}" DIRECTORY)
  file(MAKE_DIRECTORY "${dir}")
  configure_file("${SRC}" "${DEST}" COPYONLY)
endif()
