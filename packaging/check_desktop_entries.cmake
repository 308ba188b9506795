cmake_minimum_required(VERSION 3.25)
# Each desktop entry starts an installed program and names an icon the data
# generator made at every size, which a real PNG reader (ImageMagick) reads
# as an RGBA picture of that size, and as an SVG that draws the same
# picture: rendered at 64 pixels it stays within 10 % RMS of the 64-pixel
# PNG (another program's icon or a plain tile is over 20 % off).
foreach(program orbivale-gl orbivale-glide)
  file(STRINGS ${SOURCE}/${program}.desktop lines)
  if(NOT "Exec=${program}" IN_LIST lines OR NOT "Icon=${program}" IN_LIST lines)
    message(FATAL_ERROR "${program}.desktop: Exec= and Icon= must both be ${program}")
  endif()
  foreach(size 16 24 32 48 64 128 256)
    set(icon ${DATA}/icons/hicolor/${size}x${size}/apps/${program}.png)
    execute_process(COMMAND ${IDENTIFY} -regard-warnings -format "%m %w %h %[channels]" ${icon}
                    OUTPUT_VARIABLE found ERROR_VARIABLE problem RESULT_VARIABLE failed)
    if(failed OR NOT found STREQUAL "PNG ${size} ${size} srgba")
      message(FATAL_ERROR "${icon}: '${found}' ${problem}")
    endif()
  endforeach()
  set(svg ${DATA}/icons/hicolor/scalable/apps/${program}.svg)
  execute_process(COMMAND ${RSVG_CONVERT} -w 64 -h 64 -o ${WORK}/${program}-from-svg.png ${svg}
                  ERROR_VARIABLE problem RESULT_VARIABLE failed)
  execute_process(COMMAND ${COMPARE} -metric RMSE ${DATA}/icons/hicolor/64x64/apps/${program}.png
                          ${WORK}/${program}-from-svg.png null:
                  ERROR_VARIABLE difference RESULT_VARIABLE unlike)
  string(REGEX MATCH "\\(([0-9.e-]+)\\)" ratio "${difference}")
  if(failed OR unlike GREATER 1 OR NOT CMAKE_MATCH_1 LESS 0.1)
    message(FATAL_ERROR "${svg}: ${problem} ${difference}")
  endif()
endforeach()
