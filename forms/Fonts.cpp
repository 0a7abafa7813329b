#include "forms/Fonts.h"

#include "forms/LayoutFonts.h"

#include <QFont>
#include <QStringList>

namespace forms {
namespace {

#ifdef Q_OS_WIN
// Windows draws the layouts' fonts by their own names; where one is missing
// (「HG丸ｺﾞｼｯｸM-PRO」 comes with some office suites only, the MS fonts only
// with Japanese Windows or its optional Japanese fonts), these stand in, the
// first one installed. MS P Gothic comes first: it is the layouts' other
// font, proportional like the rounded one, with the compact line height the
// controls were sized for. Meiryo and Yu Gothic (Windows since Vista and
// 8.1) have a taller line that can cut text at the foot of small fields, so
// they come after. The Japanese fonts of Linux come last: Wine shows them to Windows
// programs.
struct Fallback {
    const char16_t* layout;
    std::initializer_list<const char16_t*> families;
};

const Fallback kWindowsFallbacks[] = {
    {u"HG丸ｺﾞｼｯｸM-PRO", {u"ＭＳ Ｐゴシック", u"MS PGothic", u"Meiryo", u"Yu Gothic", u"MotoyaLMaru", u"IPAPGothic"}},
    {u"ＭＳ Ｐゴシック", {u"MS PGothic", u"Meiryo", u"Yu Gothic", u"IPAPGothic"}},
    {u"ＭＳ Ｐ明朝", {u"MS PMincho", u"Yu Mincho", u"IPAPMincho"}},
};
#endif

} // namespace

QString InstalledFamily(const QString& layoutFamily)
{
    for (const auto& [layout, installed] : kLayoutFonts) {
        if (layoutFamily == QStringView(layout))
            return QString::fromUtf16(installed);
    }
    return layoutFamily;
}

void InstallFontSubstitutions()
{
    for (const auto& [layout, installed] : kLayoutFonts)
        QFont::insertSubstitution(QString::fromUtf16(layout), QString::fromUtf16(installed));
#ifdef Q_OS_WIN
    for (const Fallback& fallback : kWindowsFallbacks) {
        QStringList families;
        for (const char16_t* family : fallback.families)
            families.append(QString::fromUtf16(family));
        QFont::insertSubstitutions(QString::fromUtf16(fallback.layout), families);
    }
#endif
}

} // namespace forms
