# What a desktop and a packager want beside the program, made at build time: the icon as PNGs
# for the icon theme (rendered from the SVG by a small Qt tool, so no converter is needed) and
# the compressed man pages. Sets CARVELLE_ICON_SIZES, CARVELLE_ICON_FOLDER and CARVELLE_MAN_PAGES.
set(CARVELLE_ICON_SVG ${PROJECT_SOURCE_DIR}/carvelle/resources/icons/carvelle.svg)
set(CARVELLE_ICON_SIZES 48 128 256)
set(CARVELLE_ICON_FOLDER ${CMAKE_BINARY_DIR}/icons)

add_executable(render_icon ${PROJECT_SOURCE_DIR}/tools/RenderIcon.cpp)
target_link_libraries(render_icon PRIVATE carvelle_options Qt6::Gui Qt6::Svg)
set_target_properties(render_icon PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

set(icon_outputs)
set(icon_arguments)
foreach(size IN LISTS CARVELLE_ICON_SIZES)
  file(MAKE_DIRECTORY ${CARVELLE_ICON_FOLDER}/${size})
  list(APPEND icon_outputs ${CARVELLE_ICON_FOLDER}/${size}/carvelle.png)
  list(APPEND icon_arguments ${size}:${CARVELLE_ICON_FOLDER}/${size}/carvelle.png)
endforeach()
add_custom_command(
  OUTPUT ${icon_outputs}
  COMMAND render_icon ${CARVELLE_ICON_SVG} ${icon_arguments}
  DEPENDS render_icon ${CARVELLE_ICON_SVG}
  COMMENT "Rendering the program's icon as PNG"
  VERBATIM)

# Man pages: the version filled in at configure time, then gzip -n so that the same sources give
# the same bytes.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(CARVELLE_MAN_PAGES)
foreach(page carvelle.1 carvelle-cli.1)
  configure_file(${PROJECT_SOURCE_DIR}/carvelle/resources/man/${page}.in ${CMAKE_BINARY_DIR}/man/roff/${page} @ONLY)
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/man/roff/${page} ${CMAKE_BINARY_DIR}/man/${page}
    COMMAND ${GZIP_PROGRAM} -9 -n -f ${CMAKE_BINARY_DIR}/man/${page}
    DEPENDS ${CMAKE_BINARY_DIR}/man/roff/${page}
    COMMENT "Compressing the man page ${page}"
    VERBATIM)
  list(APPEND CARVELLE_MAN_PAGES ${CMAKE_BINARY_DIR}/man/${page}.gz)
endforeach()

add_custom_target(carvelle_desktop_data ALL DEPENDS ${icon_outputs} ${CARVELLE_MAN_PAGES})
