cmake_minimum_required(VERSION 3.25)
# Each desktop entry starts an installed program and names an icon the data
# generator made at every size, which a real PNG reader (ImageMagick) reads
# as an RGBA picture of that size.
foreach(program orbivale-gl orbivale-glide)
  file(STRINGS ${SOURCE}/${program}.desktop lines)
  if(NOT "Exec=${program}" IN_LIST lines OR NOT "Icon=${program}" IN_LIST lines)
    message(FATAL_ERROR "${program}.desktop: Exec= and Icon= must both be ${program}")
  endif()
  foreach(size 48 64 128 256)
    set(icon ${DATA}/icons/hicolor/${size}x${size}/apps/${program}.png)
    execute_process(COMMAND ${IDENTIFY} -regard-warnings -format "%m %w %h %[channels]" ${icon}
                    OUTPUT_VARIABLE found ERROR_VARIABLE problem RESULT_VARIABLE failed)
    if(failed OR NOT found STREQUAL "PNG ${size} ${size} srgba")
      message(FATAL_ERROR "${icon}: '${found}' ${problem}")
    endif()
  endforeach()
endforeach()
