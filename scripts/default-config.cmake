# Writes the default settings file to DEST unless a file is already there.
if(NOT EXISTS "${DEST}")
  get_filename_component(dir "${DEST}" DIRECTORY)
  file(MAKE_DIRECTORY "${dir}")
  file(WRITE "${DEST}" "800\n600\n16\n1\n1\n1\n0\n0\n0\n1\n000000\n")
endif()
