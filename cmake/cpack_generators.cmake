# Read by CPack for each generator. Only the .deb puts norbix on the path, with
# a link that the package owns: made here, while packing, so that an install
# into a prefix of one's choice never writes outside it.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_INSTALL_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/deb_path_link.cmake)
else()
  # An archive unpacks anywhere: its tree has no prefix of its own.
  set(CPACK_PACKAGING_INSTALL_PREFIX "")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
endif()
