# Installs the library, its header, a pkg-config file and a CMake package (TallyJet::tallyjet-linux).
include(CMakePackageConfigHelpers)

install(TARGETS tallyjet-linux EXPORT TallyJetTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(TALLYJET_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/TallyJet)
install(EXPORT TallyJetTargets NAMESPACE TallyJet:: DESTINATION ${TALLYJET_CMAKE_DIR})
configure_package_config_file(cmake/TallyJetConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/TallyJetConfig.cmake
  INSTALL_DESTINATION ${TALLYJET_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/TallyJetConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${CMAKE_CURRENT_BINARY_DIR}/TallyJetConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/TallyJetConfigVersion.cmake
  DESTINATION ${TALLYJET_CMAKE_DIR})

# The .pc file finds the prefix from its own place, so the installed tree can be moved.
file(RELATIVE_PATH TALLYJET_PC_TO_PREFIX
  /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
configure_file(cmake/tallyjet-linux.pc.in ${CMAKE_CURRENT_BINARY_DIR}/tallyjet-linux.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/tallyjet-linux.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
