# The Debian package: `cpack -G DEB` in a build tree (scripts/package makes one in Release).
# app/ installs the program, its menu entry, the document type and the icons; this adds the
# AppStream metainfo and the manual page, and describes the package.
include(GNUInstallDirs)

install(FILES ${PROJECT_SOURCE_DIR}/res/org.curvana.Curvana.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The manual page carries the version of project() and is installed compressed, as man-db keeps
# its pages.
find_program(CURVANA_GZIP gzip REQUIRED)
set(manual ${PROJECT_BINARY_DIR}/man/curvana.1)
configure_file(${PROJECT_SOURCE_DIR}/docs/curvana.1.in ${manual} @ONLY)
add_custom_command(OUTPUT ${manual}.gz
  COMMAND ${CURVANA_GZIP} -9 -n -k -f ${manual}
  DEPENDS ${manual}
  COMMENT "Compressing the manual page")
add_custom_target(curvana_manual ALL DEPENDS ${manual}.gz)
install(FILES ${manual}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CURVANA_PACKAGE_MAINTAINER "Curvana developers <curvana@invalid>"
    CACHE STRING "The Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME curvana)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Directories the install creates, whatever the umask of whoever builds the package.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# The Description field: the summary, then the paragraph, whose lines CPack indents.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "function plotter with a French user interface")
set(CPACK_PACKAGE_DESCRIPTION [[
Curvana plots Cartesian y(x), parametric x(t), y(t) and polar r(theta)
curves typed as formulas, parsed by its own expression engine. It samples
them pixel by pixel and refines jumps and domain edges, so that no false
vertical segment crosses an asymptote, and draws axes, graduations and a
grid. It derives formulas symbolically, prints, and exports to PNG, SVG
and PDF; its command line draws without a window.]])
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CURVANA_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries the program links come from dpkg-shlibdeps. It cannot see what is found at run
# time: the fonts the labels ask for ("Arial" is Liberation Sans) and Qt's French translations.
# Qt's xcb and offscreen platforms ship in libqt6gui6, which the program links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, qt6-translations-l10n")

include(CPack)
