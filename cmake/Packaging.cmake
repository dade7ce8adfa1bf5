# The Debian package: `cpack -G DEB` in the build folder, or the `package` target.
# What goes into it is what `cmake --install` lays out (src/app/install.cmake), under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kr5au)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The kr5au developers")
set(CPACK_PACKAGE_CONTACT "The kr5au developers <kr5au@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "measuring program of the KR-5 partial-discharge detector")
set(CPACK_PACKAGE_DESCRIPTION
    "For high-voltage insulation testing. It talks over one RS-232 line to the KR-5
detector, an optional AC voltage unit and an optional ZN-4 noise discriminator;
shows the charge (pC), the pulse rate and the test voltage; charts them against
time, and the charge against the voltage with the inception and extinction
voltages; measures the pulse-count distribution over charge (Q-N); and records
the readings to CSV files.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# dpkg-shlibdeps finds the Qt and C++ libraries the executable links; it cannot see the
# Qt platform plugins loaded at run time, nor the font that draws the program's Japanese
# and full-width texts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, qt6-qpa-plugins")

# The program knows the data folder it was built for (KR5AU_DATA_DIR); a package made
# from a tree configured for another prefix puts the help page where it does not look.
# Said when the package is made, not at every configure.
if(NOT CMAKE_INSTALL_PREFIX STREQUAL CPACK_PACKAGING_INSTALL_PREFIX)
    file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/CPackPrefixCheck.cmake CONTENT [[
message(WARNING "kr5au was built for the prefix @CMAKE_INSTALL_PREFIX@, but the package "
        "installs under @CPACK_PACKAGING_INSTALL_PREFIX@. For a package to hand out, "
        "configure with -DCMAKE_INSTALL_PREFIX=@CPACK_PACKAGING_INSTALL_PREFIX@.")
]] @ONLY)
    set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/CPackPrefixCheck.cmake)
endif()

include(CPack)
