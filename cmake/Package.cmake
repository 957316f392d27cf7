# The Debian package: `make package` runs cpack with the DEB generator over the same install()
# rules that `cmake --install` uses.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME hillograph)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Hillograph developers")
set(CPACK_PACKAGE_CONTACT "Hillograph developers <developers@hillograph.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "imaginary relief map generator")
set(CPACK_PACKAGE_DESCRIPTION
    "Hillograph draws imaginary relief maps from a handful of numbers: picture size,
random seed, diversity of relief, amounts of water and towns, and a style of
eight colours, grid size and shadows. The same parameters always give the
same picture.

The package holds the window, hillograph, which opens preset files (*.hpf)
from the desktop, and the command-line renderer hillograph-render for scripts
and batch work.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://hillograph.example/")
# The dependencies are those of the binaries, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# A packaged program links the shared C++ runtime, so that the system's security updates of it
# reach the program too; cpack refuses a build that carries its own copy.
set(HILLOGRAPH_PACKAGE_CHECK ${PROJECT_BINARY_DIR}/PackageCheck.cmake)
file(CONFIGURE OUTPUT ${HILLOGRAPH_PACKAGE_CHECK} CONTENT [[
cmake_policy(VERSION 3.22)
if(CPACK_GENERATOR STREQUAL "DEB" AND @HILLOGRAPH_STATIC_CXX_RUNTIME@)
  message(FATAL_ERROR "A package links the shared C++ runtime: configure with "
                      "-DHILLOGRAPH_STATIC_CXX_RUNTIME=OFF, as make package does.")
endif()
]] @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${HILLOGRAPH_PACKAGE_CHECK})

include(CPack)
