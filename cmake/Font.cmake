# VELKFONT.FON: the VGA 8 x 16 console font of console-data, turned at build time into a
# TrueType font whose outlines are the console pixels, so it scales with the screen.
find_file(VELK_PSF_FONT default8x16.psf.gz PATHS /usr/share/consolefonts NO_DEFAULT_PATH REQUIRED)

add_executable(psf2ttf tools/psf2ttf.cpp)
target_link_libraries(psf2ttf PRIVATE velk_options)
set_target_properties(psf2ttf PROPERTIES AUTOMOC OFF)

set(VELK_FONT_FILE ${CMAKE_BINARY_DIR}/VELKFONT.FON)
add_custom_command(
    OUTPUT ${VELK_FONT_FILE}
    COMMAND sh -c "gzip -dc '${VELK_PSF_FONT}' > '${CMAKE_BINARY_DIR}/default8x16.psf'"
    COMMAND psf2ttf ${CMAKE_BINARY_DIR}/default8x16.psf ${VELK_FONT_FILE}
    DEPENDS psf2ttf ${VELK_PSF_FONT}
    COMMENT "Generating VELKFONT.FON"
    VERBATIM)
add_custom_target(velk_font ALL DEPENDS ${VELK_FONT_FILE})
