# Renders the application icon (packaging/vellumar.svg) to the PNG sizes of the hicolor theme, in
# ${VL_ICON_DIR}/<N>x<N>/apps/vellumar.png. The application embeds them as its window icon; the install
# rules put them into share/icons/hicolor.
find_program(VL_RSVG_CONVERT rsvg-convert REQUIRED)
set(VL_ICON_SVG ${PROJECT_SOURCE_DIR}/packaging/vellumar.svg)
set(VL_ICON_DIR ${PROJECT_BINARY_DIR}/icons/hicolor)
set(VL_ICON_SIZES 16 24 32 48 64 128 256)
set(VL_ICON_PNGS)
foreach(size ${VL_ICON_SIZES})
  set(png ${VL_ICON_DIR}/${size}x${size}/apps/vellumar.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VL_ICON_DIR}/${size}x${size}/apps
    COMMAND ${VL_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${VL_ICON_SVG}
    DEPENDS ${VL_ICON_SVG}
    COMMENT "Rendering the ${size}x${size} application icon"
    VERBATIM)
  list(APPEND VL_ICON_PNGS ${png})
endforeach()
