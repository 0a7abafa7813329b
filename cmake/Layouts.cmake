include("${CMAKE_CURRENT_LIST_DIR}/LayoutFonts.cmake")

# kiboru_add_layouts(<target> <layout.ui>...)
# Builds each window layout into ui_<name>.h in the target's build folder,
# from a copy that names the installed fonts (cmake/MapLayoutFonts.cmake).
# The layouts in the source tree keep their own (Windows) font names.
function(kiboru_add_layouts target)
  set_property(TARGET ${target} PROPERTY AUTOUIC OFF)
  set(copies "")
  foreach(layout IN LISTS ARGN)
    get_filename_component(name "${layout}" NAME)
    set(in "${CMAKE_CURRENT_SOURCE_DIR}/${layout}")
    set(copy "${CMAKE_CURRENT_BINARY_DIR}/layouts/${name}")
    add_custom_command(OUTPUT "${copy}"
      COMMAND "${CMAKE_COMMAND}" "-DIN=${in}" "-DOUT=${copy}" "-DWIN32=${WIN32}"
              -P "${PROJECT_SOURCE_DIR}/cmake/MapLayoutFonts.cmake"
      DEPENDS "${in}" "${PROJECT_SOURCE_DIR}/cmake/MapLayoutFonts.cmake"
              "${PROJECT_SOURCE_DIR}/cmake/LayoutFonts.cmake"
      COMMENT "Layout ${name} with the installed fonts"
      VERBATIM)
    list(APPEND copies "${copy}")
  endforeach()
  qt_wrap_ui(headers ${copies})
  target_sources(${target} PRIVATE ${headers} ${ARGN})
  target_include_directories(${target} PUBLIC "${CMAKE_CURRENT_BINARY_DIR}")
endfunction()

# The same table for the program: forms/LayoutFonts.h.
function(kiboru_write_layout_fonts_header out)
  set(rows "")
  set(count 0)
  set(fonts ${KIBORU_LAYOUT_FONTS})
  while(fonts)
    list(POP_FRONT fonts layoutFont installedFont)
    string(APPEND rows "    LayoutFont{u\"${layoutFont}\", u\"${installedFont}\"},\n")
    math(EXPR count "${count} + 1")
  endwhile()
  configure_file("${PROJECT_SOURCE_DIR}/forms/LayoutFonts.h.in" "${out}" @ONLY)
endfunction()
