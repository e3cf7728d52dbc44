# Installs the library, its header, a pkg-config file, a CMake package (TallyJet::tallyjet-linux)
# and the udev rule for USB printers; defines the helpers the programs install themselves with.
include(CMakePackageConfigHelpers)

# Where udev rules and systemd units go: relative to the prefix, or absolute (a Debian package
# gives /lib/udev/rules.d and /lib/systemd/system).
set(TALLYJET_UDEV_RULES_DIR lib/udev/rules.d CACHE STRING "Directory of the udev rule")
set(TALLYJET_SYSTEMD_UNIT_DIR lib/systemd/system CACHE STRING "Directory of the systemd unit")

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

# The udev rule names the vendor id the library is built with.
file(READ contrib/udev/60-tallyjet-printer.rules TALLYJET_UDEV_RULE)
string(REGEX REPLACE "^0[xX]" "" TALLYJET_UDEV_VENDOR "${TALLYJET_USB_VENDOR_ID}")
string(TOLOWER "${TALLYJET_UDEV_VENDOR}" TALLYJET_UDEV_VENDOR)
string(REPLACE "ATTR{idVendor}==\"1209\"" "ATTR{idVendor}==\"${TALLYJET_UDEV_VENDOR}\""
  TALLYJET_UDEV_RULE "${TALLYJET_UDEV_RULE}")
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/udev/60-tallyjet-printer.rules "${TALLYJET_UDEV_RULE}")
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/udev/60-tallyjet-printer.rules
  DESTINATION ${TALLYJET_UDEV_RULES_DIR})

# tallyjet_install_program(TARGET): installs a program that links the shared library. Where the
# library lands in a directory the loader searches anyway (/usr), the program needs no run path;
# under any other prefix it finds the library from its own place, so the tree can be moved.
function(tallyjet_install_program target)
  if(NOT CMAKE_INSTALL_FULL_LIBDIR IN_LIST CMAKE_CXX_IMPLICIT_LINK_DIRECTORIES)
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
  endif()
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endfunction()

# tallyjet_install_unit(TEMPLATE): installs the systemd unit made from TEMPLATE, whose
# @CMAKE_INSTALL_FULL_BINDIR@ becomes the bin directory of the prefix given at install time
# (cmake --install --prefix), not the one configured. file(INSTALL) honours DESTDIR and lists
# the unit in install_manifest.txt like every other installed file.
function(tallyjet_install_unit template)
  get_filename_component(unit ${template} NAME_WE)
  set(made ${CMAKE_CURRENT_BINARY_DIR}/unit/${unit}.service)
  set(dir ${TALLYJET_SYSTEMD_UNIT_DIR})
  if(NOT IS_ABSOLUTE ${dir})
    set(dir "\${CMAKE_INSTALL_PREFIX}/${dir}")
  endif()
  install(CODE "
    set(CMAKE_INSTALL_FULL_BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    configure_file(\"${template}\" \"${made}\" @ONLY)
    file(INSTALL DESTINATION \"${dir}\" TYPE FILE FILES \"${made}\")
  ")
endfunction()
