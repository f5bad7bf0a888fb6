# Settings cpack takes per generator, read when `cpack -G ...` runs.

if(CPACK_GENERATOR STREQUAL "DEB")
  # The game looks for its installed lists under the prefix it was
  # configured with, so the package's prefix must be that one.
  if(NOT CPACK_BRAWLARIUM_INSTALL_PREFIX STREQUAL "/usr")
    message(FATAL_ERROR "The Debian package installs to /usr: configure with "
      "-DCMAKE_INSTALL_PREFIX=/usr (cmake --preset deb) and build again.")
  endif()
  set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
  set(CPACK_COMPONENTS_ALL game debian)
endif()
