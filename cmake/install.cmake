# `cmake --install` layout and the Debian package (cpack -G DEB):
#   bin/tessera, bin/tessera-cli
#   share/tessera/          HALL.DAT, scatfac.dat, cifdic.sht, examples/
#   share/applications/     desktop entry (opens .tsr files)
#   share/icons/hicolor/    scalable SVG and PNG sizes
#   share/mime/packages/    the .tsr file type
#   share/metainfo/         AppStream metadata
#   share/man/man1/         tessera.1, tessera-cli.1
#   share/doc/tessera/      copyright, changelog
include(GNUInstallDirs)

# cpack installs what is built; scripts/package_check.sh builds the installed
# targets only, so packaging a test build does not build the benchmarks too.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(TESSERA_APP_ID io.tessera.Tessera)
set(TESSERA_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(TESSERA_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/tessera)

install(TARGETS tessera-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/data/HALL.DAT ${CMAKE_SOURCE_DIR}/data/scatfac.dat
              ${CMAKE_SOURCE_DIR}/data/cifdic.sht
        DESTINATION ${TESSERA_SHARE_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/ DESTINATION ${TESSERA_SHARE_DIR}/examples)

# Manual pages and the changelog, compressed as Debian wants them (gzip -9n).
set(TESSERA_COMPRESSED)
foreach(src man/tessera.1 man/tessera-cli.1 changelog)
  get_filename_component(name ${src} NAME)
  set(out ${CMAKE_BINARY_DIR}/packaging/${name}.gz)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND sh -c "gzip -9nc '${TESSERA_PACKAGING_DIR}/${src}' > '${out}'"
    DEPENDS ${TESSERA_PACKAGING_DIR}/${src} VERBATIM)
  list(APPEND TESSERA_COMPRESSED ${out})
endforeach()
add_custom_target(tessera_packaging_files ALL DEPENDS ${TESSERA_COMPRESSED})
install(FILES ${CMAKE_BINARY_DIR}/packaging/tessera-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${TESSERA_PACKAGING_DIR}/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tessera)

if(TESSERA_GUI)
  install(TARGETS tessera RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${CMAKE_BINARY_DIR}/packaging/tessera.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${TESSERA_PACKAGING_DIR}/${TESSERA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${TESSERA_PACKAGING_DIR}/${TESSERA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${TESSERA_PACKAGING_DIR}/${TESSERA_APP_ID}.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
          RENAME ${TESSERA_APP_ID}.xml)
  install(FILES ${TESSERA_PACKAGING_DIR}/icons/${TESSERA_APP_ID}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 16 32 48 64 128 256)
    install(FILES ${TESSERA_PACKAGING_DIR}/icons/${size}/${TESSERA_APP_ID}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
endif()

# Debian package: runtime libraries found by dpkg-shlibdeps (the Qt 6 runtime
# packages, never the -dev ones) plus Qt's platform plugins.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessera)
set(CPACK_PACKAGE_VENDOR "Tessera maintainers")
set(CPACK_PACKAGE_CONTACT "Tessera maintainers <maintainers@users.noreply.c-seed-40bb26b5.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "crystal structure conversion, transformation and simulation
Tessera holds one crystal structure and converts it between the file formats
of crystallographic programs and databases (CIF, SHELX and others), transforms
it to a new cell or setting, simulates its powder pattern and precession
photograph and lists bond lengths and angles. The package holds the desktop
program tessera and the command-line program tessera-cli.")
if(TESSERA_GUI)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2")
endif()
include(CPack)

# The package built, installed, used, validated and removed again (root only;
# skipped otherwise). Label "packaging": ctest -L packaging / -LE packaging. Only a
# plain build with the desktop program makes the package.
if(TESSERA_TESTS AND TESSERA_GUI AND NOT TESSERA_SANITIZE AND NOT TESSERA_FUZZ)
  add_test(NAME package_check COMMAND ${CMAKE_SOURCE_DIR}/scripts/package_check.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(package_check PROPERTIES SKIP_RETURN_CODE 77 LABELS packaging TIMEOUT 300 RUN_SERIAL ON)
endif()
