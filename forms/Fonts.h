#pragma once

namespace forms {

// The window layouts name Windows Japanese fonts; they are drawn with the
// Japanese fonts installed here: "ＭＳ Ｐゴシック" -> IPAPGothic,
// "ＭＳ Ｐ明朝" -> IPAPMincho, "HG丸ｺﾞｼｯｸM-PRO" -> MotoyaLMaru.
void InstallFontSubstitutions();

} // namespace forms
