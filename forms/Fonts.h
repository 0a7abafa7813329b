#pragma once

#include <QString>

namespace forms {

// The window layouts name Windows Japanese fonts; elsewhere they are drawn
// with the Japanese fonts installed there (the table is in
// cmake/LayoutFonts.cmake): "ＭＳ Ｐゴシック" -> IPAPGothic,
// "ＭＳ Ｐ明朝" -> IPAPMincho, "HG丸ｺﾞｼｯｸM-PRO" -> MotoyaLMaru. The build
// gives the compiled layouts the installed names; these are for the rest.
// On Windows the layouts keep their names, and where one of their fonts is
// missing Qt draws with the first installed of its stand-ins (Fonts.cpp).

// The family that draws a layout's font on this platform (the name itself
// where the layout's fonts are installed, or for a name not in the table).
QString InstalledFamily(const QString& layoutFamily);

// For fonts chosen in code, and on Windows for missing fonts: Qt maps the
// layout names when it resolves a font.
void InstallFontSubstitutions();

} // namespace forms
