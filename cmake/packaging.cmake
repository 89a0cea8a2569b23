# The Debian package: `cpack -G DEB` in a build tree configured with CMAKE_INSTALL_PREFIX=/usr (see
# scripts/package.sh). Its version is the project's; its Depends are computed by dpkg-shlibdeps from the
# libraries the installed programs link.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quell)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Quell developers <dev@quell.app>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "SMS spam filter with rule lists and an on-device model")
set(CPACK_PACKAGE_DESCRIPTION
  "Quell judges each incoming SMS offline, from four rule lists (number whitelist,\n\
number blacklist, keyword whitelist, keyword blacklist) and then a bag-of-words\n\
classification model trained on Chinese and English SMS. Nothing leaves the\n\
machine unless the user reports a message.\n\
\n\
quellguard is the filter, quellrules edits the rule lists from the command\n\
line, quellbox is the companion app (Qt 6) and quellreportd receives reports.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quell.app")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the app needs that no library links, so that dpkg-shlibdeps cannot know: the fonts its Chinese text is
# drawn with (without them every label is boxes), and Qt's Wayland platform plugin, for phone shells run
# Wayland. Depends, not Recommends: phones install without recommends. The computed Depends are added.
if(QUELL_BUILD_APP)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, qt6-wayland")
endif()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quell)

# The changelog and the manual pages, compressed as Debian wants them (-n: no name or time stamp, so the
# same sources give the same bytes).
function(quell_gzip source destination)
  get_filename_component(name ${source} NAME)
  set(output ${PROJECT_BINARY_DIR}/packaging/${name}.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND gzip -9nc ${source} > ${output}
    DEPENDS ${source})
  set_property(GLOBAL APPEND PROPERTY QUELL_PACKAGING_OUTPUTS ${output})
  install(FILES ${output} DESTINATION ${destination})
endfunction()
# The changelog's newest entry carries the project's version.
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog @ONLY)
quell_gzip(${PROJECT_BINARY_DIR}/packaging/changelog ${CMAKE_INSTALL_DATADIR}/doc/quell)
foreach(program quellguard quellrules quellreportd)
  quell_gzip(${PROJECT_SOURCE_DIR}/packaging/man/${program}.1 ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
if(QUELL_BUILD_APP)
  quell_gzip(${PROJECT_SOURCE_DIR}/packaging/man/quellbox.1 ${CMAKE_INSTALL_MANDIR}/man1)
endif()
if(TARGET quellmodem)
  foreach(program quellmodem quelllog)
    quell_gzip(${PROJECT_SOURCE_DIR}/packaging/man/${program}.1 ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
endif()
get_property(packaging_outputs GLOBAL PROPERTY QUELL_PACKAGING_OUTPUTS)
add_custom_target(quell_packaging_files ALL DEPENDS ${packaging_outputs})

include(CPack)
