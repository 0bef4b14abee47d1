# Install rules: the two programs, the desktop entry, AppStream metadata,
# icons, manual pages, bash completion, documents and examples, laid out as
# the freedesktop.org and Debian conventions expect.
include(GNUInstallDirs)

set(_res "${PROJECT_SOURCE_DIR}/resources")
set(_gen "${PROJECT_BINARY_DIR}/install-files")
set(_app_id org.zeltrix.Zeltrix)
set(_docdir "${CMAKE_INSTALL_DATADIR}/doc/zeltrix")

install(TARGETS zeltrix zeltrix-cli RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")

# The project's version is the one that the manual pages, the metadata and
# the package name; the changelog's newest entry must be that version's.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${_res}/debian/changelog")
file(STRINGS "${_res}/debian/changelog" _newest LIMIT_COUNT 1)
if(NOT _newest MATCHES "^zeltrix \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "resources/debian/changelog: the newest entry is not version "
                      "${PROJECT_VERSION} of CMakeLists.txt: ${_newest}")
endif()
configure_file("${_res}/${_app_id}.metainfo.xml.in" "${_gen}/${_app_id}.metainfo.xml" @ONLY)
foreach(_page zeltrix.1 zeltrix-cli.1)
  configure_file("${_res}/man/${_page}.in" "${_gen}/man/${_page}" @ONLY)
endforeach()

install(FILES "${_res}/${_app_id}.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${_gen}/${_app_id}.metainfo.xml" DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")

# Icons. Menus and docks that draw no SVG take the PNGs, which are drawn from
# the one SVG at build time, so that they can never fall behind it.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
install(FILES "${_res}/icons/zeltrix.svg"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps"
        RENAME "${_app_id}.svg")
set(_generated "")
foreach(_size 16 22 24 32 48 64 128 256)
  set(_png "${_gen}/icons/${_size}x${_size}/${_app_id}.png")
  add_custom_command(OUTPUT "${_png}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${_gen}/icons/${_size}x${_size}"
    COMMAND "${RSVG_CONVERT}" -w ${_size} -h ${_size} -o "${_png}" "${_res}/icons/zeltrix.svg"
    DEPENDS "${_res}/icons/zeltrix.svg"
    COMMENT "Drawing the ${_size} px icon" VERBATIM)
  list(APPEND _generated "${_png}")
  install(FILES "${_png}" DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps")
endforeach()

# Manual pages and the changelog go in compressed without a time stamp, as
# Debian wants them; man reads them so everywhere. Each source pairs with its
# compressed file under the build's install files.
set(_gz_sources "${_gen}/man/zeltrix.1" "${_gen}/man/zeltrix-cli.1" "${_res}/debian/changelog")
set(_gz_outputs man/zeltrix.1.gz man/zeltrix-cli.1.gz changelog.gz)
foreach(_source _output IN ZIP_LISTS _gz_sources _gz_outputs)
  set(_gz "${_gen}/${_output}")
  get_filename_component(_gz_dir "${_gz}" DIRECTORY)
  add_custom_command(OUTPUT "${_gz}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${_gz_dir}"
    COMMAND sh -c "gzip -9n < \"$1\" > \"$2\"" sh "${_source}" "${_gz}"
    DEPENDS "${_source}" VERBATIM)
  list(APPEND _generated "${_gz}")
endforeach()
install(FILES "${_gen}/man/zeltrix.1.gz" "${_gen}/man/zeltrix-cli.1.gz"
        DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
add_custom_target(zeltrix_install_files ALL DEPENDS ${_generated})

install(FILES "${_res}/completion/zeltrix-cli"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/bash-completion/completions")

# Documents. The glyph tables' notice is installed as soon as the tables are
# part of the tree; the copyright file then names them too.
set(_notice "${_res}/lcd-fonts/NOTICE")
# A folder's time changes when a file comes into it: configure again then.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${_res}")
if(IS_DIRECTORY "${_res}/lcd-fonts")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${_res}/lcd-fonts")
endif()
file(READ "${_res}/debian/copyright" _copyright)
if(EXISTS "${_notice}")
  install(FILES "${_notice}" DESTINATION "${_docdir}")
  file(READ "${_res}/debian/copyright-lcd-fonts" _third_party)
  string(APPEND _copyright "${_third_party}")
endif()
file(CONFIGURE OUTPUT "${_gen}/copyright" CONTENT "${_copyright}" @ONLY)
install(FILES "${PROJECT_SOURCE_DIR}/LICENSE" "${PROJECT_SOURCE_DIR}/README.md"
              "${_gen}/copyright" "${_gen}/changelog.gz"
        DESTINATION "${_docdir}")

# Only meaningful inside the package, but harmless elsewhere.
install(FILES "${_res}/debian/lintian-overrides"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/lintian/overrides" RENAME zeltrix)

install(DIRECTORY "${PROJECT_SOURCE_DIR}/examples/"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/zeltrix/examples")
