# Read by cpack for each generator in turn. The zip unpacks to one folder named like the file;
# an installer has no such folder.
if(CPACK_GENERATOR STREQUAL "ZIP")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
endif()
