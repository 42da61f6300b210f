# The Debian package, made by scripts/package.sh: cpack -G DEB in a Release build configured
# with -DCMAKE_INSTALL_PREFIX=/usr -DLUMARO_SHARED_DATA=ON -DLUMARO_TESTS=OFF.

set(LUMARO_MAINTAINER "Lumaro developers <maintainers@users.noreply.c-seed-427f7cdf.example>"
  CACHE STRING "The package's Maintainer field")

if(LUMARO_SHARED_DATA)
  # Debian keeps a package's documents under /usr/share/doc/<package>/, its manual pages
  # compressed with gzip -n (no name, no time stamp, so a rebuild gives the same bytes).
  set(LUMARO_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/lumaro)
  set(LUMARO_PACKAGING ${CMAKE_SOURCE_DIR}/packaging)
  set(LUMARO_COMPRESSED ${CMAKE_BINARY_DIR}/packaging)
  file(MAKE_DIRECTORY ${LUMARO_COMPRESSED})
  set(LUMARO_MANUAL_PAGES lumaro-cli.1)
  if(LUMARO_GUI)
    list(APPEND LUMARO_MANUAL_PAGES lumaro.1)
  endif()
  foreach(file changelog ${LUMARO_MANUAL_PAGES})
    add_custom_command(OUTPUT ${LUMARO_COMPRESSED}/${file}.gz
      COMMAND gzip -9n -c ${LUMARO_PACKAGING}/${file} > ${LUMARO_COMPRESSED}/${file}.gz
      DEPENDS ${LUMARO_PACKAGING}/${file}
      VERBATIM)
    list(APPEND LUMARO_COMPRESSED_FILES ${LUMARO_COMPRESSED}/${file}.gz)
  endforeach()
  add_custom_target(lumaro_package_files ALL DEPENDS ${LUMARO_COMPRESSED_FILES})
  install(FILES ${LUMARO_PACKAGING}/copyright ${LUMARO_COMPRESSED}/changelog.gz DESTINATION ${LUMARO_DOC_DIR})
  install(FILES ${LUMARO_PACKAGING}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
    RENAME lumaro)
  list(TRANSFORM LUMARO_MANUAL_PAGES PREPEND ${LUMARO_COMPRESSED}/)
  list(TRANSFORM LUMARO_MANUAL_PAGES APPEND .gz)
  install(FILES ${LUMARO_MANUAL_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumaro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Lumaro developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "number lottery analysis with a Chinese interface")
set(CPACK_PACKAGE_DESCRIPTION
  "Lumaro keeps each lottery's draw history in a local SQLite database, shows\n"
  "it as a trend grid, charts number indicators, rates hot and cold numbers,\n"
  "proposes numbers with back-tested picking rules, reduces the full set of\n"
  "tickets by filters, wheeling matrices and intersections of ticket files,\n"
  "checks tickets against the draws, plans stakes over a series of draws and\n"
  "downloads new results. lumaro-cli offers the same engines on the command\n"
  "line.\n"
  "\n"
  "The interface is in Chinese. A new program folder starts with the real draw\n"
  "histories of 中国福彩七乐彩, 福彩3D and 双色球.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${LUMARO_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The libraries the programs link are found by dpkg-shlibdeps. What they load at run time is
# named here: Qt's SQLite driver, and a font with the Chinese characters of the interface.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite")
if(LUMARO_GUI)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", fonts-noto-cjk | fonts-wqy-microhei | fonts-wqy-zenhei")
endif()
include(CPack)
