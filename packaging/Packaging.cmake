# The Debian package: `cpack -G DEB` in the build folder writes quarvel_<version>_amd64.deb.
# Its run-time dependencies are read from the programs and libraries it holds
# (dpkg-shlibdeps), and the engine's shared-library entry from its SONAME.
set(CPACK_PACKAGE_NAME quarvel)
set(CPACK_PACKAGE_VENDOR "The Quarvel developers")
set(CPACK_PACKAGE_CONTACT "Quarvel developers <${QV_SUPPORT_ADDRESS}>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "English-like scripting language for video and still images")
set(CPACK_PACKAGE_DESCRIPTION
"Quarvel is a scripting language for capturing, analysing and producing
video and still images. Scripts are plain English-like statements over
typed values: numbers, text, vectors, colours, lists, dates, grey and
colour pictures, movies, cameras and video outputs, with a library of
picture, search, drawing and file functions.
This package holds the engine library, the quarvel command-line runner,
the quarvel-ide editor, the script-host module with its tools, the manual
with its examples, and the SDK for plug-in modules (headers, CMake
package, pkg-config).")
set(CPACK_PACKAGE_INSTALL_DIRECTORY quarvel)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps must find the engine library inside the package it is building.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
# The engine library lies in /usr/lib: the dynamic linker's cache is renewed by trigger.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_SOURCE_DIR}/triggers)
# Text is drawn into pictures with DejaVu Sans.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
