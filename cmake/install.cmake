# Installation and packaging: the programs in bin/, their manual pages in
# share/man/man1/, the README, the documents and the examples in
# share/doc/drainprep/, and the library with its public header and a CMake
# package, so that a program finds it with find_package(drainprep) and links
# drainprep::drainprep. cpack -G DEB makes drainprep_<version>_<arch>.deb.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(DRAINPREP_PROGRAMS PEDOPRE METCONV)
foreach(program PEDOVIEW METVIEW)
  if(TARGET ${program})
    list(APPEND DRAINPREP_PROGRAMS ${program})
  endif()
endforeach()
install(TARGETS ${DRAINPREP_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS drainprep_command RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/docs/man/drainprep.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

foreach(program ${DRAINPREP_PROGRAMS})
  if(EXISTS ${CMAKE_SOURCE_DIR}/docs/man/${program}.1)
    install(FILES ${CMAKE_SOURCE_DIR}/docs/man/${program}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endforeach()

set(DRAINPREP_DOC ${CMAKE_INSTALL_DATADIR}/doc/drainprep)
install(FILES README.md CHANGELOG.md LICENSE DESTINATION ${DRAINPREP_DOC})
install(DIRECTORY docs/ DESTINATION ${DRAINPREP_DOC}/docs PATTERN "man" EXCLUDE)
install(DIRECTORY examples/ DESTINATION ${DRAINPREP_DOC}/examples USE_SOURCE_PERMISSIONS)

# The library: the public header and every archive it needs, the archives in
# a folder of the project's own (lib/drainprep/), so that their plain names
# (libcommon.a, libweather.a) never stand beside other packages' libraries.
# find_package(drainprep) finds them there.
install(TARGETS drainprep common soilcalc soilprep weather EXPORT drainprepTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}/drainprep
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES drainprep/drainprep.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/drainprep)
set(DRAINPREP_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/drainprep)
install(EXPORT drainprepTargets NAMESPACE drainprep:: DESTINATION ${DRAINPREP_CMAKE_DIR})
configure_package_config_file(cmake/drainprepConfig.cmake.in ${CMAKE_BINARY_DIR}/drainprepConfig.cmake
                              INSTALL_DESTINATION ${DRAINPREP_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/drainprepConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/drainprepConfig.cmake ${CMAKE_BINARY_DIR}/drainprepConfigVersion.cmake
        DESTINATION ${DRAINPREP_CMAKE_DIR})

# The Debian package.
set(CPACK_PACKAGE_NAME drainprep)
set(CPACK_PACKAGE_VENDOR "drainprep")
set(CPACK_PACKAGE_CONTACT "drainprep maintainers <drainprep@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Soil and weather input preparation for a water-management model of drained, layered soils")
set(CPACK_PACKAGE_DESCRIPTION
    "PEDOPRE turns a layered soil profile into the model's soil tables; METCONV turns a weather series into the model's weather files; PEDOVIEW and METVIEW draw and check what a run wrote. Includes the drainprep library to run both without a process.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The Python package, when built, comes in this package, for the version of
# Debian's python3 it was built for; pandas and matplotlib serve its frames
# and the examples' plots.
if(BUILD_PYTHON)
  math(EXPR DRAINPREP_PYTHON_NEXT_MINOR "${Python3_VERSION_MINOR} + 1")
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "python3 (>= ${Python3_VERSION_MAJOR}.${Python3_VERSION_MINOR}~), python3 (<< ${Python3_VERSION_MAJOR}.${DRAINPREP_PYTHON_NEXT_MINOR}), python3-numpy")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "python3-pandas, python3-matplotlib")
endif()
include(CPack)
