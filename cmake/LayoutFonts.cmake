# The Windows Japanese fonts that the window layouts name, each followed by
# the font that draws it where it is not installed (scripts/setup.sh and the
# Debian package install these). On Windows the layouts' own fonts are used.
if(WIN32)
  set(KIBORU_LAYOUT_FONTS "")
else()
  set(KIBORU_LAYOUT_FONTS
    "ＭＳ Ｐゴシック" "IPAPGothic"
    "ＭＳ Ｐ明朝" "IPAPMincho"
    "HG丸ｺﾞｼｯｸM-PRO" "MotoyaLMaru")
endif()
