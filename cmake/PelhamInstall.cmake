# The installed layout and the Debian package. The programs find their data in
# ../share/pelham beside their own folder, so the data goes under "share" of whatever
# prefix is chosen.

set(PELHAM_APP_ID org.tarn.Pelham)
set(PELHAM_DATA share/pelham)
set(PELHAM_SCREENSHOT_URL "https://example.org/pelham/docs" CACHE STRING
    "Where the AppStream metadata finds the screenshots (docs/*.png)")
set(PELHAM_MAINTAINER "Pelham maintainers <maintainers@pelham.invalid>" CACHE STRING
    "The Debian package's maintainer")

install(TARGETS pelham pelham-cli RUNTIME DESTINATION bin)
if(TARGET harlon-sim)
    install(TARGETS harlon-sim RUNTIME DESTINATION bin)
endif()
install(DIRECTORY data/presets/ DESTINATION ${PELHAM_DATA}/presets)
# The help pages join the tree later; they are installed once they are there.
if(EXISTS "${PROJECT_SOURCE_DIR}/help")
    install(DIRECTORY help/ DESTINATION ${PELHAM_DATA}/help)
endif()

# Desktop integration: launcher, file type, AppStream metadata, bash completion.
install(FILES dist/${PELHAM_APP_ID}.desktop DESTINATION share/applications)
install(FILES dist/${PELHAM_APP_ID}.xml DESTINATION share/mime/packages)
configure_file(dist/${PELHAM_APP_ID}.metainfo.xml.in
               "${CMAKE_BINARY_DIR}/dist/${PELHAM_APP_ID}.metainfo.xml" @ONLY)
install(FILES "${CMAKE_BINARY_DIR}/dist/${PELHAM_APP_ID}.metainfo.xml" DESTINATION share/metainfo)
install(FILES dist/completion/pelham-cli DESTINATION share/bash-completion/completions)

# The application icon: the SVG itself, and PNG sizes drawn from it at build time.
install(FILES data/icons/pelham.svg DESTINATION share/icons/hicolor/scalable/apps
        RENAME ${PELHAM_APP_ID}.svg)
find_program(PELHAM_RSVG_CONVERT rsvg-convert)
set(icon_pngs)
if(PELHAM_RSVG_CONVERT)
    foreach(size 16 22 24 32 48 64 128 256)
        set(png "${CMAKE_BINARY_DIR}/dist/icons/${size}/${PELHAM_APP_ID}.png")
        add_custom_command(OUTPUT "${png}"
            COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/dist/icons/${size}"
            COMMAND ${PELHAM_RSVG_CONVERT} -w ${size} -h ${size} -o "${png}"
                    "${PROJECT_SOURCE_DIR}/data/icons/pelham.svg"
            DEPENDS "${PROJECT_SOURCE_DIR}/data/icons/pelham.svg" VERBATIM)
        install(FILES "${png}" DESTINATION share/icons/hicolor/${size}x${size}/apps)
        list(APPEND icon_pngs "${png}")
    endforeach()
else()
    message(STATUS "rsvg-convert not found: only the scalable icon is installed")
endif()

# Man pages, compressed as Debian keeps them; the program's own page also in Japanese.
set(man_pages)
foreach(page pelham pelham-cli harlon-sim ja/pelham)
    set(gz "${CMAKE_BINARY_DIR}/dist/man/${page}.1.gz")
    get_filename_component(folder "${gz}" DIRECTORY)
    get_filename_component(language "${page}" DIRECTORY)
    if(language)
        set(language "${language}/")
    endif()
    add_custom_command(OUTPUT "${gz}"
        COMMAND ${CMAKE_COMMAND} -E make_directory "${folder}"
        COMMAND gzip -9nc "${PROJECT_SOURCE_DIR}/dist/man/${page}.1" > "${gz}"
        DEPENDS "${PROJECT_SOURCE_DIR}/dist/man/${page}.1")
    install(FILES "${gz}" DESTINATION share/man/${language}man1)
    list(APPEND man_pages "${gz}")
endforeach()
# The licence and the package's history where Debian keeps them: the copyright file in
# its machine-readable form (the licence text itself is the system's GPL-3), the
# changelog compressed. The version has no Debian revision, so the changelog is a native
# package's changelog.gz.
set(changelog "${CMAKE_BINARY_DIR}/dist/changelog.gz")
add_custom_command(OUTPUT "${changelog}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/dist"
    COMMAND gzip -9nc "${PROJECT_SOURCE_DIR}/dist/debian/changelog" > "${changelog}"
    DEPENDS "${PROJECT_SOURCE_DIR}/dist/debian/changelog")
install(FILES dist/debian/copyright "${changelog}" DESTINATION share/doc/pelham)
add_custom_target(pelham_dist ALL DEPENDS ${icon_pngs} ${man_pages} "${changelog}")

# The Debian package (make package): run-time libraries found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelham)
set(CPACK_PACKAGE_VENDOR Tarn)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Clone programming for the Harlon scanning receiver")
# Lines of the description stay within 80 columns, as Debian wants them.
set(CPACK_PACKAGE_DESCRIPTION
    "Pelham reads the memory of the Harlon wideband scanning receiver through\n"
    "its cloning cable, shows it as sheets of channels, searches and settings,\n"
    "checks it and writes it back. It includes pelham-cli for scripts and\n"
    "harlon-sim, a simulated receiver.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_CONTACT "${PELHAM_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded as plug-ins, so no linked library names them: the SVG icon engine.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
# Japanese: the fonts, and Qt's own texts for the buttons of message boxes and dialogs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xdg-utils")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
