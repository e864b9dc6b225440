# Installation and packages: the two programs, their manual pages, and the CMake package that
# lets a game project find them with find_package(tunetools CONFIG).

include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(TUNETOOLS_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/tunetools)

install(TARGETS tunelist tunehdr EXPORT tunetools_targets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES man/tunelist.1 man/tunehdr.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(EXPORT tunetools_targets
  NAMESPACE tunetools::
  FILE tunetoolsTargets.cmake
  DESTINATION ${TUNETOOLS_PACKAGE_DIR})
configure_package_config_file(cmake/tunetoolsConfig.cmake.in
  ${PROJECT_BINARY_DIR}/tunetoolsConfig.cmake
  INSTALL_DESTINATION ${TUNETOOLS_PACKAGE_DIR})
# The programs' command lines and output bytes stay put within a major version.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/tunetoolsConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${PROJECT_BINARY_DIR}/tunetoolsConfig.cmake
  ${PROJECT_BINARY_DIR}/tunetoolsConfigVersion.cmake
  cmake/tunetools_songs.cmake
  DESTINATION ${TUNETOOLS_PACKAGE_DIR})

set(CPACK_PACKAGE_NAME tunetools)
set(CPACK_PACKAGE_VENDOR "tunetools developers")
set(CPACK_PACKAGE_CONTACT "tunetools developers <dev@tunetools.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
  "tunelist assembles a sound system's song list from a definition list and the list fragments
it includes, optionally renumbering the song entries; tunehdr turns the song list into the C
header mus_def.h. Includes the manual pages and a CMake package with build helpers.")
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/")
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(CPACK_GENERATOR TGZ DEB)
else()
  set(CPACK_GENERATOR TGZ)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
# Statically linked programs need no shared libraries; otherwise let dpkg name them.
find_program(DPKG_SHLIBDEPS_PROGRAM dpkg-shlibdeps)
if(NOT TUNETOOLS_STATIC AND DPKG_SHLIBDEPS_PROGRAM)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)
