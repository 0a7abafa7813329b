#include "forms/Fonts.h"

#include <QFont>

namespace forms {

void InstallFontSubstitutions()
{
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("IPAPMincho"));
    QFont::insertSubstitution(QStringLiteral("HG丸ｺﾞｼｯｸM-PRO"), QStringLiteral("MotoyaLMaru"));
}

} // namespace forms
