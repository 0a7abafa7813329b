# cmake -DIN=<layout.ui> -DOUT=<copy.ui> -DWIN32=<bool> -P MapLayoutFonts.cmake
# Copies a window layout, naming in its style sheets the fonts installed for
# the layout's fonts, so that the program resolves each font at once instead
# of searching every installed font for a name it does not have.
include("${CMAKE_CURRENT_LIST_DIR}/LayoutFonts.cmake")
file(READ "${IN}" layout)
set(fonts ${KIBORU_LAYOUT_FONTS})
while(fonts)
  list(POP_FRONT fonts layoutFont installedFont)
  string(REPLACE "\"${layoutFont}\"" "\"${installedFont}\"" layout "${layout}")
endwhile()
file(WRITE "${OUT}.tmp" "${layout}")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
