# Installing lays out the runnable tree of bin/ under the prefix: the program,
# the framework and driver libraries, plugins/ with the entry-format file, and
# schema/. Linux installs into /opt/norbix unless a prefix is given; the .deb
# adds /usr/bin/norbix, a link to the program (it finds its tree through the
# link). Windows packs the 32-bit set, runtime DLLs included, into a .zip.

if(NOT WIN32 AND CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX /opt/norbix CACHE PATH "Install prefix" FORCE)
endif()

install(TARGETS norbix RUNTIME DESTINATION . COMPONENT program)
if(WIN32)
  # The import libraries are of no use beside the program.
  install(TARGETS wyxcore vantlib RUNTIME DESTINATION . COMPONENT program
          ARCHIVE DESTINATION lib COMPONENT devel EXCLUDE_FROM_ALL)
  # The runtime DLLs as the toolchain has them carry their debugging sections
  # (libstdc++ is ten times its stripped size); a stripping install drops them.
  install(FILES ${NORBIX_RUNTIME_DLL_FILES} DESTINATION . COMPONENT program)
  foreach(dll ${NORBIX_RUNTIME_DLL_FILES})
    get_filename_component(name ${dll} NAME)
    install(CODE "if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${CMAKE_STRIP}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${name}\")
    endif()" COMPONENT program)
  endforeach()
else()
  install(TARGETS wyxcore vantlib LIBRARY DESTINATION . COMPONENT program)
endif()
if(norbix_schema_files)
  install(FILES ${norbix_schema_files} DESTINATION schema COMPONENT program)
endif()

file(STRINGS ${CMAKE_SOURCE_DIR}/collector/banner.cpp norbix_version_line REGEX "Version [0-9.]+")
string(REGEX MATCH "[0-9]+\\.[0-9]+\\.[0-9]+" norbix_version "${norbix_version_line}")

set(CPACK_PACKAGE_NAME norbix)
set(CPACK_PACKAGE_VERSION ${norbix_version})
set(CPACK_PACKAGE_VENDOR "norbix")
set(CPACK_PACKAGE_CONTACT "norbix maintainers <norbix@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Diagnostic collection: system facts and service-processor logs as CIM-XML, HTML and text")
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME ${CMAKE_SYSTEM_PROCESSOR}-windows)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
  set(CPACK_GENERATOR "DEB;TGZ")
  set(CPACK_PACKAGING_INSTALL_PREFIX /opt/norbix)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SECTION admin)
  # The .deb puts norbix on the path; cmake/cpack_generators.cmake says how.
  set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/cpack_generators.cmake)
endif()
# Packing follows a build (scripts/build.sh): it need not walk the whole tree again.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
include(CPack)
